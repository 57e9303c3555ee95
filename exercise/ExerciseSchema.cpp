// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ExerciseSchema.h"

#include "db/FileLayout.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogSchema.h"

namespace ExerciseSchema {

namespace {

// A statement, once a file has been stamped with its step, never changes (see LogSchema).
QList<LayoutStep> stepList()
{
    const auto numberIn = LogSchema::numberIn;
    const auto between = LogSchema::between;
    QList<LayoutStep> steps;
    // Exercise and the user's own activities. An entry keeps the MET and the kcal it was logged
    // with, so a later weight or a better table never changes a past day.
    steps << LayoutStep{4, QStringList{
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS exercise_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT NOT NULL, "
            "activity TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', minutes REAL NOT NULL CHECK (minutes > 0), "
            "met REAL NOT NULL, kcal REAL NOT NULL CHECK (kcal >= 0), created TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS exercise_log_day ON exercise_log (day)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS custom_activity (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "name TEXT NOT NULL UNIQUE CHECK (length(trim(name)) > 0), met REAL NOT NULL, "
                       "created TEXT NOT NULL)"),
    } + LogSchema::rangeTriggers({
        {"exercise_log", LogSchema::positiveUpTo("minutes", LogBounds::MaxMinutes) + QStringLiteral(" AND ")
                             + numberIn("met", between(LogBounds::MinMet, LogBounds::MaxMet))
                             + QStringLiteral(" AND ")
                             + numberIn("kcal", between(0, LogBounds::MaxExerciseKcal))},
        {"custom_activity", numberIn("met", between(LogBounds::MinMet, LogBounds::MaxMet))},
    })};
    return steps;
}

} // namespace

const QList<LayoutStep> &layoutSteps()
{
    static const QList<LayoutStep> steps = stepList();
    return steps;
}

} // namespace ExerciseSchema
