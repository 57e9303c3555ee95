// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/ExerciseStore.h"

#include "db/Query.h"
#include "exercise/ActivityTable.h"
#include "exercise/ExerciseKcal.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogDates.h"
#include "foodlog/LogSchema.h"
#include "foods/FoodText.h"

namespace {

QString readContext()
{
    return QStringLiteral("无法读取运动记录");
}

QString writeContext()
{
    return QStringLiteral("无法保存运动记录");
}

// The readers' form of the ranges the triggers hold new rows to (LogBounds): rows an older or
// hand-made file holds outside them are neither listed nor summed.
QByteArray withRanges(const char *sqlWithPlaceholder)
{
    const auto number = [](double value) { return QString::number(value); };
    const QString inRange =
        QStringLiteral("typeof(minutes) IN ('integer', 'real') AND minutes > 0 AND minutes <= %1 "
                       "AND typeof(met) IN ('integer', 'real') AND met BETWEEN %2 AND %3 "
                       "AND typeof(kcal) IN ('integer', 'real') AND kcal BETWEEN 0 AND %4")
            .arg(number(LogBounds::MaxMinutes), number(LogBounds::MinMet), number(LogBounds::MaxMet),
                 number(LogBounds::MaxExerciseKcal));
    return QString::fromLatin1(sqlWithPlaceholder).arg(inRange).toUtf8();
}

bool inRange(const ExerciseEntry &e)
{
    return LogBounds::minutesInRange(e.minutes) && LogBounds::metInRange(e.met)
        && LogBounds::exerciseKcalInRange(e.kcal);
}

ExerciseEntry entryFrom(const Query &q)
{
    ExerciseEntry e;
    e.id = q.integer(0);
    e.day = LogDates::dayFrom(q.text(1));
    e.activity = FoodText::name(q.text(2));
    e.category = FoodText::name(q.text(3));
    e.minutes = q.isNumber(4) ? q.real(4) : -1;
    e.met = q.isNumber(5) ? q.real(5) : -1;
    e.kcal = q.isNumber(6) ? q.real(6) : -1;
    e.created = LogDates::timeFrom(q.text(7));
    return e;
}

// A name of megabytes in a hand-made file is read only as far as it is shown.
const char EntryColumns[] = "id, day, substr(activity, 1, ?9), substr(category, 1, ?9), minutes, met, kcal, created";

} // namespace

ExerciseStore::ExerciseStore(LogSchema &schema) : m_schema(schema) {}

ExerciseStore::DayEntries ExerciseStore::dayEntries(const QDate &day) const
{
    DayEntries found;
    if (!m_schema.hasTable("exercise_log"))
        return found;
    static const QByteArray sql =
        QStringLiteral("SELECT %1 FROM exercise_log WHERE day = ?1 ORDER BY id").arg(QLatin1String(EntryColumns)).toUtf8();
    Query q(m_schema.database(), sql.constData(), readContext());
    q.bind(1, LogDates::dayText(day)).bind(9, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        const ExerciseEntry e = entryFrom(q);
        if (inRange(e))
            found.entries.append(e);
        else
            ++found.outOfRange;
    }
    return found;
}

QList<ExerciseEntry> ExerciseStore::allEntries() const
{
    QList<ExerciseEntry> found;
    if (!m_schema.hasTable("exercise_log"))
        return found;
    static const QByteArray sql =
        QStringLiteral("SELECT %1 FROM exercise_log ORDER BY day, id").arg(QLatin1String(EntryColumns)).toUtf8();
    Query q(m_schema.database(), sql.constData(), readContext());
    q.bind(9, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        const ExerciseEntry e = entryFrom(q);
        if (inRange(e))
            found.append(e);
    }
    return found;
}

