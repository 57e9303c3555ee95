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
    double value = kgOn.value(trend.m_first);
    for (QDate day = trend.m_first; day <= last; day = day.addDays(1)) {
        if (auto kg = kgOn.constFind(day); kg != kgOn.cend())
            value += Smoothing * (*kg - value);
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
