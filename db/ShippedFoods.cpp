// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ShippedFoods.h"

#include "db/DataError.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "db/private/Connection.h"
#include "db/private/SqliteBackup.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <sqlite3.h>

namespace ShippedFoods {

// Defined in EarlierFoodStamps.cpp.
extern const char *const EarlierStamps[];
extern const int EarlierStampCount;

namespace {

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QStringList columnsOf(sqlite3 *db, const QString &table, const QString &context)
{
    QStringList columns;
    Query q(db, "SELECT name FROM pragma_table_info(?1)", context);
    q.bind(1, table);
    while (q.next())
        columns << q.text(0);
    return columns;
}

const QString StampTable = QStringLiteral("food_data");

} // namespace

QString contentStamp(sqlite3 *db, const QString &context)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString &table : Schema::shippedTables()) {
        if (table == StampTable || !hasTable(db, table, context))
            continue;
        QStringList quoted;
        for (const QString &column : columnsOf(db, table, context))
            quoted << QStringLiteral("quote(%1)").arg(quotedName(column));
        const QByteArray sql = QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                   .arg(quoted.join(QStringLiteral(" || char(31) || ")), quotedName(table))
                                   .toUtf8();
        Query rows(db, sql.constData(), context);
        bool first = true;
        while (rows.next()) {
            if (first) // a table without rows counts as a missing one
                hash.addData(table.toUtf8() + '\x1d');
            first = false;
            hash.addData(rows.text(0).toUtf8() + '\x1e');
        }
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString storedStamp(sqlite3 *db, const QString &context)
{
    if (!hasTable(db, StampTable, context))
        return QString();
    Query q(db, "SELECT content FROM food_data WHERE id = 1", context);
    return q.next() && !q.isNull(0) ? q.text(0) : QString();
}

void writeStamp(sqlite3 *db, const QString &context)
{
    const QString stamp = contentStamp(db, context);
    Query q(db, "INSERT OR REPLACE INTO food_data (id, content) VALUES (1, ?1)", context);
    q.bind(1, stamp).run();
}

bool isEarlierRelease(const QString &stamp)
{
    const QByteArray wanted = stamp.toLatin1();
    for (int i = 0; i < EarlierStampCount; ++i)
        if (wanted == EarlierStamps[i])
            return true;
    return false;
}

Verdict judge(sqlite3 *db, const QString &templateStamp, const QString &context, IsEarlier isEarlier)
{
    if (templateStamp.isEmpty())
        return Verdict::Current;
    const QString stored = storedStamp(db, context);
    if (stored == templateStamp)
        return Verdict::Current;
    const QString content = contentStamp(db, context);
    if (content == templateStamp || (stored.isEmpty() ? isEarlier(content) : content == stored))
        return Verdict::Replace;
    return Verdict::KeepOwn;
}

QString templateStamp(const QString &templatePath)
{
    if (templatePath.isEmpty() || !QFileInfo(templatePath).isFile())
        return QString();
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(templatePath).constData(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        return QString();
    try {
        return storedStamp(raw, QString());
    } catch (const DataError &) {
        return QString();
    }
}

void replaceFrom(sqlite3 *db, const QString &templatePath, const QString &context)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(templatePath).constData(), &raw,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle shipped(raw);
    if (rc != SQLITE_OK)
        throw sqliteError(raw, context, rc);
    sqlite3_extended_result_codes(raw, 1);
    for (const QString &table : Schema::shippedTables()) {
        execute(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(quotedName(table)).toUtf8().constData(), context);
        QStringList made; // the table first, then its indexes
        {
            Query q(raw,
                    "SELECT sql FROM sqlite_schema WHERE tbl_name = ?1 AND type IN ('table', 'index') "
                    "AND sql IS NOT NULL ORDER BY type = 'index', rowid",
                    context);
            q.bind(1, table);
            while (q.next())
                made << q.text(0);
        }
        if (made.isEmpty())
            continue; // the template has none: the file has none either
        execute(db, made.first().toUtf8().constData(), context);
        const int columns = int(columnsOf(raw, table, context).size());
        QStringList marks;
        for (int i = 1; i <= columns; ++i)
            marks << QStringLiteral("?%1").arg(i);
        const QByteArray select = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(quotedName(table)).toUtf8();
        const QByteArray insert = QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                      .arg(quotedName(table), marks.join(QStringLiteral(", ")))
                                      .toUtf8();
        sqlite3_stmt *from = nullptr;
        sqlite3_stmt *into = nullptr;
        int prc = sqlite3_prepare_v2(raw, select.constData(), -1, &from, nullptr);
        if (prc == SQLITE_OK)
            prc = sqlite3_prepare_v2(db, insert.constData(), -1, &into, nullptr);
        int step = SQLITE_DONE;
        while (prc == SQLITE_OK && (step = sqlite3_step(from)) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i)
                sqlite3_bind_value(into, i + 1, sqlite3_column_value(from, i));
            prc = sqlite3_step(into) == SQLITE_DONE ? sqlite3_reset(into) : sqlite3_errcode(db);
        }
        const int fromRc = step == SQLITE_DONE || step == SQLITE_ROW ? SQLITE_OK : step;
        sqlite3_finalize(from);
        sqlite3_finalize(into);
        if (prc != SQLITE_OK)
            throw sqliteError(db, context, prc);
        if (fromRc != SQLITE_OK)
            throw sqliteError(raw, context, fromRc);
        for (const QString &index : made.mid(1))
            execute(db, index.toUtf8().constData(), context);
    }
}

} // namespace ShippedFoods
