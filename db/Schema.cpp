// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Schema.h"
#include "db/FileLayout.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include "db/DataError.h"
#include "db/private/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace Schema {

const QStringList &tableNames()
{
    static const QStringList names{QStringLiteral("01"), QStringLiteral("02"),
                                   QStringLiteral("sp"), QStringLiteral("yd"),
                                   QStringLiteral("xd"), QStringLiteral("rj")};
    return names;
}

const QStringList &optionalTables()
{
    static const QStringList names{QStringLiteral("food_alias"), QStringLiteral("food_nutrient"),
                                   QStringLiteral("food_data")};
    return names;
}

const QStringList &shippedTables()
{
    static const QStringList names = QStringList{QStringLiteral("02"), QStringLiteral("01")} + optionalTables();
    return names;
}

QList<LayoutStep> layoutSteps()
{
    return {{1, {}}};
}

const QStringList &notebookTables()
{
    static const QStringList names{QStringLiteral("sp"), QStringLiteral("yd"),
                                   QStringLiteral("xd"), QStringLiteral("rj")};
    return names;
}

QString createStatement(const QString &table)
{
    if (table == QLatin1String("02"))
        return QStringLiteral("CREATE TABLE \"02\" (id INTEGER PRIMARY KEY, category TEXT)");
    if (table == QLatin1String("01"))
        return QStringLiteral("CREATE TABLE \"01\" (id INTEGER PRIMARY KEY, category TEXT, "
                              "food TEXT, portion TEXT, kcal NUMERIC)");
    if (table == QLatin1String("food_alias"))
        return QStringLiteral("CREATE TABLE \"food_alias\" (id INTEGER PRIMARY KEY, category TEXT, "
                              "food TEXT, alias TEXT)");
    if (table == QLatin1String("food_nutrient"))
        return QStringLiteral("CREATE TABLE \"food_nutrient\" (id INTEGER PRIMARY KEY, category TEXT, "
                              "food TEXT, protein REAL, fat REAL, carbohydrate REAL, alcohol REAL)");
    if (table == QLatin1String("food_data"))
        return QStringLiteral("CREATE TABLE \"food_data\" (id INTEGER PRIMARY KEY CHECK (id = 1), content TEXT NOT NULL)");
    if (table == QLatin1String("rj"))
        return QStringLiteral("CREATE TABLE \"rj\" (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "time TEXT DEFAULT (strftime('%Y-%m-%d %H:%M','now','localtime')), "
                              "Name TEXT, demo TEXT)");
    if (notebookTables().contains(table))
        return QStringLiteral("CREATE TABLE \"%1\" (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "Name TEXT, demo TEXT)")
            .arg(table);
    throw DataError(QStringLiteral("“%1”不是本程序使用的表。").arg(table));
}

void create(sqlite3 *db)
{
    const QString context = QStringLiteral("无法建立数据表");
    Transaction transaction(db, context);
    for (const QString &table : tableNames() + optionalTables())
        execute(db, createStatement(table).toUtf8().constData(), context);
    execute(db, "PRAGMA user_version = 1", context);
    transaction.commit();
}

} // namespace Schema

void createDatabaseFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() && (!info.isFile() || info.size() != 0))
        throw DataError(QStringLiteral("无法建立数据库文件“%1”：文件已存在。").arg(path));

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DataError(QStringLiteral("无法建立数据库文件“%1”：%2").arg(path, why), rc);
    }
    // The same setting as every connection of the program (openDatabase).
    sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
    try {
        Schema::create(db);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
}
