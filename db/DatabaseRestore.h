// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/WorkProgress.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

class Database;
struct sqlite3;

// A backup made ready to take the place of the data: checked, copied to a scratch file and
// brought there to what this release writes (the source itself is never changed). Everything that
// can refuse a backup happens here, before the user is asked and before anything is copied.
class PreparedRestore
{
public:
    // Runs in one transaction on the scratch copy: the file's layout steps, the food tables.
    using Prepare = std::function<void(sqlite3 *scratch, const QString &context)>;

    // Checks the source (verifyDatabaseFile), copies it and runs `prepare` on the copy. Throws
    // DataError naming what is wrong. `progress` hears the pages of the copy; when it answers
    // false, WorkCancelled is thrown and no scratch file is left.
    PreparedRestore(const QString &sourcePath, const Prepare &prepare, const WorkProgress &progress = {});

    // Puts the prepared content into the database open in `live`, in one transaction under the
    // file's rollback journal: other connections and running programs see the old content or the
    // new, never a mix, and a crash halfway leaves the old content. The file's write lock is taken
    // first and held until the new content is in place; `underLock` runs once it is held (the
    // caller's copy of the current data), so that copy is exactly what is replaced. A file another
    // program holds locked past the wait limit throws DataError (isFileInUse()) before `underLock`
    // runs. The restored file keeps the prepared file's objects and rows (tables first, their rows,
    // then indexes and triggers), its stamp, and no daily backup's mark; the file keeps its name,
    // its place and its open connections. The result is checked with integrity_check: should that
    // ever fail, DataError says so, and the copy taken under the lock is the way back.
    //
    // The rows go in steps of RestoreStepRows, and `progress` hears the rows copied of all; when it
    // answers false the transaction is rolled back, the file is exactly as before (its bytes
    // included), and WorkCancelled is thrown. So does a WorkCancelled of `underLock`.
    void replace(Database &live, const std::function<void()> &underLock = {}, const WorkProgress &progress = {}) const;

    // A step of this many rows takes a few milliseconds, so a box of the user's answers at once.
    static constexpr int RestoreStepRows = 500;

    // The checked and upgraded copy the restore puts in (the benchmark compares other ways of
    // putting it in).
    const QString &scratchPath() const { return m_scratchPath; }

private:
    QString m_sourcePath;
    QTemporaryDir m_folder;
    QString m_scratchPath;
};

// A restore without a copy of the current data: `upgrade` are statements run on the scratch copy.
void restoreDatabase(Database &live, const QString &sourcePath, const QStringList &upgrade = {});
