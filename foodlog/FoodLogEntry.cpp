// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogEntry.h"

#include "foodlog/WholeKcal.h"

qint64 FoodLogEntry::shownKcal() const
{
    return wholeKcal(kcal());
}

FoodLogEntry FoodLogEntry::quick(const QDate &day, int meal, double kcal, const QString &note)
{
    FoodLogEntry e;
    e.day = day;
    e.meal = meal;
    e.food = note.trimmed().isEmpty() ? quickCategory() : note.trimmed();
    e.category = quickCategory();
    e.grams = kcal;
    e.kcalPer100g = 100;
    return e;
}

QString FoodLogEntry::shownName() const
{
    if (!isQuick())
        return food;
    return food == quickCategory() ? food : QStringLiteral("%1：%2").arg(quickCategory(), food);
}
