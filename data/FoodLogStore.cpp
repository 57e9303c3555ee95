// SPDX-License-Identifier: GPL-3.0-or-later
#include "FoodLogStore.h"

#include "Connection.h"
#include "DataError.h"
#include "Database.h"
#include "DatabaseCopy.h"
#include "Statement.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <sqlite3.h>

namespace {

const char DayFormat[] = "yyyy-MM-dd";
const char CreatedFormat[] = "yyyy-MM-dd HH:mm:ss";

// The log's tables. Days are local dates as "YYYY-MM-DD"; the created time is
// local "YYYY-MM-DD HH:MM:SS". CHECKs keep values a later reader can trust.
const char *const CreateStatements[] = {
    "CREATE TABLE food_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT NOT NULL, "
    "meal INTEGER NOT NULL CHECK (meal BETWEEN 0 AND 3), food TEXT NOT NULL, "
    "category TEXT NOT NULL DEFAULT '', grams REAL NOT NULL CHECK (grams > 0), "
    "kcal_per_100g REAL NOT NULL CHECK (kcal_per_100g >= 0), created TEXT NOT NULL)",
    "CREATE INDEX food_log_day ON food_log (day)",
    "CREATE TABLE weight_log (day TEXT PRIMARY KEY, kg REAL NOT NULL CHECK (kg BETWEEN 20 AND 400))",
    "CREATE TABLE profile (id INTEGER PRIMARY KEY CHECK (id = 1), "
    "sex TEXT NOT NULL CHECK (sex IN ('F', 'M')), birth_year INTEGER NOT NULL, "
    "height_cm REAL NOT NULL, activity INTEGER NOT NULL CHECK (activity BETWEEN 0 AND 4), "
    "target_kg REAL NOT NULL DEFAULT 0)",
};

DataError sqliteError(sqlite3 *db, const QString &context, int rc)
{
    QString message = context + QStringLiteral("：") + describeSqliteCode(rc) + QStringLiteral("。");
    const char *text = db ? sqlite3_errmsg(db) : nullptr;
    if (text && *text)
        message += QStringLiteral("（%1）").arg(QString::fromUtf8(text));
    return DataError(message, rc);
}

// One statement prepared for one call, finalized on leaving scope.
class Query
{
public:
    Query(sqlite3 *db, const char *sql, QString context) : m_db(db), m_context(std::move(context))
    {
        sqlite3_stmt *stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        m_stmt = Statement(stmt);
        if (rc != SQLITE_OK)
            throw sqliteError(db, m_context, rc);
    }
    Query &bind(int index, qint64 value)
    {
        sqlite3_bind_int64(m_stmt.get(), index, value);
        return *this;
    }
    Query &bind(int index, int value) { return bind(index, qint64(value)); }
    Query &bind(int index, double value)
    {
        sqlite3_bind_double(m_stmt.get(), index, value);
        return *this;
    }
    Query &bind(int index, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(m_stmt.get(), index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query &bind(int index, const QDate &day) { return bind(index, day.toString(QLatin1String(DayFormat))); }
    // True while there is a row.
    bool next()
    {
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            throw sqliteError(m_db, m_context, rc);
        return false;
    }
    void run()
    {
        while (next()) {
        }
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_stmt.get(), column); }
    double real(int column) const { return sqlite3_column_double(m_stmt.get(), column); }
    QString text(int column) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt.get(), column)),
                                 sqlite3_column_bytes(m_stmt.get(), column));
    }
    QDate day(int column) const { return QDate::fromString(text(column), QLatin1String(DayFormat)); }

private:
    sqlite3 *m_db;
    QString m_context;
    Statement m_stmt;
};

void exec(sqlite3 *db, const char *sql, const QString &context)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, context, rc);
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

FoodLogStore::FoodLogStore(Database &db) : m_db(db) {}

sqlite3 *FoodLogStore::handle() const
{
    sqlite3 *db = m_db.handle();
    if (!db)
        throw DataError(QStringLiteral("数据库连接已关闭。"));
    return db;
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
    Query q(handle(),
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
            "AND name IN ('food_log', 'weight_log', 'profile')",
            readContext());
    return q.next() && q.integer(0) == 3;
}

QString FoodLogStore::ensureTables()
{
    if (hasTables())
        return QString();
    sqlite3 *db = handle();
    const QString context = QStringLiteral("无法为饮食记录添加数据表，文件“%1”未作改动").arg(m_db.path());
    if (sqlite3_db_readonly(db, "main") == 1)
        throw DataError(context + QStringLiteral("：数据库文件是只读的。"), SQLITE_READONLY);

    // The write lock first, so nobody changes the file between the copy and
    // the change; readers (the copy among them) still get through.
    exec(db, "BEGIN IMMEDIATE", context);
    auto rollback = qScopeGuard([db] { sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr); });
    if (hasTables()) { // another program added them while we waited
        rollback.dismiss();
        exec(db, "COMMIT", context);
        return QString();
    }
    QDateTime now = QDateTime::currentDateTime();
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
    for (const char *statement : CreateStatements)
        exec(db, statement, context);
    exec(db, "COMMIT", context);
    rollback.dismiss();
    return backup;
}

