// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One food eaten: the food's name, category and energy as they were when it was
// logged, so later changes to the food table never change a past day.
struct FoodLogEntry
{
    qint64 id = 0;
    QDate day;
    int meal = 0;            // 0 早餐, 1 午餐, 2 晚餐, 3 加餐
    QString food;
    QString category;
    double grams = 0;
    double kcalPer100g = 0;
    QDateTime created;

    double kcal() const { return grams * kcalPer100g / 100.0; }
    // The energy as the log shows it, in whole kcal (half rounds up). Rows, meal subtotals and
    // the day's total are sums of these, so that the figures a user reads add up.
    qint64 shownKcal() const;
};
