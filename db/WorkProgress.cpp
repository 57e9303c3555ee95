// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/WorkProgress.h"

#include <sqlite3.h>

WorkCancelled::WorkCancelled() : DataError(QStringLiteral("已取消。"), SQLITE_INTERRUPT)
{
}

void reportProgress(const WorkProgress &progress, qint64 done, qint64 total)
{
    if (progress && !progress(done, total))
        throw WorkCancelled();
}
