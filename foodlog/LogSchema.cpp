// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/LogSchema.h"

#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "foodlog/LogBounds.h"
#include "foods/Nutrients.h"

#include <QFileInfo>

namespace {

// A range a trigger holds a table's rows to.
struct RangeTrigger
{
    const char *table;
    QString inRange; // an SQL condition on NEW
};

// typeof() first: text compares above every number in SQLite and must not pass as one.
QString numberIn(const char *column, const QString &condition)
{
    return QStringLiteral("typeof(NEW.%1) IN ('integer', 'real') AND NEW.%1 %2")
        .arg(QLatin1String(column), condition);
}

QString between(double low, double high)
{
    return QStringLiteral("BETWEEN %1 AND %2").arg(QString::number(low), QString::number(high));
}

QStringList triggersFor(const QList<RangeTrigger> &bounds)
{
    QStringList statements;
    for (const RangeTrigger &bound : bounds) {
        for (const char *change : {"insert", "update"}) {
            statements << QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_in_range_%2 BEFORE %3 ON %1 "
                                         "WHEN NOT coalesce(%4, 0) "
                                         "BEGIN SELECT RAISE(ABORT, '%1: value out of range'); END")
                              .arg(QLatin1String(bound.table), QLatin1String(change),
                                   QString::fromLatin1(change).toUpper(), bound.inRange);
        }
    }
    return statements;
}

