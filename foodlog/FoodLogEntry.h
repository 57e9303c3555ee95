// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <optional>

#include "foods/Nutrients.h"

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
    // Protein, fat and carbohydrate per 100 g as they were when it was logged, if known.
    std::optional<Nutrients> nutrientsPer100g = std::nullopt;

    double kcal() const { return grams * kcalPer100g / 100.0; }

    // 快速记录: energy logged without a food ("同事的生日蛋糕", 300 kcal). Stored as an entry of
    // this category whose grams are its kcal at 100 kcal per 100 g, so that every sum counts it
    // and the file's ranges hold it (up to 5000 kcal).
    static QString quickCategory() { return QStringLiteral("快速记录"); }
    static FoodLogEntry quick(const QDate &day, int meal, double kcal, const QString &note);
    bool isQuick() const { return category == quickCategory() && kcalPer100g == 100; }
    // What the list shows for it: the food's name, or the note of a quick entry.
    QString shownName() const;
    // The energy as the log shows it, in whole kcal (half rounds up). Rows, meal subtotals and
    // the day's total are sums of these, so that the figures a user reads add up.
    qint64 shownKcal() const;
};
