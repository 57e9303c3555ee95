// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DatabaseCopy.h"

#include "db/DataError.h"
#include "db/FileWrite.h"
#include "db/private/Connection.h"
#include "db/private/SqliteBackup.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "db/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <cerrno>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

DataError failure(const QString &what, const QString &path, sqlite3 *db, int rc)
{
    return sqliteError(db, QStringLiteral("%1“%2”").arg(what, QDir::toNativeSeparators(path)), rc);
}

SqliteHandle open(const QString &path, int flags, const QString &what, int lockWaitMs = DefaultLockWaitMs)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(path).constData(), &db,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle handle(db);
    if (rc != SQLITE_OK)
        throw failure(what, path, db, rc);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, lockWaitMs);
    return handle;
}

// The first column of the statement's first row, or a null string.
QString firstValue(sqlite3 *db, const char *sql, const QString &what, const QString &path)
{
    Query query(db, sql, QStringLiteral("%1“%2”").arg(what, QDir::toNativeSeparators(path)));
    return query.next() ? query.text(0) : QString();
}

void checkIntegrity(sqlite3 *db, const QString &what, const QString &path)
{
    const QString result = firstValue(db, "PRAGMA integrity_check", what, path);
    if (result != QLatin1String("ok"))
        throw DataError(QStringLiteral("%1“%2”：数据库文件已损坏（%3）。")
                            .arg(what, QDir::toNativeSeparators(path), result.left(200)),
                        SQLITE_CORRUPT);
}

// The columns of `table` in `db`, in order; empty when there is no such table.
QStringList columnsOf(sqlite3 *db, const QString &table, const QString &what)
{
    const QByteArray sql = QByteArrayLiteral("PRAGMA table_info(") + quotedIdentifier(table).toUtf8() + ')';
    Query info(db, sql.constData(), what);
    QStringList columns;
    while (info.next())
        columns << info.text(1);
    return columns;
}

} // namespace

