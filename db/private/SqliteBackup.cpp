// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/private/SqliteBackup.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QThread>

std::optional<int> backupWholeDatabase(sqlite3 *target, sqlite3 *source, int lockWaitMs, const WorkProgress &progress)
{
    sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        return sqlite3_errcode(target);
    auto finish = qScopeGuard([backup] { sqlite3_backup_finish(backup); });
    // Between steps the backup would let go of its read lock, and a write of another program
    // then would start the copy over. The read transaction keeps one state of the file for the
    // whole copy; the first step's read takes its lock.
    const bool reading = sqlite3_get_autocommit(source)
        && sqlite3_exec(source, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
    const auto endRead = qScopeGuard([source, reading] {
        if (reading)
            sqlite3_exec(source, "COMMIT", nullptr, nullptr, nullptr);
    });
    int rc = SQLITE_OK;
    // A step may already have waited in a connection's busy handler; the waits while no step
    // gets through take no longer than one such wait, so the user hears once, after one wait,
    // that the file is in use.
    QDeadlineTimer deadline(lockWaitMs);
    for (;;) {
        rc = sqlite3_backup_step(backup, BackupStepPages);
        if (rc == SQLITE_OK || rc == SQLITE_DONE) {
            const int total = sqlite3_backup_pagecount(backup);
            reportProgress(progress, total - sqlite3_backup_remaining(backup), total);
            if (rc == SQLITE_DONE)
                break;
            deadline.setRemainingTime(lockWaitMs);
            continue;
        }
        if ((rc != SQLITE_BUSY && rc != SQLITE_LOCKED) || deadline.hasExpired())
            break;
        QThread::msleep(50);
    }
    finish.dismiss();
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        return rc == SQLITE_OK ? finished : rc;
    if (finished != SQLITE_OK)
        return finished;
    return std::nullopt;
}