// Days are local dates as "YYYY-MM-DD"; created times local "YYYY-MM-DD HH:MM:SS". CHECKs and
// triggers keep values a later reader can trust: the ranges (LogBounds) are triggers because
// SQLite can add a trigger to a table an earlier release made, where a new CHECK would mean
// copying the table, and a copy could not hold a row already outside them. Every statement can
// run again on a file that has some of the objects: it adds the others.
QStringList createStatementList()
{
    const auto number = [](double value) { return QString::number(value); };
    // 1.1: the tables and the index.
    QStringList statements = {
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS food_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT NOT NULL, "
            "meal INTEGER NOT NULL CHECK (meal BETWEEN 0 AND 3), food TEXT NOT NULL, "
            "category TEXT NOT NULL DEFAULT '', grams REAL NOT NULL CHECK (grams > 0), "
            "kcal_per_100g REAL NOT NULL CHECK (kcal_per_100g >= 0), created TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS food_log_day ON food_log (day)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS weight_log (day TEXT PRIMARY KEY, "
                       "kg REAL NOT NULL CHECK (kg BETWEEN 20 AND 400))"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS profile (id INTEGER PRIMARY KEY CHECK (id = 1), "
                       "sex TEXT NOT NULL CHECK (sex IN ('F', 'M')), birth_year INTEGER NOT NULL, "
                       "height_cm REAL NOT NULL, activity INTEGER NOT NULL CHECK (activity BETWEEN 0 AND 4), "
                       "target_kg REAL NOT NULL DEFAULT 0)"),
    };
    // 1.2: their ranges.
    statements << triggersFor({
        {"food_log", numberIn("grams", QStringLiteral("> 0")) + QStringLiteral(" AND NEW.grams <= ")
                         + number(LogBounds::MaxGrams) + QStringLiteral(" AND ")
                         + numberIn("kcal_per_100g", QStringLiteral(">= 0"))
                         + QStringLiteral(" AND NEW.kcal_per_100g <= ") + number(LogBounds::MaxKcalPer100g)
                         + QStringLiteral(" AND NEW.meal IN (0, 1, 2, 3)")},
        {"weight_log", numberIn("kg", between(LogBounds::MinKg, LogBounds::MaxKg))},
        {"profile", numberIn("height_cm", between(LogBounds::MinHeightCm, LogBounds::MaxHeightCm))},
    });
    // 1.3: exercise and the user's own activities. An entry keeps the MET and the kcal it was
    // logged with, so a later weight or a better table never changes a past day.
    statements << QStringLiteral(
        "CREATE TABLE IF NOT EXISTS exercise_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT NOT NULL, "
        "activity TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', minutes REAL NOT NULL CHECK (minutes > 0), "
        "met REAL NOT NULL, kcal REAL NOT NULL CHECK (kcal >= 0), created TEXT NOT NULL)")
               << QStringLiteral("CREATE INDEX IF NOT EXISTS exercise_log_day ON exercise_log (day)")
               << QStringLiteral(
                      "CREATE TABLE IF NOT EXISTS custom_activity (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "name TEXT NOT NULL UNIQUE CHECK (length(trim(name)) > 0), met REAL NOT NULL, "
                      "created TEXT NOT NULL)");
    statements << triggersFor({
        {"exercise_log", numberIn("minutes", QStringLiteral("> 0")) + QStringLiteral(" AND NEW.minutes <= ")
                             + number(LogBounds::MaxMinutes) + QStringLiteral(" AND ")
                             + numberIn("met", between(LogBounds::MinMet, LogBounds::MaxMet))
                             + QStringLiteral(" AND ")
                             + numberIn("kcal", between(0, LogBounds::MaxExerciseKcal))},
        {"custom_activity", numberIn("met", between(LogBounds::MinMet, LogBounds::MaxMet))},
    });
    // 1.3 too: the user's own foods and home recipes, beside the shipped food tables (01, 02),
    // which are never written to. A part keeps its ingredient's kcal as the recipe was saved.
    statements << QStringLiteral(
        "CREATE TABLE IF NOT EXISTS custom_food (id INTEGER PRIMARY KEY AUTOINCREMENT, "
        "name TEXT NOT NULL UNIQUE CHECK (length(trim(name)) > 0), category TEXT NOT NULL DEFAULT '', "
        "kcal_per_100g REAL NOT NULL, aliases TEXT NOT NULL DEFAULT '', measure TEXT NOT NULL DEFAULT '', "
        "measure_grams REAL, cooked_grams REAL, protein REAL, fat REAL, carbohydrate REAL, created TEXT NOT NULL)")
               << QStringLiteral(
                      "CREATE TABLE IF NOT EXISTS custom_food_part (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                      "food_id INTEGER NOT NULL REFERENCES custom_food (id), position INTEGER NOT NULL, "
                      "ingredient TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', kcal_per_100g REAL NOT NULL, "
                      "grams REAL NOT NULL, protein REAL, fat REAL, carbohydrate REAL)")
               << QStringLiteral("CREATE INDEX IF NOT EXISTS custom_food_part_food ON custom_food_part (food_id)");
    // 1.3 too: each entry's protein, fat and carbohydrate per 100 g as logged, beside it (a table
    // of its own, so that an earlier release's food_log needs no change).
    statements << QStringLiteral(
        "CREATE TABLE IF NOT EXISTS food_log_nutrient (entry_id INTEGER PRIMARY KEY, "
        "protein REAL NOT NULL CHECK (protein BETWEEN 0 AND 100), fat REAL NOT NULL CHECK (fat BETWEEN 0 AND 100), "
        "carbohydrate REAL NOT NULL CHECK (carbohydrate BETWEEN 0 AND 100), "
        "alcohol REAL NOT NULL DEFAULT 0 CHECK (alcohol BETWEEN 0 AND 100))");
    statements << triggersFor({
        {"custom_food", numberIn("kcal_per_100g", between(0, LogBounds::MaxKcalPer100g))},
        {"custom_food_part", numberIn("grams", QStringLiteral("> 0")) + QStringLiteral(" AND NEW.grams <= ")
                                 + number(LogBounds::MaxGrams) + QStringLiteral(" AND ")
                                 + numberIn("kcal_per_100g", between(0, LogBounds::MaxKcalPer100g))},
    });
    // The waist beside the weight: one figure a day, optional, in centimetres.
    statements << QStringLiteral("CREATE TABLE IF NOT EXISTS waist_log (day TEXT PRIMARY KEY, cm REAL NOT NULL)");
    statements << triggersFor({{"waist_log", numberIn("cm", between(LogBounds::MinWaistCm, LogBounds::MaxWaistCm))}});
    // Dietary fibre (g) and sodium (mg) per 100 g: each entry's as logged, and an own food's sodium
    // as its label gives it. Tables of their own, so that the tables above need no change.
    statements << QStringLiteral(
        "CREATE TABLE IF NOT EXISTS food_log_fibre_sodium (entry_id INTEGER PRIMARY KEY, "
        "fibre REAL CHECK (fibre IS NULL OR fibre BETWEEN 0 AND 100), "
        "sodium REAL CHECK (sodium IS NULL OR sodium BETWEEN 0 AND %1))")
                      .arg(Nutrients::MaxSodium)
               << QStringLiteral("CREATE TABLE IF NOT EXISTS custom_food_sodium (food_id INTEGER PRIMARY KEY, "
                                 "sodium REAL NOT NULL CHECK (sodium BETWEEN 0 AND %1))")
                      .arg(Nutrients::MaxSodium);
    return statements;
}

