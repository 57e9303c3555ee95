// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/ExerciseEntry.h"
#include "foodlog/FoodLogEntry.h"

#include <QByteArray>
#include <QList>

// The food log and the exercise as one CSV a spreadsheet opens (CsvText: UTF-8 with a byte-order
// mark, RFC 4180): one row per entry, by day, foods before exercise within a day, with the day,
// 饮食 or 运动, the meal (for food), the name, the amount and its unit (克 or 分钟), and the kcal
// as the log shows them.
namespace LogExport {

QByteArray toCsv(const QList<FoodLogEntry> &foods, const QList<ExerciseEntry> &exercise);

} // namespace LogExport
