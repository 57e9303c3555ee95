// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/ExerciseEntry.h"
#include "foodlog/DailyFigures.h"

#include <QList>

// A day's energy burned by exercise, summed like the energy eaten (foodlog/DayKcal): the sum of
// its entries' whole kcal, so that the day's totals, the chart, the report and the CSV agree.
namespace ExerciseKcal {

qint64 burned(const QList<ExerciseEntry> &entries);
// One figure per day that has entries, by day.
QList<DayBurned> burnedByDay(const QList<ExerciseEntry> &entries);

} // namespace ExerciseKcal