QList<FoodLogEntry> FoodLogStore::entriesOn(const QDate &day) const
{
    QList<FoodLogEntry> entries;
    if (!hasTables())
        return entries;
    Query q(handle(),
            "SELECT id, day, meal, food, category, grams, kcal_per_100g, created FROM food_log "
            "WHERE day = ? ORDER BY meal, id",
            readContext());
    q.bind(1, day);
    while (q.next()) {
        FoodLogEntry e;
        e.id = q.integer(0);
        e.day = q.day(1);
        e.meal = int(q.integer(2));
        e.food = q.text(3);
        e.category = q.text(4);
        e.grams = q.real(5);
        e.kcalPer100g = q.real(6);
        e.created = QDateTime::fromString(q.text(7), QLatin1String(CreatedFormat));
        entries.append(e);
    }
    return entries;
}

FoodLogEntry FoodLogStore::addEntry(FoodLogEntry entry)
{
    ensureTables();
    if (!entry.created.isValid())
        entry.created = QDateTime::currentDateTime();
    sqlite3 *db = handle();
    Query q(db,
            "INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.day).bind(2, entry.meal).bind(3, entry.food).bind(4, entry.category);
    q.bind(5, entry.grams).bind(6, entry.kcalPer100g);
    q.bind(7, entry.created.toString(QLatin1String(CreatedFormat)));
    q.run();
    entry.id = sqlite3_last_insert_rowid(db);
    return entry;
}

void FoodLogStore::restoreEntry(const FoodLogEntry &entry)
{
    ensureTables();
    Query q(handle(),
            "INSERT INTO food_log (id, day, meal, food, category, grams, kcal_per_100g, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
            writeContext());
    q.bind(1, entry.id).bind(2, entry.day).bind(3, entry.meal).bind(4, entry.food);
    q.bind(5, entry.category).bind(6, entry.grams).bind(7, entry.kcalPer100g);
    q.bind(8, entry.created.toString(QLatin1String(CreatedFormat)));
    q.run();
}

void FoodLogStore::setGrams(qint64 id, double grams)
{
    ensureTables();
    Query q(handle(), "UPDATE food_log SET grams = ? WHERE id = ?", writeContext());
    q.bind(1, grams).bind(2, id).run();
}

void FoodLogStore::setMeal(qint64 id, int meal)
{
    ensureTables();
    Query q(handle(), "UPDATE food_log SET meal = ? WHERE id = ?", writeContext());
    q.bind(1, meal).bind(2, id).run();
}

void FoodLogStore::removeEntry(qint64 id)
{
    ensureTables();
    Query q(handle(), "DELETE FROM food_log WHERE id = ?", writeContext());
    q.bind(1, id).run();
}

std::optional<double> FoodLogStore::weightOn(const QDate &day) const
{
    if (!hasTables())
        return std::nullopt;
    Query q(handle(), "SELECT kg FROM weight_log WHERE day = ?", readContext());
    q.bind(1, day);
    if (q.next())
        return q.real(0);
    return std::nullopt;
}

void FoodLogStore::setWeight(const QDate &day, double kg)
{
    ensureTables();
    Query q(handle(), "INSERT OR REPLACE INTO weight_log (day, kg) VALUES (?, ?)",
            QStringLiteral("无法保存体重"));
    q.bind(1, day).bind(2, kg).run();
}

void FoodLogStore::removeWeight(const QDate &day)
{
    ensureTables();
    Query q(handle(), "DELETE FROM weight_log WHERE day = ?", QStringLiteral("无法删除体重"));
    q.bind(1, day).run();
}

QList<DayIntake> FoodLogStore::intakeBetween(const QDate &first, const QDate &last) const
{
    QList<DayIntake> days;
    if (!hasTables())
        return days;
    Query q(handle(),
            "SELECT day, sum(grams * kcal_per_100g) / 100.0 FROM food_log "
            "WHERE day BETWEEN ? AND ? GROUP BY day ORDER BY day",
            readContext());
    q.bind(1, first).bind(2, last);
    while (q.next())
        days.append({q.day(0), q.real(1)});
    return days;
}

QList<DayWeight> FoodLogStore::weightsBetween(const QDate &first, const QDate &last) const
{
    QList<DayWeight> days;
    if (!hasTables())
        return days;
    Query q(handle(), "SELECT day, kg FROM weight_log WHERE day BETWEEN ? AND ? ORDER BY day",
            readContext());
    q.bind(1, first).bind(2, last);
    while (q.next())
        days.append({q.day(0), q.real(1)});
    return days;
}

std::optional<DayWeight> FoodLogStore::latestWeight(const QDate &day) const
{
    if (!hasTables())
        return std::nullopt;
    Query q(handle(), "SELECT day, kg FROM weight_log WHERE day <= ? ORDER BY day DESC LIMIT 1",
            readContext());
    q.bind(1, day);
    if (q.next())
        return DayWeight{q.day(0), q.real(1)};
    return std::nullopt;
}

std::optional<Profile> FoodLogStore::profile() const
{
    if (!hasTables())
        return std::nullopt;
    Query q(handle(), "SELECT sex, birth_year, height_cm, activity, target_kg FROM profile WHERE id = 1",
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
    Query q(handle(),
            "INSERT OR REPLACE INTO profile (id, sex, birth_year, height_cm, activity, target_kg) "
            "VALUES (1, ?, ?, ?, ?, ?)",
            QStringLiteral("无法保存个人资料"));
    q.bind(1, p.sex == Profile::Sex::Male ? QStringLiteral("M") : QStringLiteral("F"));
    q.bind(2, p.birthYear).bind(3, p.heightCm).bind(4, p.activityLevel).bind(5, p.targetKg);
    q.run();
}
