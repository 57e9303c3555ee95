// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/WeightTrend.h"

#include <QHash>
#include <algorithm>

WeightTrend WeightTrend::of(const QList<DayWeight> &readings, const QDate &last)
{
    WeightTrend trend;
    trend.m_last = last;
    QHash<QDate, double> kgOn;
    for (const DayWeight &r : readings) {
        if (r.day.isValid() && r.day <= last) {
            kgOn.insert(r.day, r.kg);
            if (!trend.m_first.isValid() || r.day < trend.m_first)
                trend.m_first = r.day;
        }
    }
    if (!trend.m_first.isValid())
        return trend;
    // A day between two readings counts as the straight line between them, so that the trend
    // follows the weight as closely whether it is read every day or every third; after the last
    // reading it stays where it was.
    QList<QDate> days = kgOn.keys();
    std::sort(days.begin(), days.end());
    double value = kgOn.value(trend.m_first);
    qsizetype next = 0; // the first reading on or after the day
    for (QDate day = trend.m_first; day <= last; day = day.addDays(1)) {
        while (next < days.size() && days.at(next) < day)
            ++next;
        if (next < days.size()) {
            const QDate after = days.at(next);
            double input = kgOn.value(after);
            if (after != day) {
                const QDate before = days.at(next - 1);
                const double share = double(before.daysTo(day)) / double(before.daysTo(after));
                input = kgOn.value(before) + share * (input - kgOn.value(before));
            }
            value += Smoothing * (input - value);
        }
        trend.m_values << value;
    }
    const QDate rateStart = last.addDays(-RateDays);
    for (QDate day = rateStart.addDays(1); day <= last; day = day.addDays(1))
        trend.m_recentReadings += kgOn.contains(day) ? 1 : 0;
    if (trend.m_first <= rateStart && trend.m_recentReadings >= ReadingsNeeded)
        trend.m_kgPerWeek = (*trend.on(last) - *trend.on(rateStart)) * 7 / RateDays;
    return trend;
}

std::optional<double> WeightTrend::on(const QDate &day) const
{
    if (!m_first.isValid() || day < m_first || day > m_last)
        return std::nullopt;
    return m_values.at(qsizetype(m_first.daysTo(day)));
}
