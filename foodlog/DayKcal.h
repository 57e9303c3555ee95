// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/DailyFigures.h"
#include "foodlog/FoodLogEntry.h"

#include <QList>

// A day's energy eaten, worked out in one place for every figure that shows it (the day's totals on
// screen, the chart, the report, the sums of the CSV's rows): the sum of its entries' whole kcal
// (wholeKcal), so that a day with fractions reads the same everywhere. Exercise sums the same way
// in exercise/ExerciseKcal.
namespace DayKcal {

qint64 eaten(const QList<FoodLogEntry> &entries);
// One figure per day that has entries, by day.
QList<DayIntake> eatenByDay(const QList<FoodLogEntry> &entries);

} // namespace DayKcal
