// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogStore.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogDates.h"
#include "foods/FoodText.h"


namespace {

// The same ranges for the readers that sum or pick in SQL (LogBounds; checked against it by the
// tests that store values at its edges).
#define IN_RANGE_ENTRY "typeof(grams) IN ('integer', 'real') AND grams > 0 AND grams <= 5000 " \
    "AND typeof(kcal_per_100g) IN ('integer', 'real') AND kcal_per_100g BETWEEN 0 AND 900 " \
    "AND meal IN (0, 1, 2, 3)"
#define IN_RANGE_WEIGHT "typeof(kg) IN ('integer', 'real') AND kg BETWEEN 20 AND 400"
static_assert(LogBounds::MaxGrams == 5000 && LogBounds::MaxKcalPer100g == 900 && LogBounds::LastMeal == 3
                  && LogBounds::MinKg == 20 && LogBounds::MaxKg == 400,
              "the readers' SQL ranges follow LogBounds");

QString readContext()
{
    return QStringLiteral("无法读取饮食记录");
}

QString writeContext()
{
    return QStringLiteral("无法保存饮食记录");
}

} // namespace

FoodLogStore::FoodLogStore(Database &db, Clock clock) : m_schema(db, std::move(clock)), m_db(db) {}

QStringList FoodLogStore::createStatements()
{
    return LogSchema::createStatements();
}

QStringList FoodLogStore::tableNames()
{
    return {QStringLiteral("food_log"), QStringLiteral("weight_log"), QStringLiteral("profile"),
            QStringLiteral("exercise_log"), QStringLiteral("custom_activity"), QStringLiteral("custom_food"),
            QStringLiteral("custom_food_part")};
}

QString FoodLogStore::backupPath(const QString &databasePath, const QDateTime &when)
{
    return LogSchema::backupPath(databasePath, when);
}

bool FoodLogStore::hasTables() const
{
    for (const QString &table : tableNames()) {
        if (!m_schema.hasTable(table.toLatin1().constData()))
            return false;
    }
    return true;
}

std::unique_ptr<ReadTransaction> FoodLogStore::readTogether() const
{
    return std::make_unique<ReadTransaction>(m_db, readContext());
}

bool FoodLogStore::hasTable(const char *name) const
{
    return m_schema.hasTable(name);
}

namespace {

// A name of megabytes in a hand-made file is read only as far as it is shown. The nutrients come
// from their own table where the file has it (an earlier release's file reads without).
QByteArray entryQuery(bool withNutrients, const char *where)
{
    const QString columns = QStringLiteral(
        "l.id, l.day, l.meal, substr(l.food, 1, ?9), substr(l.category, 1, ?9), l.grams, l.kcal_per_100g, l.created");
    const QString sql = withNutrients
        ? QStringLiteral("SELECT %1, n.protein, n.fat, n.carbohydrate, n.alcohol FROM food_log l "
                         "LEFT JOIN food_log_nutrient n ON n.entry_id = l.id %2")
              .arg(columns, QLatin1String(where))
        : QStringLiteral("SELECT %1 FROM food_log l %2").arg(columns, QLatin1String(where));
    return sql.toUtf8();
}

// The entry on the query's row, if it is within the log's ranges.
std::optional<FoodLogEntry> entryFrom(const Query &q)
{
    FoodLogEntry e;
    e.id = q.integer(0);
    e.day = LogDates::dayFrom(q.text(1));
    e.meal = int(q.integer(2));
    e.food = FoodText::name(q.text(3));
    e.category = FoodText::name(q.text(4));
    e.grams = q.real(5);
    e.kcalPer100g = q.real(6);
    e.created = LogDates::timeFrom(q.text(7));
    if (q.columnCount() > 8 && q.isNumber(8) && q.isNumber(9) && q.isNumber(10))
        e.nutrientsPer100g = Nutrients{q.real(8), q.real(9), q.real(10), q.isNumber(11) ? q.real(11) : 0};
    // A meal that is NULL, text or a fraction is none of the four (it would read as 早餐), as
    // the sums in SQL (meal IN (0, 1, 2, 3)) see it.
    const bool mealKnown = q.isNumber(2) && q.real(2) == double(e.meal);
    if (LogBounds::gramsInRange(e.grams) && LogBounds::kcalPer100gInRange(e.kcalPer100g)
        && mealKnown && LogBounds::mealInRange(e.meal) && q.isNumber(5) && q.isNumber(6))
        return e;
    return std::nullopt;
}

} // namespace

