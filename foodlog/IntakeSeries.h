// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/DailyFigures.h"

#include <QDate>
#include <QList>
#include <optional>

// The chart's data: one point per day over a run of days, with what is known of
// each day. A day without entries or without a weight has no value there (a gap,
// never a zero).
struct SeriesDay
{
    QDate day;
    std::optional<double> kcal;
    std::optional<double> kg;
    // Mean of the weights entered in the seven days ending here, if any.
    std::optional<double> kgWeekAverage;
    std::optional<double> burnedKcal; // by exercise; a gap on a day without it
    std::optional<Nutrients> macros = std::nullopt; // grams eaten, from the entries with figures
    double macrosKcal = 0;                           // the logged energy of those entries
    // The smoothed weight (WeightTrend) from the first weight given on.
    std::optional<double> kgTrend = std::nullopt;
    std::optional<double> waistCm = std::nullopt; // a gap on a day without a measurement
};

class IntakeSeries
{
public:
    static constexpr int AverageDays = 7;
    // How far back readers take the weights for the trend: with a factor of 0.1 a reading this
    // old weighs less than 0.1 % in it.
    static constexpr int TrendDays = 90;

    // `days` days ending with `last`. `weights` should reach AverageDays − 1
    // days further back, for the first days' averages, and further still (TrendDays) for a trend
    // that has settled by the first day.
    static QList<SeriesDay> build(const QDate &last, int days, const QList<DayIntake> &intake,
                                  const QList<DayWeight> &weights, const QList<DayBurned> &burned = {},
                                  const QList<DayMacros> &macros = {}, const QList<DayWaist> &waists = {});
};
