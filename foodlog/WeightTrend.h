// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/DailyFigures.h"

#include <QDate>
#include <QList>
#include <optional>

// The weight with the day-to-day swings of water and salt taken out: an exponentially weighted
// moving average of the daily readings. Each day the trend moves a tenth of the way from where it
// was towards that day's reading (smoothing factor 0.1); a day between two readings takes the
// straight line between them, and after the last reading the trend stays where it was. The first
// reading starts it.
//
// Its rate is the trend's change over the last two weeks, per week. Fewer readings than that
// would make the rate a guess, so it is given only when the trend began two weeks or more before
// the last day and at least ReadingsNeeded of the last 14 days have a reading.
class WeightTrend
{
public:
    static constexpr double Smoothing = 0.1;
    static constexpr int RateDays = 14;
    static constexpr int ReadingsNeeded = 6;

    // The trend through `last` from these readings (any order; one per day).
    static WeightTrend of(const QList<DayWeight> &readings, const QDate &last);

    // The trend on `day`, from the first reading to the last day; none before the first reading.
    std::optional<double> on(const QDate &day) const;
    // The trend on the last day.
    std::optional<double> latest() const { return on(m_last); }
    // Kilograms per week over the last two weeks (negative: falling), when there are enough
    // readings.
    std::optional<double> kgPerWeek() const { return m_kgPerWeek; }
    // Readings within the last RateDays days, for saying how many more are needed.
    int recentReadings() const { return m_recentReadings; }

private:
    QDate m_first; // the first reading's day
    QDate m_last;
    QList<double> m_values; // one a day from m_first to m_last
    std::optional<double> m_kgPerWeek;
    int m_recentReadings = 0;
};
