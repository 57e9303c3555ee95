// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/LogSchema.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/FileLayout.h"
#include "db/FileUpgrade.h"
#include "db/Query.h"
#include "foodlog/LogBounds.h"
#include "foods/Nutrients.h"

QString LogSchema::numberIn(const char *column, const QString &condition)
{
    // typeof() first: text compares above every number in SQLite and must not pass as one.
    return QStringLiteral("typeof(NEW.%1) IN ('integer', 'real') AND NEW.%1 %2")
        .arg(QLatin1String(column), condition);
}

QString LogSchema::between(double low, double high)
{
    return QStringLiteral("BETWEEN %1 AND %2").arg(QString::number(low), QString::number(high));
}

QString LogSchema::positiveUpTo(const char *column, double max)
{
    return numberIn(column, QStringLiteral("> 0"))
           + QStringLiteral(" AND NEW.%1 <= %2").arg(QLatin1String(column), QString::number(max));
}

QStringList LogSchema::rangeTriggers(const QList<RangeTrigger> &bounds)
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

namespace {

// Entries logged before the figures were kept get the food table's figures for their food's name,
// where it has them; the rest show "—". Part of the step that adds food_log_nutrient.
void fillNutrientsOfEarlierEntries(sqlite3 *db, const QString &context)
{
    if (!hasTable(db, QStringLiteral("food_nutrient"), context))
        return;
    const QString max = QString::number(LogBounds::MaxNutrientPer100g);
    execute(db,
            QStringLiteral(
                "INSERT OR IGNORE INTO food_log_nutrient (entry_id, protein, fat, carbohydrate, alcohol) "
                "SELECT l.id, n.protein, n.fat, n.carbohydrate, coalesce(n.alcohol, 0) FROM food_log l "
                "JOIN food_nutrient n ON n.id = (SELECT min(id) FROM food_nutrient WHERE trim(food) = l.food) "
                "WHERE typeof(n.protein) IN ('integer', 'real') AND typeof(n.fat) IN ('integer', 'real') "
                "AND typeof(n.carbohydrate) IN ('integer', 'real') AND n.protein BETWEEN 0 AND %1 "
                "AND n.fat BETWEEN 0 AND %1 AND n.carbohydrate BETWEEN 0 AND %1 "
                "AND coalesce(n.alcohol, 0) BETWEEN 0 AND %1")
                .arg(max)
                .toUtf8()
                .constData(),
            context);
}

// The log's steps of the file's layout, each once, in the order releases added them. Days are local
// dates as "YYYY-MM-DD"; created times local "YYYY-MM-DD HH:MM:SS". CHECKs and triggers keep values
// a later reader can trust: the ranges (Bounds) are triggers because SQLite can add a trigger to a
// table an earlier release made, where a new CHECK would mean copying the table, and a copy could
// not hold a row already outside them. Every statement can run again on a file that has some of
// the objects: it adds the others. A statement, once a release has written it, never changes (a
// later step alters what it made), so that every file of a layout is the same whatever its history.
// The next step is the next line of the list.
QList<LayoutStep> stepList()
{
    const auto number = [](double value) { return QString::number(value); };
    const auto numberIn = LogSchema::numberIn;
    const auto between = LogSchema::between;
    const auto positiveUpTo = LogSchema::positiveUpTo;
    const auto triggersFor = LogSchema::rangeTriggers;
    QList<LayoutStep> steps;
    // The log's first tables and the index of its days.
    steps << LayoutStep{2, {
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
    }};
    // Their ranges, as triggers (see above).
    steps << LayoutStep{3, triggersFor({
        {"food_log", positiveUpTo("grams", LogBounds::MaxGrams) + QStringLiteral(" AND ")
                         + numberIn("kcal_per_100g", QStringLiteral(">= 0"))
                         + QStringLiteral(" AND NEW.kcal_per_100g <= ") + number(LogBounds::MaxKcalPer100g)
                         + QStringLiteral(" AND NEW.meal IN (0, 1, 2, 3)")},
        {"weight_log", numberIn("kg", between(LogBounds::MinKg, LogBounds::MaxKg))},
        {"profile", numberIn("height_cm", between(LogBounds::MinHeightCm, LogBounds::MaxHeightCm))},
    })};
    // Each entry's protein, fat and carbohydrate per 100 g as logged, beside it (a table of its
    // own, so that an earlier release's food_log needs no change); earlier entries get the food
    // table's figures for their name.
    steps << LayoutStep{6, {
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS food_log_nutrient (entry_id INTEGER PRIMARY KEY, "
            "protein REAL NOT NULL CHECK (protein BETWEEN 0 AND 100), fat REAL NOT NULL CHECK (fat BETWEEN 0 AND 100), "
            "carbohydrate REAL NOT NULL CHECK (carbohydrate BETWEEN 0 AND 100), "
            "alcohol REAL NOT NULL DEFAULT 0 CHECK (alcohol BETWEEN 0 AND 100))"),
    }, fillNutrientsOfEarlierEntries};
    // The waist beside the weight: one figure a day, optional, in centimetres.
    steps << LayoutStep{8, QStringList{
        QStringLiteral("CREATE TABLE IF NOT EXISTS waist_log (day TEXT PRIMARY KEY, cm REAL NOT NULL)"),
    } + triggersFor({{"waist_log", numberIn("cm", between(LogBounds::MinWaistCm, LogBounds::MaxWaistCm))}})};
    // Dietary fibre (g) and sodium (mg) per 100 g, each entry's as logged (own foods' sodium comes
    // in the same step). A table of its own, so that the tables above need no change.
    steps << LayoutStep{9, {
        QStringLiteral("CREATE TABLE IF NOT EXISTS food_log_fibre_sodium (entry_id INTEGER PRIMARY KEY, "
                       "fibre REAL CHECK (fibre IS NULL OR fibre BETWEEN 0 AND 100), "
                       "sodium REAL CHECK (sodium IS NULL OR sodium BETWEEN 0 AND %1))")
            .arg(Nutrients::MaxSodium),
    }};
    return steps;
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

LogSchema::LogSchema(Database &db, const FileLayout &layout, Clock clock)
    : m_db(db), m_layout(layout), m_clock(std::move(clock))
{
}

const QList<LayoutStep> &LogSchema::layoutSteps()
{
    static const QList<LayoutStep> steps = stepList();
    return steps;
}

QStringList LogSchema::createStatements()
{
    QStringList statements;
    for (const LayoutStep &step : layoutSteps())
        statements << step.statements;
    return statements;
}

bool LogSchema::hasTable(const char *name) const
{
    Query version(m_db, "PRAGMA schema_version", readContext());
    const qint64 now = version.next() ? version.integer(0) : -1;
    if (m_schemaVersion != now) {
        m_tables.clear();
        m_schemaVersion = now;
    }
    const QString table = QString::fromLatin1(name);
    const auto known = m_tables.constFind(table);
    if (known != m_tables.cend())
        return *known;
    const bool present = ::hasTable(m_db, table, readContext());
    m_tables.insert(table, present);
    return present;
}

bool LogSchema::isUpToDate() const
{
    return FileUpgrade(m_db, m_layout).isUpToDate(readContext());
}

QString LogSchema::ensureTables()
{
    FileUpgrade upgrade(m_db, m_layout, m_clock);
    // Part of a write: a file locked by another program is a failed save, not a failed read.
    if (upgrade.isUpToDate(writeContext()))
        return QString();
    return upgrade.run(QStringLiteral("无法为饮食记录添加数据表，文件“%1”未作改动").arg(m_db.path()));
}
