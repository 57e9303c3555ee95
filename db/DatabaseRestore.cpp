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
#include <QTemporaryDir>

namespace {

DataError restoreFailure(const QString &sourcePath, sqlite3 *db, int rc)
{
    return sqliteError(db, QStringLiteral("无法从“%1”恢复数据").arg(QDir::toNativeSeparators(sourcePath)),
                       rc);
}

} // namespace

void restoreDatabase(Database &live, const QString &sourcePath, const QStringList &upgrade)
{
    verifyDatabaseFile(sourcePath);
    sqlite3 *target = live.openHandle();
    const QString shownSource = QDir::toNativeSeparators(sourcePath);

    // The source is brought to what the program writes on a scratch copy (the source itself is
    // never changed), then copied over the live file in one step: the file goes from the old
    // content to the restored and upgraded one in a single transaction.
    QTemporaryDir scratchFolder;
    if (!scratchFolder.isValid())
        throw DataError(QStringLiteral("无法从“%1”恢复数据：无法建立临时文件夹（%2）。")
                            .arg(shownSource, scratchFolder.errorString()),
                        SQLITE_CANTOPEN);
    const QString scratchPath = scratchFolder.filePath(QStringLiteral("restore.mdb"));
    try {
        copyDatabaseFile(sourcePath, scratchPath);
    } catch (const DataError &error) {
        throw DataError(QStringLiteral("无法从“%1”恢复数据：").arg(shownSource) + error.message(), error.code());
    }
    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(sqliteFileName(scratchPath).constData(), &raw,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle scratch(raw);
    if (rc != SQLITE_OK)
        throw restoreFailure(sourcePath, raw, rc);
    sqlite3_extended_result_codes(raw, 1);

    const QString prepareContext = QStringLiteral("无法从“%1”恢复数据").arg(shownSource);
    // A backup kept in WAL mode would leave data.mdb in WAL mode, its latest writes in a -wal
    // file that a copy of data.mdb alone misses: the rollback journal every write here relies on.
    execute(raw, "PRAGMA journal_mode=DELETE", prepareContext);
    // A daily backup carries the mark of the copies the rotation may remove (DailyBackup): the
    // data file never does, so that a copy a user makes of it is never taken for one of those.
    execute(raw, "PRAGMA application_id = 0", prepareContext);
    {
        Transaction transaction(raw, prepareContext);
        for (const QString &statement : upgrade)
            execute(raw, statement.toUtf8().constData(), prepareContext);
        transaction.commit();
    }

    // Other readers and writers of the live file are waited for, as a connection would.
    if (const auto stopped = backupWholeDatabase(target, raw))
        throw restoreFailure(sourcePath, target, *stopped);

    bool intact = false;
    try {
        Query check(target, "PRAGMA integrity_check", QString());
        intact = check.next() && check.text(0) == QLatin1String("ok");
    } catch (const DataError &) {
    }
    if (!intact)
        throw DataError(QStringLiteral("从“%1”恢复后，数据库文件没有通过完整性检查。").arg(shownSource),
                        SQLITE_CORRUPT);
}
