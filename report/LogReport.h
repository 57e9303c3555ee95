// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/IntakeSeries.h"
#include "foodlog/MacroShares.h"
#include "foodlog/WeightTrend.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class ExerciseStore;
class FoodLogStore;

// What the printed report (导出报告…) shows for a run of days (the last 7 or 30, or two dates), read
// in one go: each day's intake against its budget and its exercise, the weights with their 7-day
// average and their trend, the waist, the average shares of protein, fat and carbohydrate, and
// the foods that gave the most energy. A day's intake is the figure the screen shows (DayKcal).
struct LogReport
{
    struct Day
    {
        SeriesDay figures;             // intake, weight, its 7-day average and trend, waist, exercise
        std::optional<int> budget;     // from the profile and the latest weight then
    };
    struct TopFood
    {
        QString name;
        qint64 kcal = 0;
        int entries = 0;
    };

    QDate first;
    QDate last;
    QList<Day> days;
    MacroShares shares;
    QList<TopFood> topFoods;  // most energy first, at most 8
    WeightTrend trend;        // through the last day, from the readings of TrendDays before
    double targetKg = 0;      // the profile's, 0: none

    // The longest run of days a report covers.
    static constexpr int MaxDays = 366;

    // Days with food entries, and their mean intake.
    int loggedDays() const;
    double meanIntake() const;

    // first..last, both included (at most MaxDays, counted back from `last`). Throws DataError
    // when the log cannot be read.
    static LogReport read(FoodLogStore &foods, ExerciseStore &exercise, const QDate &first, const QDate &last);
    // The `days` days ending with `last`.
    static LogReport read(FoodLogStore &foods, ExerciseStore &exercise, const QDate &last, int days)
    {
        return read(foods, exercise, last.addDays(1 - days), last);
    }
};
