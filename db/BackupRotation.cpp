// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/BackupRotation.h"

#include <QSet>
#include <algorithm>

QList<QDate> BackupRotation::toRemove(const QList<QDate> &existing, QDate today)
{
    QList<QDate> days;
    for (const QDate &day : existing)
        if (day.isValid() && day <= today && !days.contains(day))
            days << day;
    std::sort(days.begin(), days.end(), std::greater<QDate>());

    QSet<QDate> kept;
    for (int i = 0; i < days.size() && i < DailyKept; ++i)
        kept.insert(days[i]);

    // The newest day of each week, newest week first.
    int weeks = 0;
    int lastWeek = 0;
    int lastWeekYear = 0;
    for (const QDate &day : days) {
        int weekYear = 0;
        const int week = day.weekNumber(&weekYear);
        if (weeks > 0 && week == lastWeek && weekYear == lastWeekYear)
            continue;
        if (++weeks > WeeklyKept)
            break;
        kept.insert(day);
        lastWeek = week;
        lastWeekYear = weekYear;
    }

    QList<QDate> removed;
    for (const QDate &day : days)
        if (!kept.contains(day))
            removed << day;
    return removed;
}
