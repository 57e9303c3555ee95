// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
std::optional<int> backupWholeDatabase(sqlite3 *target, sqlite3 *source, int lockWaitMs);
