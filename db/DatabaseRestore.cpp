// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DatabaseRestore.h"

#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/private/Connection.h"
#include "db/private/SqliteBackup.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QDir>
#include <QScopeGuard>
#include <limits>

namespace {

DataError restoreFailure(const QString &sourcePath, sqlite3 *db, int rc)
{
    return sqliteError(db, QStringLiteral("无法从“%1”恢复数据").arg(QDir::toNativeSeparators(sourcePath)),
                       rc);
}

QString quotedName(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

struct SchemaObject
{
    QString type;
    QString name;
    QString sql;
};

QList<SchemaObject> objectsOf(sqlite3 *db, const char *schema, const QString &context)
{
    QList<SchemaObject> objects;
    // Tables first, in the order they were made, then what is built on them.
    const QByteArray sql = QStringLiteral("SELECT type, name, sql FROM %1.sqlite_schema "
                                          "WHERE name NOT LIKE 'sqlite_%' AND sql IS NOT NULL "
                                          "ORDER BY CASE type WHEN 'table' THEN 0 WHEN 'index' THEN 1 ELSE 2 END, rowid")
                               .arg(QLatin1String(schema))
                               .toUtf8();
    Query q(db, sql.constData(), context);
    while (q.next())
        objects << SchemaObject{q.text(0), q.text(1), q.text(2)};
    return objects;
}

qint64 rowCount(sqlite3 *db, const QString &table, const QString &context)
{
    Query count(db, QStringLiteral("SELECT count(*) FROM restored.%1").arg(quotedName(table)).toUtf8().constData(),
                context);
    return count.next() ? count.integer(0) : 0;
}

// Whether the rows of the restored table can be walked by rowid: not a table WITHOUT ROWID, nor
// one whose own column takes the name.
bool walksByRowid(sqlite3 *db, const QString &table, const QString &context)
{
    Query list(db, "SELECT wr FROM pragma_table_list(?1) WHERE schema = 'restored'", context);
    list.bind(1, table);
    if (!list.next() || list.integer(0) != 0)
        return false;
    Query columns(db, "SELECT 1 FROM pragma_table_info(?1, 'restored') WHERE name = 'rowid' COLLATE NOCASE", context);
    columns.bind(1, table);
    return !columns.next();
}

// Copies the rows of the restored table into main's of that name, in rowid order, RestoreStepRows
// at a time, telling `copied` how many after each step (a table that cannot be walked so goes in
// one).
void copyRows(sqlite3 *db, const QString &table, const QString &context, const std::function<void(qint64)> &copied)
{
    const QString name = quotedName(table);
    if (!walksByRowid(db, table, context)) {
        execute(db, QStringLiteral("INSERT INTO main.%1 SELECT * FROM restored.%1").arg(name).toUtf8().constData(),
                context);
        copied(sqlite3_changes(db));
        return;
    }
    Query step(db,
               QStringLiteral("SELECT count(*), max(rowid) FROM (SELECT rowid FROM restored.%1 WHERE rowid >= ?1 "
                              "ORDER BY rowid LIMIT ?2)")
                   .arg(name)
                   .toUtf8()
                   .constData(),
               context);
    Query insert(db,
                 QStringLiteral("INSERT INTO main.%1 SELECT * FROM restored.%1 WHERE rowid >= ?1 AND rowid <= ?2 "
                                "ORDER BY rowid")
                     .arg(name)
                     .toUtf8()
                     .constData(),
                 context);
    qint64 from = std::numeric_limits<qint64>::min();
    for (;;) {
        step.reset();
        step.bind(1, from).bind(2, qint64(PreparedRestore::RestoreStepRows));
        if (!step.next() || step.integer(0) == 0)
            return;
        const qint64 rows = step.integer(0);
        const qint64 last = step.integer(1);
        insert.reset();
        insert.bind(1, from).bind(2, last).run();
        copied(rows);
        if (last == std::numeric_limits<qint64>::max())
            return;
        from = last + 1;
    }
}

} // namespace

PreparedRestore::PreparedRestore(const QString &sourcePath, const Prepare &prepare, const WorkProgress &progress)
    : m_sourcePath(sourcePath)
{
    verifyDatabaseFile(sourcePath);
    const QString shownSource = QDir::toNativeSeparators(sourcePath);
    if (!m_folder.isValid())
        throw DataError(QStringLiteral("无法从“%1”恢复数据：无法建立临时文件夹（%2）。")
                            .arg(shownSource, m_folder.errorString()),
                        SQLITE_CANTOPEN);
    m_scratchPath = m_folder.filePath(QStringLiteral("restore.mdb"));
    try {
        copyDatabaseFile(sourcePath, m_scratchPath, 0, DefaultLockWaitMs, progress);
    } catch (const WorkCancelled &) {
        throw;
    } catch (const DataError &error) {
        throw DataError(QStringLiteral("无法从“%1”恢复数据：").arg(shownSource) + error.message(), error.code());
    }
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(m_scratchPath).constData(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle scratch(raw);
    if (rc != SQLITE_OK)
        throw restoreFailure(sourcePath, raw, rc);
    sqlite3_extended_result_codes(raw, 1);
    const QString context = QStringLiteral("无法从“%1”恢复数据").arg(shownSource);
    Transaction transaction(raw, context);
    if (prepare)
        prepare(raw, context);
    transaction.commit();
}

void PreparedRestore::replace(Database &live, const std::function<void()> &underLock,
                              const WorkProgress &progress) const
{
    const QString shownSource = QDir::toNativeSeparators(m_sourcePath);
    const QString context = QStringLiteral("无法从“%1”恢复数据").arg(shownSource);
    sqlite3 *target = live.openHandle();
    // Read through an attachment, since a file cannot be attached within a transaction.
    {
        Query attach(target, "ATTACH DATABASE ?1 AS restored", context);
        attach.bind(1, m_scratchPath).run();
    }
    const auto detach = qScopeGuard([target] { sqlite3_exec(target, "DETACH DATABASE restored", nullptr, nullptr, nullptr); });
    {
        // The write lock from here to the commit: nobody writes between the caller's copy and
        // the replacement.
        Transaction transaction(live, context);
        if (underLock)
            underLock();

        const QList<SchemaObject> old = objectsOf(target, "main", context);
        // Dropping a table drops its indexes and triggers: views and triggers of their own first.
        for (const SchemaObject &object : old)
            if (object.type == QLatin1String("view") || object.type == QLatin1String("trigger"))
                execute(target, QStringLiteral("DROP %1 IF EXISTS main.%2").arg(object.type.toUpper(), quotedName(object.name))
                                    .toUtf8().constData(), context);
        for (const SchemaObject &object : old)
            if (object.type == QLatin1String("table"))
                execute(target, QStringLiteral("DROP TABLE IF EXISTS main.%1").arg(quotedName(object.name)).toUtf8().constData(),
                        context);
        if (hasTable(target, QStringLiteral("sqlite_sequence"), context, "main"))
            execute(target, "DELETE FROM main.sqlite_sequence", context);

        QList<SchemaObject> restored = objectsOf(target, "restored", context);
        // A virtual table is no table of ours, and would run a module's code.
        restored.removeIf([](const SchemaObject &object) {
            return object.sql.startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive);
        });
        qint64 total = 0;
        for (const SchemaObject &object : std::as_const(restored))
            if (object.type == QLatin1String("table"))
                total += rowCount(target, object.name, context);
        qint64 done = 0;
        reportProgress(progress, done, total);
        for (const SchemaObject &object : std::as_const(restored)) {
            // The statement names no schema: it makes the object in main, the first one.
            execute(target, object.sql.toUtf8().constData(), context);
            if (object.type == QLatin1String("table"))
                copyRows(target, object.name, context, [&](qint64 copied) {
                    done += copied;
                    reportProgress(progress, done, total);
                });
        }
        // The rows copied counted their own ids up: the backup's counts are the ones to keep.
        if (hasTable(target, QStringLiteral("sqlite_sequence"), context, "main"))
            execute(target, "DELETE FROM main.sqlite_sequence", context);
        if (hasTable(target, QStringLiteral("sqlite_sequence"), context, "restored"))
            execute(target, "INSERT INTO main.sqlite_sequence SELECT * FROM restored.sqlite_sequence", context);
        qint64 version = 0;
        {
            Query stamp(target, "PRAGMA restored.user_version", context);
            version = stamp.next() ? stamp.integer(0) : 0;
        }
        execute(target, QStringLiteral("PRAGMA main.user_version = %1").arg(version).toUtf8().constData(), context);
        // A daily backup carries the mark of the copies the rotation may remove (DailyBackup):
        // the data file never does, so that a copy a user makes of it is never taken for one.
        execute(target, "PRAGMA main.application_id = 0", context);
        transaction.commit();
    }

    bool intact = false;
    try {
        Query check(target, "PRAGMA main.integrity_check", QString());
        intact = check.next() && check.text(0) == QLatin1String("ok");
    } catch (const DataError &) {
    }
    if (!intact)
        throw DataError(QStringLiteral("从“%1”恢复后，数据库文件没有通过完整性检查。").arg(shownSource),
                        SQLITE_CORRUPT);
}

void restoreDatabase(Database &live, const QString &sourcePath, const QStringList &upgrade)
{
    const PreparedRestore prepared(sourcePath, [&upgrade](sqlite3 *scratch, const QString &context) {
        for (const QString &statement : upgrade)
            execute(scratch, statement.toUtf8().constData(), context);
    });
    prepared.replace(live);
}
