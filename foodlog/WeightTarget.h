// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <optional>

class WeightTrend;

// How the weight stands against the target the profile gives, and where it leads, in the words
// the log shows.
namespace WeightTarget {

// An estimate: the energy in a kilogram of body weight lost or gained, about 7,700 kcal.
constexpr double KcalPerKg = 7700;
// How far ahead "照今天这样吃" looks.
constexpr int OutlookWeeks = 5;
// A trend slower than this (kg a week) leads nowhere in a time worth naming.
constexpr double SlowestRate = 0.05;
// Further than this the date would be a guess.
constexpr int FarthestDays = 3 * 365;

// "目标体重 65.0 千克，还差 3.5 千克", "…，已经达到", "…，已低于目标 2.0 千克"; an empty text
// when no target is set (0). Figures are compared as shown, to one decimal.
QString describe(double kg, double targetKg);

// The day the trend reaches the target at its present rate, or none when it does not (no rate,
// no target, moving away, too slow, too far) or is there already.
std::optional<QDate> reachedOn(const WeightTrend &trend, double targetKg, const QDate &today);

// The trend and where it leads, in one or two sentences: "体重趋势 71.3 千克，最近两周每周 −0.4
// 千克。按这个速度，约在 2027年3月5日 达到目标 65.0 千克。"; or why no date can be given (too few
// readings, and how many are needed; the trend moving away; at the target already). An empty text
// when there is no reading at all.
QString outlook(const WeightTrend &trend, double targetKg, const QDate &today);

// The weight after OutlookWeeks weeks if every day were like this one: the day's energy eaten
// less burned against the energy a day needs (`needKcal`: resting energy × activity factor, from
// which the budget takes its deficit), at KcalPerKg per kilogram.
double weightAfterWeeks(double kg, double eatenKcal, double burnedKcal, double needKcal);
// "照今天这样吃，五周后约 70.1 千克（按每千克约 7700 大卡估算）。"
QString eatingLikeToday(double kg, double eatenKcal, double burnedKcal, double needKcal);

// "−0.4", "+0.2", "0.0": a weekly rate as shown, with its sign (a true minus sign).
QString signedKg(double kg);

} // namespace WeightTarget
