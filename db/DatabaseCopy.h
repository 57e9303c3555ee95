// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Database.h"
#include "db/WorkProgress.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// Safe whole-file copies of a database: for backups before an upgrade, daily
// backups and restores. A copy is taken with SQLite's online backup API, so it
// is consistent even while another connection or program is using the file.

// Copies the database at `sourcePath` to `targetPath`: writes under a
// temporary name in the target's folder, checks the copy with integrity_check,
// syncs it, then renames it into place. Never replaces an existing target.
// Throws DataError naming the file and the cause; nothing is left at the
// target (nor any temporary file) then.
// A non-zero `applicationId` is written into the copy's header (SQLite's application_id), so that
// the program can later tell a copy it made from one a user put beside it. While another program
// holds either file locked, the copy waits up to `lockWaitMs` in all, then fails saying the file
// is in use. `progress` hears the pages copied; when it answers false the copy stops, nothing is
// left at the target, and WorkCancelled is thrown.
void copyDatabaseFile(const QString &sourcePath, const QString &targetPath, qint32 applicationId = 0,
                      int lockWaitMs = DefaultLockWaitMs, const WorkProgress &progress = {});

// The application_id in the header of the SQLite file at `path`, read from its bytes without
// opening it as a database; nothing when it is no SQLite file (or a link, or unreadable).
std::optional<qint32> applicationIdOf(const QString &path);

// Opens the file read-only and checks that it is a sound database of this
// program: an SQLite file, passing integrity_check, holding every table the
// program opens. Never changes the file. Throws DataError naming what is wrong.
void verifyDatabaseFile(const QString &path);

// Checks that every table of `createStatements` that the file at `path` has holds at least the
// columns the statement makes (tables it lacks are not looked for here). Throws DataError
// "“<file>”不是可用的数据库文件：表“<t>”缺少列“<c>”…" naming the first that does not fit.
void verifyTablesFit(const QString &path, const QStringList &createStatements);
