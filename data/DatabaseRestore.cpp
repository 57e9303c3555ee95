// SPDX-License-Identifier: GPL-3.0-or-later
#include "DatabaseRestore.h"

#include "Connection.h"
#include "DataError.h"
#include "Database.h"
#include "DatabaseCopy.h"
#include "SqliteBackup.h"
#include "Statement.h"

#include <QDir>

namespace {

DataError restoreFailure(const QString &sourcePath, sqlite3 *db, int rc)
{
    QString message = QStringLiteral("无法从“%1”恢复数据：%2。")
                          .arg(QDir::toNativeSeparators(sourcePath), describeSqliteCode(rc));
    const char *text = db ? sqlite3_errmsg(db) : nullptr;
    if (text && *text)
        message += QStringLiteral("（%1）").arg(QString::fromUtf8(text));
    return DataError(message, rc);
}

} // namespace

void restoreDatabase(Database &live, const QString &sourcePath)
{
    verifyDatabaseFile(sourcePath);
    sqlite3 *target = live.handle();
    if (!target)
        throw DataError(QStringLiteral("数据库连接已关闭。"));

    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(sqliteFileName(sourcePath).constData(), &raw,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle source(raw);
    if (rc != SQLITE_OK)
        throw restoreFailure(sourcePath, raw, rc);
    sqlite3_busy_timeout(raw, 5000);

    // Other readers and writers of the live file are waited for, as a connection would.
    if (const auto stopped = backupWholeDatabase(target, raw))
        throw restoreFailure(sourcePath, target, *stopped);

    sqlite3_stmt *check = nullptr;
    rc = sqlite3_prepare_v2(target, "PRAGMA integrity_check", -1, &check, nullptr);
    Statement owned(check);
    if (rc != SQLITE_OK || sqlite3_step(check) != SQLITE_ROW
        || QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)))
               != QLatin1String("ok"))
        throw DataError(QStringLiteral("从“%1”恢复后，数据库文件没有通过完整性检查。")
                            .arg(QDir::toNativeSeparators(sourcePath)),
                        SQLITE_CORRUPT);
}
