// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/IntakeSeries.h"
#include "foodlog/MacroShares.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class ExerciseStore;
class FoodLogStore;

// What the printed report (导出报告…) shows for the last 7 or 30 days, read in one go: each day's
// intake against its budget and its exercise, the weights with their 7-day average, the average
// shares of protein, fat and carbohydrate, and the foods that gave the most energy.
struct LogReport
{
    struct Day
    {
        SeriesDay figures;             // intake, weight and its 7-day average, exercise
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

    // Days with food entries, and their mean intake.
    int loggedDays() const;
    double meanIntake() const;

    // Throws DataError when the log cannot be read.
    static LogReport read(FoodLogStore &foods, ExerciseStore &exercise, const QDate &last, int days);
};