void copyDatabaseFile(const QString &sourcePath, const QString &targetPath, qint32 applicationId,
                      int lockWaitMs, const WorkProgress &progress)
{
    const QString what = QStringLiteral("无法备份数据库文件到");
    if (QFileInfo::exists(targetPath) || QFileInfo(targetPath).isSymLink())
        throw DataError(QStringLiteral("%1“%2”：该文件已存在。")
                            .arg(what, QDir::toNativeSeparators(targetPath)),
                        SQLITE_CANTOPEN);
    if (!QFileInfo(sourcePath).isFile())
        throw DataError(QStringLiteral("无法备份数据库文件“%1”：%2。")
                            .arg(QDir::toNativeSeparators(sourcePath),
                                 QFileInfo::exists(sourcePath) ? QStringLiteral("它不是普通文件")
                                                               : QStringLiteral("文件不存在")),
                        SQLITE_CANTOPEN);

    const QFileInfo target(targetPath);
    // A unique name in the target's folder, so the final rename stays on one
    // file system and never exposes a half-written copy under the real name.
    QString temporaryPath;
    {
        QTemporaryFile reserve(target.absolutePath() + QStringLiteral("/.")
                               + target.fileName() + QStringLiteral(".XXXXXX"));
        reserve.setAutoRemove(false);
        errno = 0;
        if (!reserve.open())
            throw DataError(QStringLiteral("%1“%2”：无法在该文件夹中写入（%3）。")
                                .arg(what, QDir::toNativeSeparators(targetPath),
                                     SystemErrorText::of(reserve)),
                            SQLITE_CANTOPEN);
        temporaryPath = reserve.fileName();
    }
    auto removeTemporary = qScopeGuard([&] {
        QFile::remove(temporaryPath);
        QFile::remove(temporaryPath + QStringLiteral("-journal"));
    });

    {
        SqliteHandle source = open(sourcePath, SQLITE_OPEN_READONLY,
                             QStringLiteral("无法读取数据库文件"), lockWaitMs);
        SqliteHandle copy = open(temporaryPath, SQLITE_OPEN_READWRITE, what, lockWaitMs);
        sqlite3_exec(copy.get(), "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);

        if (const auto stopped = backupWholeDatabase(copy.get(), source.get(), lockWaitMs, progress))
            throw failure(what, targetPath, copy.get(), *stopped);
        if (applicationId != 0) {
            const QByteArray mark = QByteArrayLiteral("PRAGMA application_id = ") + QByteArray::number(applicationId);
            const int rc = sqlite3_exec(copy.get(), mark.constData(), nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK)
                throw failure(what, targetPath, copy.get(), rc);
        }
        checkIntegrity(copy.get(), what, targetPath);
    }

    QFile written(temporaryPath);
    errno = 0;
    if (!written.open(QIODevice::ReadWrite) || !written.flush()) {
        throw DataError(QStringLiteral("%1“%2”：%3。")
                            .arg(what, QDir::toNativeSeparators(targetPath), SystemErrorText::of(written)),
                        SQLITE_IOERR);
    }
#if defined(Q_OS_UNIX)
    ::fsync(written.handle());
#endif
    written.close();

    // QFile::rename never replaces an existing file.
    if (!QFile::rename(temporaryPath, targetPath))
        throw DataError(QStringLiteral("%1“%2”：无法把临时文件改成这个名字（可能已有同名文件）。")
                            .arg(what, QDir::toNativeSeparators(targetPath)),
                        SQLITE_CANTOPEN);
    removeTemporary.dismiss();
    syncFolder(target.absolutePath());
}

void verifyDatabaseFile(const QString &path)
{
    const QString what = QStringLiteral("“%1”不是可用的数据库文件")
                             .arg(QDir::toNativeSeparators(path));
    const QFileInfo info(path);
    // A pipe or a device would hold SQLite's reads for ever, or never end.
    if (info.exists() && !info.isFile())
        throw DataError(what + QStringLiteral("：它不是普通文件（是设备、管道或套接字）。"), SQLITE_CANTOPEN);
    if (!info.isFile())
        throw DataError(what + QStringLiteral("：文件不存在。"), SQLITE_CANTOPEN);
    if (info.size() == 0)
        throw DataError(what + QStringLiteral("：文件是空的。"), SQLITE_NOTADB);

    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(sqliteFileName(path).constData(), &raw,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw DataError(what + QStringLiteral("：%1。").arg(describeSqliteCode(rc)), rc);
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, DefaultLockWaitMs);

    // Only the cause is shown: SQLite's own text adds nothing a user could act on here.
    const auto run = [&](auto &&step) {
        try {
            return step();
        } catch (const DataError &error) {
            throw DataError(what + QStringLiteral("：%1。").arg(describeSqliteCode(error.code())),
                            error.code());
        }
    };

    const bool intact = run([&] {
        Query integrity(raw, "PRAGMA integrity_check", what);
        return integrity.next() && integrity.text(0) == QLatin1String("ok");
    });
    if (!intact)
        throw DataError(what + QStringLiteral("：数据库文件已损坏。"), SQLITE_CORRUPT);

    for (const QString &table : Schema::tableNames() + Schema::optionalTables()) {
        // A view in a table's place would run its own query where the program reads its rows.
        const bool view = run([&] {
            Query views(raw, "SELECT 1 FROM sqlite_schema WHERE type = 'view' AND name = ?1 COLLATE NOCASE", what);
            views.bind(1, table);
            return views.next();
        });
        if (view)
            throw DataError(what + QStringLiteral("：“%1”是视图而不是表，不是本程序的数据文件。").arg(table),
                            SQLITE_NOTADB);
        if (!Schema::tableNames().contains(table))
            continue;
        const bool present = run([&] { return hasTable(raw, table, what); });
        if (!present)
            throw DataError(what + QStringLiteral("：缺少表“%1”，不是本程序的数据文件。").arg(table),
                            SQLITE_NOTADB);
    }
    db.reset();

    QStringList statements;
    for (const QString &table : Schema::tableNames() + Schema::optionalTables())
        statements << Schema::createStatement(table);
    verifyTablesFit(path, statements);
}

std::optional<qint32> applicationIdOf(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The header: "SQLite format 3\0" at 0, the application_id big-endian at 68.
    const QByteArray header = file.read(72);
    if (header.size() < 72 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return std::nullopt;
    const auto byte = [&](int i) { return quint32(quint8(header.at(i))); };
    return qint32((byte(68) << 24) | (byte(69) << 16) | (byte(70) << 8) | byte(71));
}

void verifyTablesFit(const QString &path, const QStringList &createStatements)
{
    const QString what = QStringLiteral("“%1”不是可用的数据库文件").arg(QDir::toNativeSeparators(path));
    // What the statements make, made in memory and read back the way the file is read.
    sqlite3 *rawScratch = nullptr;
    sqlite3_open_v2(":memory:", &rawScratch, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle scratch(rawScratch);
    sqlite3 *rawFile = nullptr;
    const int rc = sqlite3_open_v2(sqliteFileName(path).constData(), &rawFile,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle file(rawFile);
    if (rc != SQLITE_OK || !rawScratch)
        throw DataError(what + QStringLiteral("：%1。").arg(describeSqliteCode(rc)), rc);
    sqlite3_busy_timeout(rawFile, DefaultLockWaitMs);

    for (const QString &statement : createStatements)
        execute(rawScratch, statement.toUtf8().constData(), what);
    QStringList tables;
    {
        Query made(rawScratch, "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite%' "
                               "ORDER BY rowid", what);
        while (made.next())
            tables << made.text(0);
    }
    for (const QString &table : std::as_const(tables)) {
        // A view under a table's name passes every look at its columns and then takes no
        // writes, or passes them somewhere else through its triggers.
        {
            Query kind(rawFile, "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE AND type <> 'table'", what);
            kind.bind(1, table);
            if (kind.next())
                throw DataError(what + QStringLiteral("：“%1”不是表而是%2，不是本程序能用的数据文件。")
                                           .arg(table, kind.text(0) == QLatin1String("view") ? QStringLiteral("视图")
                                                                                              : kind.text(0)),
                                SQLITE_NOTADB);
        }
        const QStringList present = columnsOf(rawFile, table, what);
        if (present.isEmpty())
            continue; // the table is not there: whether it must be is the caller's to say
        for (const QString &column : columnsOf(rawScratch, table, what)) {
            if (!present.contains(column, Qt::CaseInsensitive))
                throw DataError(what + QStringLiteral("：表“%1”缺少列“%2”，不是本程序能用的数据文件。")
                                           .arg(table, column),
                                SQLITE_NOTADB);
        }
    }
}