QString readContext()
{
    return QStringLiteral("无法读取饮食记录");
}

QString writeContext()
{
    return QStringLiteral("无法保存饮食记录");
}

} // namespace

LogSchema::LogSchema(Database &db, Clock clock) : m_db(db), m_clock(std::move(clock)) {}

QStringList LogSchema::createStatements()
{
    static const QStringList statements = createStatementList();
    return statements;
}

const QStringList &LogSchema::layoutObjects()
{
    // Read from the statements themselves, so that the list cannot miss one of them.
    static const QStringList names = [] {
        QStringList found;
        for (const QString &statement : createStatements()) {
            const QString name = statement.section(QLatin1Char(' '), 5, 5);
            found << name;
        }
        return found;
    }();
    return names;
}

QString LogSchema::backupPath(const QString &databasePath, const QDateTime &when)
{
    return databasePath + QStringLiteral(".bak-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool LogSchema::hasTable(const char *name) const
{
    Query version(m_db, "PRAGMA schema_version", readContext());
    const qint64 now = version.next() ? version.integer(0) : -1;
    if (m_schemaVersion != now) {
        QStringList tables;
        Query q(m_db, "SELECT name FROM sqlite_master WHERE type = 'table'", readContext());
        while (q.next())
            tables << q.text(0);
        m_tables = tables;
        m_schemaVersion = now;
    }
    return m_tables.contains(QLatin1String(name));
}

bool LogSchema::isUpToDate() const
{
    return isUpToDate(readContext());
}

bool LogSchema::isUpToDate(const QString &context) const
{
    // The names are this file's own constants, quoted as SQL strings.
    static const QByteArray sql = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('%1')")
                                      .arg(layoutObjects().join(QStringLiteral("', '")))
                                      .toUtf8();
    Query q(m_db, sql.constData(), context);
    return q.next() && q.integer(0) == layoutObjects().size();
}

// Entries logged before the figures were kept get the food table's figures for their food's name,
// where it has them; the rest show "—". Part of the upgrade, in its transaction.
void LogSchema::fillNutrientsOfEarlierEntries(const QString &context)
{
    Query shipped(m_db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'food_nutrient'", context);
    if (!shipped.next() || shipped.integer(0) == 0)
        return;
    execute(m_db,
            "INSERT OR IGNORE INTO food_log_nutrient (entry_id, protein, fat, carbohydrate, alcohol) "
            "SELECT l.id, n.protein, n.fat, n.carbohydrate, coalesce(n.alcohol, 0) FROM food_log l "
            "JOIN food_nutrient n ON n.id = (SELECT min(id) FROM food_nutrient WHERE trim(food) = l.food) "
            "WHERE typeof(n.protein) IN ('integer', 'real') AND typeof(n.fat) IN ('integer', 'real') "
            "AND typeof(n.carbohydrate) IN ('integer', 'real') AND n.protein BETWEEN 0 AND 100 "
            "AND n.fat BETWEEN 0 AND 100 AND n.carbohydrate BETWEEN 0 AND 100 "
            "AND coalesce(n.alcohol, 0) BETWEEN 0 AND 100",
            context);
}

QString LogSchema::ensureTables()
{
    // Part of a write: a file locked by another program is a failed save, not a failed read.
    if (isUpToDate(writeContext()))
        return QString();
    const QString context = QStringLiteral("无法为饮食记录添加数据表，文件“%1”未作改动").arg(m_db.path());
    m_db.requireWritable(context);

    // The write lock first, so nobody changes the file between the copy and
    // the change; readers (the copy among them) still get through.
    Transaction transaction(m_db, context);
    if (isUpToDate(context)) { // another program added them while we waited
        transaction.commit();
        return QString();
    }
    QDateTime now = m_clock.now();
    QString backup = backupPath(m_db.path(), now);
    // Two upgrades within one second (another file of the same name, a test):
    // never replace an existing copy.
    while (QFileInfo::exists(backup)) {
        now = now.addSecs(1);
        backup = backupPath(m_db.path(), now);
    }
    try {
        copyDatabaseFile(m_db.path(), backup);
    } catch (const DataError &error) {
        throw DataError(context + QStringLiteral("：无法保存备份。") + error.message(), error.code());
    }
    for (const QString &statement : createStatements())
        execute(m_db, statement.toUtf8().constData(), context);
    fillNutrientsOfEarlierEntries(context);
    transaction.commit();
    return backup;
}
