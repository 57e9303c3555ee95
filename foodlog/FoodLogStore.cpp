// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogStore.h"

#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "foodlog/LogBounds.h"
#include "foods/FoodText.h"

#include <QFileInfo>

namespace {

const char DayFormat[] = "yyyy-MM-dd";
const char CreatedFormat[] = "yyyy-MM-dd HH:mm:ss";

// The log's tables. Days are local dates as "YYYY-MM-DD"; the created time is
// local "YYYY-MM-DD HH:MM:SS". CHECKs and triggers keep values a later reader can trust: the
// ranges (LogBounds) are triggers because SQLite can add a trigger to a table an earlier release
// made, where a new CHECK would mean copying the table, and a copy could not hold a row already
// outside them. Every statement can run again on a file that has some of the objects (restored
// from elsewhere, made by an earlier release): it adds the others.
QStringList createStatementList()
{
    const auto number = [](double value) { return QString::number(value); };
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
    // typeof() first: text compares above every number in SQLite and must not pass as one.
    const QString numeric = QStringLiteral("typeof(NEW.%1) IN ('integer', 'real') AND NEW.%1 %2");
    const struct
    {
        const char *table;
        QString inRange;
    } bounds[] = {
        {"food_log", numeric.arg(QStringLiteral("grams"), QStringLiteral("> 0"))
                         + QStringLiteral(" AND NEW.grams <= ") + number(LogBounds::MaxGrams)
                         + QStringLiteral(" AND ")
                         + numeric.arg(QStringLiteral("kcal_per_100g"), QStringLiteral(">= 0"))
                         + QStringLiteral(" AND NEW.kcal_per_100g <= ") + number(LogBounds::MaxKcalPer100g)
                         + QStringLiteral(" AND NEW.meal IN (0, 1, 2, 3)")},
        {"weight_log", numeric.arg(QStringLiteral("kg"), QStringLiteral("BETWEEN %1 AND %2")
                                                            .arg(number(LogBounds::MinKg), number(LogBounds::MaxKg)))},
        {"profile", numeric.arg(QStringLiteral("height_cm"), QStringLiteral("BETWEEN %1 AND %2")
                                                               .arg(number(LogBounds::MinHeightCm),
                                                                    number(LogBounds::MaxHeightCm)))},
    };
    for (const auto &bound : bounds) {
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

// The same ranges for the readers that sum or pick in SQL (LogBounds; checked against it by the
// tests that store values at its edges).
#define IN_RANGE_ENTRY "typeof(grams) IN ('integer', 'real') AND grams > 0 AND grams <= 5000 " \
    "AND typeof(kcal_per_100g) IN ('integer', 'real') AND kcal_per_100g BETWEEN 0 AND 900 " \
    "AND meal IN (0, 1, 2, 3)"
#define IN_RANGE_WEIGHT "typeof(kg) IN ('integer', 'real') AND kg BETWEEN 20 AND 400"
static_assert(LogBounds::MaxGrams == 5000 && LogBounds::MaxKcalPer100g == 900 && LogBounds::LastMeal == 3
                  && LogBounds::MinKg == 20 && LogBounds::MaxKg == 400,
              "the readers' SQL ranges follow LogBounds");

// The names of everything the statements make: a file with all of them needs no upgrade.
const QStringList &layoutObjects()
{
    static const QStringList names = {
        QStringLiteral("food_log"), QStringLiteral("food_log_day"), QStringLiteral("weight_log"),
        QStringLiteral("profile"), QStringLiteral("food_log_in_range_insert"),
        QStringLiteral("food_log_in_range_update"), QStringLiteral("weight_log_in_range_insert"),
        QStringLiteral("weight_log_in_range_update"), QStringLiteral("profile_in_range_insert"),
        QStringLiteral("profile_in_range_update")};
    return names;
}

QString dayText(const QDate &day)
{
    return day.toString(QLatin1String(DayFormat));
}

QDate dayFrom(const QString &text)
{
    return QDate::fromString(text, QLatin1String(DayFormat));
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

FoodLogStore::FoodLogStore(Database &db, Clock clock) : m_db(db), m_clock(std::move(clock)) {}

QStringList FoodLogStore::createStatements()
{
    static const QStringList statements = createStatementList();
    return statements;
}

QStringList FoodLogStore::tableNames()
{
    return {QStringLiteral("food_log"), QStringLiteral("weight_log"), QStringLiteral("profile")};
}

QString FoodLogStore::backupPath(const QString &databasePath, const QDateTime &when)
{
    return databasePath + QStringLiteral(".bak-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

bool FoodLogStore::hasTables() const
{
    Query q(m_db,
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
            "AND name IN ('food_log', 'weight_log', 'profile')",
            readContext());
    return q.next() && q.integer(0) == 3;
}

std::unique_ptr<ReadTransaction> FoodLogStore::readTogether() const
{
    return std::make_unique<ReadTransaction>(m_db, readContext());
}

bool FoodLogStore::hasTable(const char *name) const
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

bool FoodLogStore::isUpToDate() const
{
    return isUpToDate(readContext());
}

bool FoodLogStore::isUpToDate(const QString &context) const
{
    // The names are this file's own constants, quoted as SQL strings.
    static const QByteArray sql = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('%1')")
                                      .arg(layoutObjects().join(QStringLiteral("', '")))
                                      .toUtf8();
    Query q(m_db, sql.constData(), context);
    return q.next() && q.integer(0) == layoutObjects().size();
}

QString FoodLogStore::ensureTables()
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
    transaction.commit();
    return backup;
}

FoodLogStore::DayEntries FoodLogStore::dayEntries(const QDate &day) const
{
    DayEntries found;
    if (!hasTable("food_log"))
        return found;
    Query q(m_db,
            "SELECT id, day, meal, substr(food, 1, ?2), substr(category, 1, ?2), grams, kcal_per_100g, "
            "created FROM food_log WHERE day = ?1 ORDER BY meal, id",
            readContext());
    // A name of megabytes in a hand-made file is read only as far as it is shown.
    q.bind(1, dayText(day)).bind(2, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        FoodLogEntry e;
        e.id = q.integer(0);
        e.day = dayFrom(q.text(1));
        e.meal = int(q.integer(2));
        e.food = FoodText::name(q.text(3));
        e.category = FoodText::name(q.text(4));
        e.grams = q.real(5);
        e.kcalPer100g = q.real(6);
        e.created = QDateTime::fromString(q.text(7), QLatin1String(CreatedFormat));
        if (LogBounds::gramsInRange(e.grams) && LogBounds::kcalPer100gInRange(e.kcalPer100g)
            && LogBounds::mealInRange(e.meal) && q.isNumber(5) && q.isNumber(6))
            found.entries.append(e);
        else
            ++found.outOfRange;
    }
    return found;
}

FoodLogEntry FoodLogStore::addEntry(FoodLogEntry entry)
{
    entry.food = FoodText::name(entry.food);
    entry.category = FoodText::name(entry.category);
    ensureTables();
    if (!entry.created.isValid())
        entry.created = m_clock.now();
    Query q(m_db,
            "INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, dayText(entry.day)).bind(2, entry.meal).bind(3, entry.food).bind(4, entry.category);
    q.bind(5, entry.grams).bind(6, entry.kcalPer100g);
    q.bind(7, entry.created.toString(QLatin1String(CreatedFormat)));
    q.run();
    entry.id = q.lastInsertId();
    return entry;
}

void FoodLogStore::restoreEntry(const FoodLogEntry &entry)
{
    ensureTables();
    Query q(m_db,
            "INSERT INTO food_log (id, day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.id).bind(2, dayText(entry.day)).bind(3, entry.meal).bind(4, entry.food);
    q.bind(5, entry.category).bind(6, entry.grams).bind(7, entry.kcalPer100g);
    q.bind(8, entry.created.toString(QLatin1String(CreatedFormat)));
    q.run();
}

void FoodLogStore::setGrams(qint64 id, double grams)
{
    ensureTables();
    Query q(m_db, "UPDATE food_log SET grams = ? WHERE id = ?", writeContext());
    q.bind(1, grams).bind(2, id).run();
}

void FoodLogStore::setMeal(qint64 id, int meal)
{
    ensureTables();
    Query q(m_db, "UPDATE food_log SET meal = ? WHERE id = ?", writeContext());
    q.bind(1, meal).bind(2, id).run();
}

void FoodLogStore::removeEntry(qint64 id)
{
    ensureTables();
    Query q(m_db, "DELETE FROM food_log WHERE id = ?", writeContext());
    q.bind(1, id).run();
}

std::optional<double> FoodLogStore::weightOn(const QDate &day) const
{
    if (!hasTable("weight_log"))
        return std::nullopt;
    Query q(m_db, "SELECT kg FROM weight_log WHERE day = ? AND " IN_RANGE_WEIGHT, readContext());
    q.bind(1, dayText(day));
    if (q.next())
        return q.real(0);
    return std::nullopt;
}

void FoodLogStore::setWeight(const QDate &day, double kg)
{
    ensureTables();
    Query q(m_db, "INSERT OR REPLACE INTO weight_log (day, kg) VALUES (?, ?)",
            QStringLiteral("无法保存体重"));
    q.bind(1, dayText(day)).bind(2, kg).run();
}

void FoodLogStore::removeWeight(const QDate &day)
{
    ensureTables();
    Query q(m_db, "DELETE FROM weight_log WHERE day = ?", QStringLiteral("无法删除体重"));
    q.bind(1, dayText(day)).run();
}

QList<DayIntake> FoodLogStore::intakeBetween(const QDate &first, const QDate &last) const
{
    QList<DayIntake> days;
    if (!hasTable("food_log"))
        return days;
    Query q(m_db,
            "SELECT day, sum(grams * kcal_per_100g) / 100.0 FROM food_log "
            "WHERE day BETWEEN ? AND ? AND " IN_RANGE_ENTRY " GROUP BY day ORDER BY day",
            readContext());
    q.bind(1, dayText(first)).bind(2, dayText(last));
    while (q.next())
        days.append({dayFrom(q.text(0)), q.real(1)});
    return days;
}

QList<DayWeight> FoodLogStore::weightsBetween(const QDate &first, const QDate &last) const
{
    QList<DayWeight> days;
    if (!hasTable("weight_log"))
        return days;
    Query q(m_db, "SELECT day, kg FROM weight_log WHERE day BETWEEN ? AND ? AND " IN_RANGE_WEIGHT " ORDER BY day",
            readContext());
    q.bind(1, dayText(first)).bind(2, dayText(last));
    while (q.next())
        days.append({dayFrom(q.text(0)), q.real(1)});
    return days;
}

std::optional<DayWeight> FoodLogStore::latestWeight(const QDate &day) const
{
    if (!hasTable("weight_log"))
        return std::nullopt;
    Query q(m_db, "SELECT day, kg FROM weight_log WHERE day <= ? AND " IN_RANGE_WEIGHT " ORDER BY day DESC LIMIT 1",
            readContext());
    q.bind(1, dayText(day));
    if (q.next())
        return DayWeight{dayFrom(q.text(0)), q.real(1)};
    return std::nullopt;
}

QStringList FoodLogStore::recentFoods(int limit) const
{
    QStringList names;
    if (!hasTable("food_log"))
        return names;
    Query q(m_db,
            "SELECT substr(food, 1, ?1) FROM food_log WHERE " IN_RANGE_ENTRY
            " GROUP BY food ORDER BY max(day) DESC, count(*) DESC, max(id) DESC LIMIT ?2",
            readContext());
    q.bind(1, qint64(FoodText::MaxNameLength + 1)).bind(2, limit);
    while (q.next())
        names.append(FoodText::name(q.text(0)));
    return names;
}

std::optional<Profile> FoodLogStore::profile() const
{
    if (!hasTable("profile"))
        return std::nullopt;
    Query q(m_db, "SELECT sex, birth_year, height_cm, activity, target_kg FROM profile WHERE id = 1",
            QStringLiteral("无法读取个人资料"));
    if (!q.next())
        return std::nullopt;
    Profile p;
    p.sex = q.text(0) == QLatin1String("M") ? Profile::Sex::Male : Profile::Sex::Female;
    p.birthYear = int(q.integer(1));
    p.heightCm = q.real(2);
    p.activityLevel = int(q.integer(3));
    p.targetKg = q.real(4);
    return p;
}

void FoodLogStore::setProfile(const Profile &p)
{
    ensureTables();
    Query q(m_db,
            "INSERT OR REPLACE INTO profile (id, sex, birth_year, height_cm, activity, target_kg) "
            "VALUES (1, ?, ?, ?, ?, ?)",
            QStringLiteral("无法保存个人资料"));
    q.bind(1, p.sex == Profile::Sex::Male ? QStringLiteral("M") : QStringLiteral("F"));
    q.bind(2, p.birthYear).bind(3, p.heightCm).bind(4, p.activityLevel).bind(5, p.targetKg);
    q.run();
}
