// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Days and meals of the food log: which day a moment belongs to, which meal a new
// entry gets by default, and how a day is named on screen.
namespace LogCalendar {

enum Meal { Breakfast = 0, Lunch = 1, Dinner = 2, Snack = 3 };
constexpr int MealCount = 4;

QString mealName(int meal);

// The meal for an entry made at `time`: 04:00–09:59 早餐, 10:00–13:59 午餐,
// 17:00–20:59 晚餐, any other hour 加餐.
int defaultMeal(const QTime &time);

// The log day of a local moment: its calendar date (23:59 is still that day,
// 00:00 is the next).
inline QDate logDay(const QDateTime &moment) { return moment.date(); }

// "12月10日 周四"; a day outside `today`'s year adds the year: "2025年12月31日 周三".
QString dayTitle(const QDate &day, const QDate &today);

} // namespace LogCalendar
