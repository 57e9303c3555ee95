// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogStore.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "foodlog/DayKcal.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogDates.h"
#include "foods/FoodText.h"


namespace {

// The readers' form of the ranges the triggers hold new rows to (the one table, Bounds): rows an
// older or hand-made file holds outside them are neither listed nor summed. `row` names the table
// in a join ("l.").
QString entryInRange(const QString &row = QString())
{
    const auto number = [](double value) { return QString::number(value); };
    QStringList meals;
    for (int meal = 0; meal <= LogBounds::LastMeal; ++meal)
        meals << QString::number(meal);
    return QStringLiteral("typeof(%1grams) IN ('integer', 'real') AND %1grams > 0 AND %1grams <= %2 "
                          "AND typeof(%1kcal_per_100g) IN ('integer', 'real') AND %1kcal_per_100g BETWEEN 0 AND %3 "
                          "AND %1meal IN (%4)")
        .arg(row, number(LogBounds::MaxGrams), number(LogBounds::MaxKcalPer100g), meals.join(QStringLiteral(", ")));
}

QString weightInRange()
{
    return QStringLiteral("typeof(kg) IN ('integer', 'real') AND kg BETWEEN %1 AND %2")
        .arg(QString::number(LogBounds::MinKg), QString::number(LogBounds::MaxKg));
}

QString waistInRange()
{
    return QStringLiteral("typeof(cm) IN ('integer', 'real') AND cm BETWEEN %1 AND %2")
        .arg(QString::number(LogBounds::MinWaistCm), QString::number(LogBounds::MaxWaistCm));
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

FoodLogStore::FoodLogStore(Database &db, const FileLayout &layout, Clock clock)
    : m_schema(db, layout, std::move(clock)), m_db(db)
{
}

QStringList FoodLogStore::tableNames()
{
    return {QStringLiteral("food_log"), QStringLiteral("weight_log"), QStringLiteral("profile"),
            QStringLiteral("exercise_log"), QStringLiteral("custom_activity"), QStringLiteral("custom_food"),
            QStringLiteral("custom_food_part"), QStringLiteral("waist_log")};
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
QByteArray entryQuery(bool withNutrients, bool withFibreSodium, const char *where)
{
    const QString columns = QStringLiteral(
        "l.id, l.day, l.meal, substr(l.food, 1, ?9), substr(l.category, 1, ?9), l.grams, l.kcal_per_100g, l.created");
    const QString more = withFibreSodium
        ? QStringLiteral(", m.fibre, m.sodium FROM food_log l LEFT JOIN food_log_fibre_sodium m ON m.entry_id = l.id")
        : QStringLiteral(" FROM food_log l");
    const QString sql = withNutrients
        ? QStringLiteral("SELECT %1, n.protein, n.fat, n.carbohydrate, n.alcohol%2 "
                         "LEFT JOIN food_log_nutrient n ON n.entry_id = l.id %3")
              .arg(columns, more, QLatin1String(where))
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
    {
        e.nutrientsPer100g = Nutrients{q.real(8), q.real(9), q.real(10), q.isNumber(11) ? q.real(11) : 0};
        if (q.columnCount() > 12 && q.isNumber(12) && q.real(12) >= 0 && q.real(12) <= 100)
            e.nutrientsPer100g->fibre = q.real(12);
        if (q.columnCount() > 13 && q.isNumber(13) && q.real(13) >= 0 && q.real(13) <= Nutrients::MaxSodium)
            e.nutrientsPer100g->sodium = q.real(13);
    }
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
    const QByteArray sql = entryQuery(hasTable("food_log_nutrient"), hasTable("food_log_fibre_sodium"), "WHERE l.day = ?1 ORDER BY l.meal, l.id");
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
    const QByteArray sql = entryQuery(hasTable("food_log_nutrient"), hasTable("food_log_fibre_sodium"), "ORDER BY l.day, l.meal, l.id");
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
    if (!n.fibre && !n.sodium)
        return;
    Query more(m_db, "INSERT OR REPLACE INTO food_log_fibre_sodium (entry_id, fibre, sodium) VALUES (?, ?, ?)",
               writeContext());
    more.bind(1, entry.id);
    if (n.fibre)
        more.bind(2, *n.fibre);
    else
        more.bindNull(2);
    if (n.sodium)
        more.bind(3, *n.sodium);
    else
        more.bindNull(3);
    more.run();
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
    Query more(m_db, "DELETE FROM food_log_fibre_sodium WHERE entry_id = ?", writeContext());
    more.bind(1, id).run();
}

// One reading a day (the weight, the waist): the day's figure where it lies in its range.
std::optional<double> FoodLogStore::readingOn(const char *table, const char *column, const QString &inRange,
                                              const QDate &day) const
{
    if (!hasTable(table))
        return std::nullopt;
    Query q(m_db,
            QStringLiteral("SELECT %1 FROM %2 WHERE day = ? AND %3")
                .arg(QLatin1String(column), QLatin1String(table), inRange)
                .toUtf8()
                .constData(),
            readContext());
    q.bind(1, LogDates::dayText(day));
    if (q.next())
        return q.real(0);
    return std::nullopt;
}

std::optional<double> FoodLogStore::weightOn(const QDate &day) const
{
    return readingOn("weight_log", "kg", weightInRange(), day);
}

void FoodLogStore::setWeight(const QDate &day, double kg)
{
    ensureTables();
    Query q(m_db, "INSERT OR REPLACE INTO weight_log (day, kg) VALUES (?, ?)",
            QStringLiteral("无法保存体重"));
    q.bind(1, LogDates::dayText(day)).bind(2, kg).run();
}

std::optional<double> FoodLogStore::waistOn(const QDate &day) const
{
    return readingOn("waist_log", "cm", waistInRange(), day);
}

void FoodLogStore::setWaist(const QDate &day, double cm)
{
    ensureTables();
    Query q(m_db, "INSERT OR REPLACE INTO waist_log (day, cm) VALUES (?, ?)", QStringLiteral("无法保存腰围"));
    q.bind(1, LogDates::dayText(day)).bind(2, cm).run();
}

void FoodLogStore::removeWaist(const QDate &day)
{
    ensureTables();
    Query q(m_db, "DELETE FROM waist_log WHERE day = ?", QStringLiteral("无法删除腰围"));
    q.bind(1, LogDates::dayText(day)).run();
}

QList<DayWaist> FoodLogStore::waistsBetween(const QDate &first, const QDate &last) const
{
    QList<DayWaist> days;
    if (!hasTable("waist_log"))
        return days;
    Query q(m_db,
            QStringLiteral("SELECT day, cm FROM waist_log WHERE day BETWEEN ? AND ? AND %1 ORDER BY day")
                .arg(waistInRange())
                .toUtf8()
                .constData(),
            readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), q.real(1)});
    return days;
}

QList<DayIntake> FoodLogStore::intakeBetween(const QDate &first, const QDate &last) const
{
    if (!hasTable("food_log"))
        return {};
    // The entries themselves, within the ranges the day's list keeps, summed as it sums them
    // (DayKcal): the chart and the report show the day's total the screen shows.
    const QByteArray sql = entryQuery(false, false, "WHERE l.day BETWEEN ?1 AND ?2 ORDER BY l.day, l.meal, l.id");
    Query q(m_db, sql.constData(), readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last)).bind(9, qint64(FoodText::MaxNameLength + 1));
    QList<FoodLogEntry> entries;
    while (q.next()) {
        if (const std::optional<FoodLogEntry> e = entryFrom(q))
            entries.append(*e);
    }
    return DayKcal::eatenByDay(entries);
}

