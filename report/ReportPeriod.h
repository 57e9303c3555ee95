// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// The days a report covers, chosen by name: the last 7 days, the last 30, or two dates.
struct ReportPeriod
{
    enum class Kind { LastWeek, LastMonth, Dates };

    Kind kind = Kind::LastWeek;
    QDate first;
    QDate last;

    // The last 7 or 30 days ending with `today`.
    static ReportPeriod lastDays(Kind kind, const QDate &today);
    // first..last in either order, at most `maxDays` long (counted back from the later one).
    static ReportPeriod between(const QDate &one, const QDate &other, int maxDays);

    int days() const { return int(first.daysTo(last)) + 1; }
    // "最近 7 天", "最近 30 天", "2026年11月1日至2026年11月30日".
    QString name() const;
    // A file name that tells the periods apart and says their dates:
    // "Pellomir-报告-最近7天-2026-12-04至2026-12-10.pdf", "Pellomir-报告-2026-11-01至2026-11-30.pdf".
    QString fileName() const;
};
