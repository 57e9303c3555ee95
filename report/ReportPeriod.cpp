// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReportPeriod.h"

#include <algorithm>

ReportPeriod ReportPeriod::lastDays(Kind kind, const QDate &today)
{
    const int days = kind == Kind::LastMonth ? 30 : 7;
    return {kind == Kind::LastMonth ? Kind::LastMonth : Kind::LastWeek, today.addDays(1 - days), today};
}

ReportPeriod ReportPeriod::between(const QDate &one, const QDate &other, int maxDays)
{
    const QDate last = std::max(one, other);
    const QDate first = std::max(std::min(one, other), last.addDays(1 - std::max(maxDays, 1)));
    return {Kind::Dates, first, last};
}

QString ReportPeriod::name() const
{
    switch (kind) {
    case Kind::LastWeek:
        return QStringLiteral("最近 7 天");
    case Kind::LastMonth:
        return QStringLiteral("最近 30 天");
    case Kind::Dates:
        break;
    }
    const QString format = QStringLiteral("yyyy年M月d日");
    return QStringLiteral("%1至%2").arg(first.toString(format), last.toString(format));
}

QString ReportPeriod::fileName() const
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    const QString dates = QStringLiteral("%1至%2").arg(first.toString(format), last.toString(format));
    QString label;
    if (kind == Kind::LastWeek)
        label = QStringLiteral("最近7天-");
    else if (kind == Kind::LastMonth)
        label = QStringLiteral("最近30天-");
    return QStringLiteral("Pellomir-报告-%1%2.pdf").arg(label, dates);
}
