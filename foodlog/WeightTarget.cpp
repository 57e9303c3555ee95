// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/WeightTarget.h"

#include "foodlog/WeightTrend.h"

#include <cmath>

namespace WeightTarget {

namespace {

QString kgText(double kg)
{
    return QString::number(kg, 'f', 1);
}

QString dateText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy年M月d日"));
}

// In tenths, as the figures are shown, so that what is said agrees with what is read.
long long tenths(double kg)
{
    return std::llround(kg * 10);
}

} // namespace

QString describe(double kg, double targetKg)
{
    if (!(targetKg > 0))
        return QString();
    const QString target = QStringLiteral("目标体重 %1 千克").arg(targetKg, 0, 'f', 1);
    const long long difference = tenths(kg) - tenths(targetKg);
    const QString amount = QString::number(std::llabs(difference) / 10.0, 'f', 1);
    if (difference > 0)
        return target + QStringLiteral("，还差 %1 千克").arg(amount);
    if (difference == 0)
        return target + QStringLiteral("，已经达到");
    return target + QStringLiteral("，已低于目标 %1 千克").arg(amount);
}

QString signedKg(double kg)
{
    const long long t = tenths(kg);
    const QString figure = QString::number(std::llabs(t) / 10.0, 'f', 1);
    if (t == 0)
        return figure;
    return (t < 0 ? QStringLiteral("−") : QStringLiteral("+")) + figure;
}

std::optional<QDate> reachedOn(const WeightTrend &trend, double targetKg, const QDate &today)
{
    const std::optional<double> now = trend.latest();
    const std::optional<double> rate = trend.kgPerWeek();
    if (!(targetKg > 0) || !now || !rate || std::abs(*rate) < SlowestRate)
        return std::nullopt;
    const double toGo = targetKg - *now;
    if (tenths(*now) == tenths(targetKg) || (toGo < 0) != (*rate < 0))
        return std::nullopt;
    const double days = std::ceil(toGo / (*rate / 7));
    if (!(days <= FarthestDays))
        return std::nullopt;
    return today.addDays(qint64(days));
}

QString outlook(const WeightTrend &trend, double targetKg, const QDate &today)
{
    const std::optional<double> now = trend.latest();
    if (!now)
        return QString();
    const std::optional<double> rate = trend.kgPerWeek();
    if (!rate) {
        return QStringLiteral("体重趋势 %1 千克。要算出每周的变化%2，需要最近两周里至少 %3 天有体重记录，"
                              "而且最早的记录在两周以前；最近两周现在有 %4 天。")
            .arg(kgText(*now), targetKg > 0 ? QStringLiteral("和达到目标的日期") : QString())
            .arg(WeightTrend::ReadingsNeeded)
            .arg(trend.recentReadings());
    }
    QString text = QStringLiteral("体重趋势 %1 千克，最近两周每周 %2 千克。").arg(kgText(*now), signedKg(*rate));
    if (!(targetKg > 0))
        return text;
    const QString target = QStringLiteral("目标 %1 千克").arg(kgText(targetKg));
    if (tenths(*now) == tenths(targetKg))
        return text + QStringLiteral("趋势已经到了%1。").arg(target);
    if (const std::optional<QDate> day = reachedOn(trend, targetKg, today))
        return text + QStringLiteral("按这个速度，约在 %1 达到%2。").arg(dateText(*day), target);
    const bool towards = (targetKg < *now) == (*rate < 0);
    if (std::abs(*rate) < SlowestRate)
        return text + QStringLiteral("趋势几乎没有变化，算不出何时达到%1。").arg(target);
    if (!towards)
        return text + QStringLiteral("趋势在离%1越来越远，照这样达不到目标。").arg(target);
    return text + QStringLiteral("按这个速度要三年以上才能达到%1。").arg(target);
}

double weightAfterWeeks(double kg, double eatenKcal, double burnedKcal, double needKcal)
{
    return kg + (eatenKcal - burnedKcal - needKcal) * 7 * OutlookWeeks / KcalPerKg;
}

QString eatingLikeToday(double kg, double eatenKcal, double burnedKcal, double needKcal)
{
    return QStringLiteral("照今天这样吃，五周后约 %1 千克（按每千克体重约 %2 大卡粗略估算）。")
        .arg(kgText(weightAfterWeeks(kg, eatenKcal, burnedKcal, needKcal)))
        .arg(int(KcalPerKg));
}

} // namespace WeightTarget
