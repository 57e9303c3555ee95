// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/DayKcal.h"

#include <QMap>

namespace DayKcal {

qint64 eaten(const QList<FoodLogEntry> &entries)
{
    qint64 sum = 0;
    for (const FoodLogEntry &e : entries)
        sum += e.shownKcal();
    return sum;
}

QList<DayIntake> eatenByDay(const QList<FoodLogEntry> &entries)
{
    QMap<QDate, qint64> byDay;
    for (const FoodLogEntry &e : entries)
        byDay[e.day] += e.shownKcal();
    QList<DayIntake> days;
    for (auto d = byDay.cbegin(); d != byDay.cend(); ++d)
        days.append({d.key(), double(d.value())});
    return days;
}

} // namespace DayKcal
