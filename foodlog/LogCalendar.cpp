// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/LogCalendar.h"

namespace LogCalendar {

QString mealName(int meal)
{
    switch (meal) {
    case Breakfast:
        return QStringLiteral("早餐");
    case Lunch:
        return QStringLiteral("午餐");
    case Dinner:
        return QStringLiteral("晚餐");
    default:
        return QStringLiteral("加餐");
    }
}

int defaultMeal(const QTime &time)
{
    const int hour = time.hour();
    if (hour >= 4 && hour < 10)
        return Breakfast;
    if (hour >= 10 && hour < 14)
        return Lunch;
    if (hour >= 17 && hour < 21)
        return Dinner;
    return Snack;
}

QString dayTitle(const QDate &day, const QDate &today)
{
    static const char *const weekdays[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    QString title = QStringLiteral("%1月%2日 %3")
                        .arg(day.month())
                        .arg(day.day())
                        .arg(QString::fromUtf8(weekdays[day.dayOfWeek() - 1]));
    if (day.year() != today.year())
        title.prepend(QStringLiteral("%1年").arg(day.year()));
    return title;
}

} // namespace LogCalendar
