// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/private/SqliteBackup.h"

#include <QThread>

std::optional<int> backupWholeDatabase(sqlite3 *target, sqlite3 *source)
{
    sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        return sqlite3_errcode(target);
    int rc = SQLITE_OK;
    // The connections' busy handlers do not cover the backup's own locks: wait
    // here, as a connection would.
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
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