FoodLogStore::DayEntries FoodLogStore::dayEntries(const QDate &day) const
{
    DayEntries found;
    if (!hasTable("food_log"))
        return found;
    const QByteArray sql = entryQuery(hasTable("food_log_nutrient"), "WHERE l.day = ?1 ORDER BY l.meal, l.id");
    Query q(m_db, sql.constData(), readContext());
    q.bind(1, LogDates::dayText(day)).bind(9, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        if (const std::optional<FoodLogEntry> e = entryFrom(q))
            found.entries.append(*e);
        else
            ++found.outOfRange;
    }
    return found;
}

QList<FoodLogEntry> FoodLogStore::allEntries() const
{
    QList<FoodLogEntry> found;
    if (!hasTable("food_log"))
        return found;
    const QByteArray sql = entryQuery(hasTable("food_log_nutrient"), "ORDER BY l.day, l.meal, l.id");
    Query q(m_db, sql.constData(), readContext());
    q.bind(9, qint64(FoodText::MaxNameLength + 1));
    while (q.next()) {
        if (const std::optional<FoodLogEntry> e = entryFrom(q))
            found.append(*e);
    }
    return found;
}

FoodLogEntry FoodLogStore::addEntry(FoodLogEntry entry)
{
    entry.food = FoodText::name(entry.food);
    entry.category = FoodText::name(entry.category);
    ensureTables();
    if (!entry.created.isValid())
        entry.created = m_schema.clock().now();
    Query q(m_db,
            "INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, LogDates::dayText(entry.day)).bind(2, entry.meal).bind(3, entry.food).bind(4, entry.category);
    q.bind(5, entry.grams).bind(6, entry.kcalPer100g);
    q.bind(7, LogDates::timeText(entry.created));
    q.run();
    entry.id = q.lastInsertId();
    keepNutrients(entry);
    return entry;
}

void FoodLogStore::restoreEntry(const FoodLogEntry &entry)
{
    ensureTables();
    Query q(m_db,
            "INSERT INTO food_log (id, day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.id).bind(2, LogDates::dayText(entry.day)).bind(3, entry.meal).bind(4, entry.food);
    q.bind(5, entry.category).bind(6, entry.grams).bind(7, entry.kcalPer100g);
    q.bind(8, LogDates::timeText(entry.created));
    q.run();
    keepNutrients(entry);
}

void FoodLogStore::keepNutrients(const FoodLogEntry &entry)
{
    if (!entry.nutrientsPer100g)
        return;
    const Nutrients &n = *entry.nutrientsPer100g;
    Query q(m_db,
            "INSERT OR REPLACE INTO food_log_nutrient (entry_id, protein, fat, carbohydrate, alcohol) "
            "VALUES (?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.id).bind(2, n.protein).bind(3, n.fat).bind(4, n.carbohydrate).bind(5, n.alcohol).run();
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

void FoodLogStore::moveEntry(qint64 id, const QDate &day, int meal)
{
    ensureTables();
    Query q(m_db, "UPDATE food_log SET day = ?, meal = ? WHERE id = ?", writeContext());
    q.bind(1, LogDates::dayText(day)).bind(2, meal).bind(3, id).run();
}

QList<FoodLogEntry> FoodLogStore::copyEntries(const QList<FoodLogEntry> &entries, const QDate &day,
                                              std::optional<int> meal)
{
    ensureTables();
    Transaction transaction(m_db, writeContext());
    QList<FoodLogEntry> copies;
    const QDateTime now = m_schema.clock().now();
    for (FoodLogEntry copy : entries) {
        copy.id = 0;
        copy.day = day;
        copy.meal = meal.value_or(copy.meal);
        copy.created = now;
        copies.append(addEntry(copy));
    }
    transaction.commit();
    return copies;
}

void FoodLogStore::removeEntries(const QList<qint64> &ids)
{
    ensureTables();
    Transaction transaction(m_db, writeContext());
    for (qint64 id : ids)
        removeEntry(id);
    transaction.commit();
}

void FoodLogStore::removeEntry(qint64 id)
{
    ensureTables();
    Query q(m_db, "DELETE FROM food_log WHERE id = ?", writeContext());
    q.bind(1, id).run();
    Query figures(m_db, "DELETE FROM food_log_nutrient WHERE entry_id = ?", writeContext());
    figures.bind(1, id).run();
}

std::optional<double> FoodLogStore::weightOn(const QDate &day) const
{
    if (!hasTable("weight_log"))
        return std::nullopt;
    Query q(m_db, "SELECT kg FROM weight_log WHERE day = ? AND " IN_RANGE_WEIGHT, readContext());
    q.bind(1, LogDates::dayText(day));
    if (q.next())
        return q.real(0);
    return std::nullopt;
}

void FoodLogStore::setWeight(const QDate &day, double kg)
{
    ensureTables();
    Query q(m_db, "INSERT OR REPLACE INTO weight_log (day, kg) VALUES (?, ?)",
            QStringLiteral("无法保存体重"));
    q.bind(1, LogDates::dayText(day)).bind(2, kg).run();
}

void FoodLogStore::removeWeight(const QDate &day)
{
    ensureTables();
    Query q(m_db, "DELETE FROM weight_log WHERE day = ?", QStringLiteral("无法删除体重"));
    q.bind(1, LogDates::dayText(day)).run();
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
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), q.real(1)});
    return days;
}

QList<DayMacros> FoodLogStore::macrosBetween(const QDate &first, const QDate &last) const
{
    QList<DayMacros> days;
    if (!hasTable("food_log") || !hasTable("food_log_nutrient"))
        return days;
    Query q(m_db,
            "SELECT l.day, sum(l.grams * n.protein) / 100.0, sum(l.grams * n.fat) / 100.0, "
            "sum(l.grams * n.carbohydrate) / 100.0, sum(l.grams * n.alcohol) / 100.0 FROM food_log l "
            "JOIN food_log_nutrient n ON n.entry_id = l.id WHERE l.day BETWEEN ? AND ? AND "
            "typeof(l.grams) IN ('integer', 'real') AND l.grams > 0 AND l.grams <= 5000 AND l.meal IN (0, 1, 2, 3) "
            "AND typeof(l.kcal_per_100g) IN ('integer', 'real') AND l.kcal_per_100g BETWEEN 0 AND 900 "
            "GROUP BY l.day ORDER BY l.day",
            readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), Nutrients{q.real(1), q.real(2), q.real(3), q.real(4)}});
    return days;
}

QList<DayWeight> FoodLogStore::weightsBetween(const QDate &first, const QDate &last) const
{
    QList<DayWeight> days;
    if (!hasTable("weight_log"))
        return days;
    Query q(m_db, "SELECT day, kg FROM weight_log WHERE day BETWEEN ? AND ? AND " IN_RANGE_WEIGHT " ORDER BY day",
            readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), q.real(1)});
    return days;
}

std::optional<DayWeight> FoodLogStore::latestWeight(const QDate &day) const
{
    if (!hasTable("weight_log"))
        return std::nullopt;
    Query q(m_db, "SELECT day, kg FROM weight_log WHERE day <= ? AND " IN_RANGE_WEIGHT " ORDER BY day DESC LIMIT 1",
            readContext());
    q.bind(1, LogDates::dayText(day));
    if (q.next())
        return DayWeight{LogDates::dayFrom(q.text(0)), q.real(1)};
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
