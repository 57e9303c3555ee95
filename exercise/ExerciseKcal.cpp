// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ExerciseKcal.h"

#include <QMap>

namespace ExerciseKcal {

qint64 burned(const QList<ExerciseEntry> &entries)
{
    qint64 sum = 0;
    for (const ExerciseEntry &e : entries)
        sum += e.shownKcal();
    return sum;
}

QList<DayBurned> burnedByDay(const QList<ExerciseEntry> &entries)
{
    QMap<QDate, qint64> byDay;
    for (const ExerciseEntry &e : entries)
        byDay[e.day] += e.shownKcal();
    QList<DayBurned> days;
    for (auto d = byDay.cbegin(); d != byDay.cend(); ++d)
        days.append({d.key(), double(d.value())});
    return days;
}

} // namespace ExerciseKcal