ExerciseEntry ExerciseStore::addEntry(ExerciseEntry entry)
{
    entry.activity = FoodText::name(entry.activity);
    entry.category = FoodText::name(entry.category);
    m_schema.ensureTables();
    if (!entry.created.isValid())
        entry.created = m_schema.clock().now();
    Query q(m_schema.database(),
            "INSERT INTO exercise_log (day, activity, category, minutes, met, kcal, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, LogDates::dayText(entry.day)).bind(2, entry.activity).bind(3, entry.category).bind(4, entry.minutes);
    q.bind(5, entry.met).bind(6, entry.kcal).bind(7, LogDates::timeText(entry.created));
    q.run();
    entry.id = q.lastInsertId();
    return entry;
}

void ExerciseStore::setMinutes(qint64 id, double minutes)
{
    m_schema.ensureTables();
    // SET reads the row as it was: the energy keeps the rate per minute it was logged with.
    Query q(m_schema.database(), "UPDATE exercise_log SET kcal = kcal * ?1 / minutes, minutes = ?1 WHERE id = ?2",
            writeContext());
    q.bind(1, minutes).bind(2, id).run();
}

void ExerciseStore::removeEntry(qint64 id)
{
    m_schema.ensureTables();
    Query q(m_schema.database(), "DELETE FROM exercise_log WHERE id = ?", writeContext());
    q.bind(1, id).run();
}

void ExerciseStore::restoreEntry(const ExerciseEntry &entry)
{
    m_schema.ensureTables();
    Query q(m_schema.database(),
            "INSERT INTO exercise_log (id, day, activity, category, minutes, met, kcal, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.id).bind(2, LogDates::dayText(entry.day)).bind(3, entry.activity).bind(4, entry.category);
    q.bind(5, entry.minutes).bind(6, entry.met).bind(7, entry.kcal);
    q.bind(8, LogDates::timeText(entry.created));
    q.run();
}

QList<DayBurned> ExerciseStore::burnedBetween(const QDate &first, const QDate &last) const
{
    if (!m_schema.hasTable("exercise_log"))
        return {};
    // The entries themselves, summed as the day's list sums them (ExerciseKcal).
    static const QByteArray sql = QStringLiteral("SELECT %1 FROM exercise_log WHERE day BETWEEN ?1 AND ?2 ORDER BY day, id")
                                      .arg(QLatin1String(EntryColumns))
                                      .toUtf8();
    Query q(m_schema.database(), sql.constData(), readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last)).bind(9, qint64(FoodText::MaxNameLength + 1));
    QList<ExerciseEntry> entries;
    while (q.next()) {
        const ExerciseEntry e = entryFrom(q);
        if (inRange(e))
            entries.append(e);
    }
    return ExerciseKcal::burnedByDay(entries);
}

QStringList ExerciseStore::recentActivities(int limit) const
{
    QStringList names;
    if (!m_schema.hasTable("exercise_log"))
        return names;
    static const QByteArray sql = withRanges(
        "SELECT substr(activity, 1, ?1) FROM exercise_log WHERE %1 "
        "GROUP BY activity ORDER BY max(day) DESC, count(*) DESC, max(id) DESC LIMIT ?2");
    Query q(m_schema.database(), sql.constData(), readContext());
    q.bind(1, qint64(FoodText::MaxNameLength + 1)).bind(2, limit);
    while (q.next())
        names.append(FoodText::name(q.text(0)));
    return names;
}

QVector<Activity> ExerciseStore::customActivities() const
{
    QVector<Activity> found;
    if (!m_schema.hasTable("custom_activity"))
        return found;
    Query q(m_schema.database(),
            "SELECT id, substr(name, 1, ?1), met FROM custom_activity ORDER BY name",
            QStringLiteral("无法读取自定义运动"));
    q.bind(1, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        Activity a;
        a.customId = q.integer(0);
        a.name = FoodText::name(q.text(1));
        a.met = q.real(2);
        a.category = ActivityTable::customCategory();
        if (q.isNumber(2) && LogBounds::metInRange(a.met) && !a.name.isEmpty())
            found.append(a);
    }
    return found;
}

qint64 ExerciseStore::addCustomActivity(const QString &name, double met)
{
    m_schema.ensureTables();
    Query q(m_schema.database(), "INSERT INTO custom_activity (name, met, created) VALUES (?, ?, ?)",
            QStringLiteral("无法保存自定义运动"));
    q.bind(1, FoodText::name(name)).bind(2, met);
    q.bind(3, LogDates::timeText(m_schema.clock().now()));
    q.run();
    return q.lastInsertId();
}

void ExerciseStore::updateCustomActivity(qint64 id, const QString &name, double met)
{
    m_schema.ensureTables();
    Query q(m_schema.database(), "UPDATE custom_activity SET name = ?, met = ? WHERE id = ?",
            QStringLiteral("无法保存自定义运动"));
    q.bind(1, FoodText::name(name)).bind(2, met).bind(3, id).run();
}

void ExerciseStore::removeCustomActivity(qint64 id)
{
    m_schema.ensureTables();
    Query q(m_schema.database(), "DELETE FROM custom_activity WHERE id = ?", QStringLiteral("无法删除自定义运动"));
    q.bind(1, id).run();
}
