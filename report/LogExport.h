// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/DailyFigures.h"
#include "exercise/ExerciseEntry.h"
#include "foodlog/FoodLogEntry.h"

#include <QByteArray>
#include <QList>

// The food log and the exercise as one CSV a spreadsheet opens (CsvText: UTF-8 with a byte-order
// mark, RFC 4180): one row per entry, by day, foods before exercise within a day, then the day's
// weight and waist; with the day, 饮食, 运动, 体重 or 腰围, the meal (for food), the name, the amount
// and its unit (克, 分钟, 千克 or 厘米), and the kcal as the log shows them, so that a day's rows add
// up to the day's total on screen (DayKcal).
namespace LogExport {

// Each list by day.
QByteArray toCsv(const QList<FoodLogEntry> &foods, const QList<ExerciseEntry> &exercise,
                 const QList<DayWeight> &weights = {}, const QList<DayWaist> &waists = {});

} // namespace LogExport
