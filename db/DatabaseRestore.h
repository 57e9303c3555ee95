// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class Database;

// Puts the content of the database file at `sourcePath` into the database open in `live`,
// through the live connection with SQLite's backup API. The copy is one write transaction under
// the file's rollback journal: other connections and running programs see the old content or
// the new, never a mix, and a crash halfway leaves the old content. The file keeps its name,
// its place and its open connections, so nothing else has to be reopened; cursors opened before
// must be reopened to see the new rows.
//
// `upgrade` are the statements that bring a file of an earlier release to the current layout
// (each may run on a file that needs none of it): they are run on a scratch copy of the source,
// so the restored content arrives upgraded in the same transaction. The restored file is in the
// rollback journal and carries no daily backup's mark.
//
// The source is checked first (verifyDatabaseFile) and never changed. Throws DataError naming
// what is wrong; the live file is unchanged then. The result is checked with integrity_check
// too: should that ever fail, DataError says so, and the copy the caller took before is the way
// back.
void restoreDatabase(Database &live, const QString &sourcePath, const QStringList &upgrade = {});
