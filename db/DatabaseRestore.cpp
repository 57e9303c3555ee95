// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DatabaseRestore.h"

#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/private/Connection.h"
#include "db/private/SqliteBackup.h"
#include "db/Query.h"

#include <QDir>

namespace {

DataError restoreFailure(const QString &sourcePath, sqlite3 *db, int rc)
{
    return sqliteError(db, QStringLiteral("无法从“%1”恢复数据").arg(QDir::toNativeSeparators(sourcePath)),
                       rc);
}

} // namespace

void restoreDatabase(Database &live, const QString &sourcePath)
{
    verifyDatabaseFile(sourcePath);
    sqlite3 *target = live.openHandle();

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
    // The copy brings the source's journal mode along in the file's header. A backup kept in
    // WAL mode would leave data.mdb in WAL mode for good, its latest writes in a -wal file that a
    // copy of data.mdb alone misses: back to the rollback journal every write here relies on.
    const QString journalContext =
        QStringLiteral("从“%1”恢复后无法改回数据库的日志方式").arg(QDir::toNativeSeparators(sourcePath));
    bool inWal = false;
    {
        Query mode(target, "PRAGMA journal_mode", journalContext);
        inWal = mode.next() && mode.text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    }
    if (inWal)
        Query(target, "PRAGMA journal_mode=DELETE", journalContext).run();
    // A daily backup carries the mark of the copies the rotation may remove (DailyBackup): the
    // data file never does, so that a copy a user makes of it is never taken for one of those.
    Query(target, "PRAGMA application_id = 0", journalContext).run();

    bool intact = false;
    try {
        Query check(target, "PRAGMA integrity_check", QString());
        intact = check.next() && check.text(0) == QLatin1String("ok");
    } catch (const DataError &) {
    }
    if (!intact)
        throw DataError(QStringLiteral("从“%1”恢复后，数据库文件没有通过完整性检查。")
                            .arg(QDir::toNativeSeparators(sourcePath)),
                        SQLITE_CORRUPT);
}
