// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/WorkProgress.h"

#include <memory>
#include <optional>
#include <sqlite3.h>

// Closes an SQLite connection handle it owns.
struct SqliteHandleCloser
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteHandleCloser>;

// Copies the whole main database of `source` over that of `target` with
// SQLite's online backup, waiting up to `lockWaitMs` in all while either file
// is locked by another connection (a connection's own busy handler included). Returns nothing when the copy is complete,
// otherwise the SQLite code that stopped it (the target's error code when the
// backup could not begin).
//
// The copy goes in steps of BackupStepPages pages, telling `progress` the pages copied of the
// source's; a read transaction on `source` lasts from the first step to the last, so the copy is
// one state of the file, as a single step would take it, and no writer restarts it. When
// `progress` answers false the copy stops and WorkCancelled is thrown; the target is then
// half-written, and the caller removes it.
std::optional<int> backupWholeDatabase(sqlite3 *target, sqlite3 *source, int lockWaitMs,
                                       const WorkProgress &progress = {});

// About 1 MB with the usual 4 KB pages: a step takes a few milliseconds, so a box of the user's
// answers at once.
constexpr int BackupStepPages = 256;
