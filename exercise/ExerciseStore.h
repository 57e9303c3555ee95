// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/Activity.h"
#include "foodlog/DailyFigures.h"
#include "exercise/ExerciseEntry.h"

#include <QDate>
#include <QList>
#include <QVector>

class LogSchema;

// Exercise in the user's file: the entries of the exercise log and the user's own activities.
// Shares the food log's tables and upgrade (LogSchema): reading a file without the tables reads
// nothing and changes nothing; the first write brings the file to the current layout after a
// backup. Each write is on disk when the call returns; every failure is a DataError with a
// Chinese message.
class ExerciseStore
{
public:
    explicit ExerciseStore(LogSchema &schema);

    // The day's entries within range, and how many rows of the day were skipped as outside it.
    struct DayEntries
    {
        QList<ExerciseEntry> entries;
        int outOfRange = 0;
    };
    DayEntries dayEntries(const QDate &day) const;
    // Every entry within range, by day, for an export.
    QList<ExerciseEntry> allEntries() const;
    // Adds the entry (id and created time are filled in) and returns it.
    ExerciseEntry addEntry(ExerciseEntry entry);
    // New minutes; the energy follows them at the rate the entry was logged with (its weight).
    void setMinutes(qint64 id, double minutes);
    void removeEntry(qint64 id);
    // Puts back an entry removed a moment ago, under its old id.
    void restoreEntry(const ExerciseEntry &entry);

    // Energy burned per day for first..last (both included); only days with entries.
    QList<DayBurned> burnedBetween(const QDate &first, const QDate &last) const;
    // The activities logged, most recently first, at most `limit` names.
    QStringList recentActivities(int limit) const;

    // The user's own activities, by name.
    QVector<Activity> customActivities() const;
    // Adds one and returns its id. A name that is taken throws.
    qint64 addCustomActivity(const QString &name, double met);
    void updateCustomActivity(qint64 id, const QString &name, double met);
    // Past entries logged with it stay as they are.
    void removeCustomActivity(qint64 id);

private:
    LogSchema &m_schema;
};
