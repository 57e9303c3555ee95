// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// How the log's tables store days and times: local dates as "YYYY-MM-DD", created times as local
// "YYYY-MM-DD HH:MM:SS". One form for every store of the log.
namespace LogDates {

inline QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

inline QDate dayFrom(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

inline QString timeText(const QDateTime &when)
{
    return when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

inline QDateTime timeFrom(const QString &text)
{
    return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace LogDates