QList<DayMacros> FoodLogStore::macrosBetween(const QDate &first, const QDate &last) const
{
    QList<DayMacros> days;
    if (!hasTable("food_log") || !hasTable("food_log_nutrient"))
        return days;
    Query q(m_db,
            QStringLiteral("SELECT l.day, sum(l.grams * n.protein) / 100.0, sum(l.grams * n.fat) / 100.0, "
                           "sum(l.grams * n.carbohydrate) / 100.0, sum(l.grams * n.alcohol) / 100.0, "
                           "sum(l.grams * l.kcal_per_100g) / 100.0 FROM food_log l "
                           "JOIN food_log_nutrient n ON n.entry_id = l.id WHERE l.day BETWEEN ? AND ? AND %1 "
                           "GROUP BY l.day ORDER BY l.day")
                .arg(entryInRange(QStringLiteral("l.")))
                .toUtf8()
                .constData(),
            readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), Nutrients{q.real(1), q.real(2), q.real(3), q.real(4)}, q.real(5)});
    return days;
}

QList<DayWeight> FoodLogStore::weightsBetween(const QDate &first, const QDate &last) const
{
    QList<DayWeight> days;
    if (!hasTable("weight_log"))
        return days;
    Query q(m_db,
            QStringLiteral("SELECT day, kg FROM weight_log WHERE day BETWEEN ? AND ? AND %1 ORDER BY day")
                .arg(weightInRange())
                .toUtf8()
                .constData(),
            readContext());
    q.bind(1, LogDates::dayText(first)).bind(2, LogDates::dayText(last));
    while (q.next())
        days.append({LogDates::dayFrom(q.text(0)), q.real(1)});
    return days;
}

namespace {

// The weight in range nearest to `day` on the side `side` gives ("day <= ?" and "DESC": on or
// before it; "day > ?" and "": after it).
std::optional<DayWeight> weightBeside(Database &db, const QDate &day, const char *side, const char *order)
{
    Query q(db,
            QStringLiteral("SELECT day, kg FROM weight_log WHERE %1 AND %2 ORDER BY day %3 LIMIT 1")
                .arg(QLatin1String(side), weightInRange(), QLatin1String(order))
                .toUtf8()
                .constData(),
            readContext());
    q.bind(1, LogDates::dayText(day));
    if (q.next())
        return DayWeight{LogDates::dayFrom(q.text(0)), q.real(1)};
    return std::nullopt;
}

} // namespace

std::optional<DayWeight> FoodLogStore::latestWeight(const QDate &day) const
{
    if (!hasTable("weight_log"))
        return std::nullopt;
    return weightBeside(m_db, day, "day <= ?", "DESC");
}

std::optional<DayWeight> FoodLogStore::nearestWeight(const QDate &day) const
{
    if (std::optional<DayWeight> before = latestWeight(day))
        return before;
    if (!hasTable("weight_log"))
        return std::nullopt;
    return weightBeside(m_db, day, "day > ?", "");
}

QStringList FoodLogStore::recentFoods(int limit) const
{
    QStringList names;
    if (!hasTable("food_log"))
        return names;
    Query q(m_db,
            QStringLiteral("SELECT substr(food, 1, ?1) FROM food_log WHERE %1 "
                           "GROUP BY food ORDER BY max(day) DESC, count(*) DESC, max(id) DESC LIMIT ?2")
                .arg(entryInRange())
                .toUtf8()
                .constData(),
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
