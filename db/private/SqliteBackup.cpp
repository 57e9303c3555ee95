// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/private/SqliteBackup.h"

#include <QDeadlineTimer>
#include <QThread>

std::optional<int> backupWholeDatabase(sqlite3 *target, sqlite3 *source, int lockWaitMs)
{
    sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        return sqlite3_errcode(target);
    int rc = SQLITE_OK;
    // A step may already have waited in a connection's busy handler; the steps together wait
    // no longer than one such wait, so the user hears once, after one wait, that the file is in
    // use.
    const QDeadlineTimer deadline(lockWaitMs);
    for (;;) {
        rc = sqlite3_backup_step(backup, -1);
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || deadline.hasExpired())
            break;
        QThread::msleep(50);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return rc == SQLITE_OK ? finished : rc;
    if (finished != SQLITE_OK)
        return finished;
    return std::nullopt;
}
