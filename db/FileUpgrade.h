// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"

#include <QDateTime>
#include <QString>
#include <functional>

class Database;
class FileLayout;
struct sqlite3;

// The one upgrade of the data file in place: brings the file open in `db` to `layout` and, when
// asked, runs more in the same transaction (the shipped food tables' refresh). The first start,
// the log's first write and an import all come here; a restore brings its scratch copy up to date
// with the same FileLayout.
//
// It takes the write lock, saves a verified copy beside the file (<file>.bak-YYYYMMDD-HHMMSS,
// marked in its header with the layout it holds), then runs everything in one transaction. Of
// the copies made before an upgrade from one layout only the newest is kept, so upgrades that
// fail again and again do not pile copies up. A read-only, locked, full or newer file throws a
// DataError and is left exactly as it was.
class FileUpgrade
{
public:
    // Runs inside the upgrade's transaction, before the layout's steps (so that a step filling
    // earlier rows from the food tables reads the refreshed ones).
    using More = std::function<void(sqlite3 *db, const QString &context)>;

    FileUpgrade(Database &db, const FileLayout &layout, Clock clock = Clock());

    // The file's stamp, one small read (PRAGMA user_version).
    int stamp(const QString &context) const;
    // True when the file is at the layout (a newer one is not: run() refuses it).
    bool isUpToDate(const QString &context) const;

    // Upgrades when the layout is due or `more` is given. Returns the copy's path, or an empty
    // text when another program had done it meanwhile and nothing was left to do.
    QString run(const QString &context, const More &more = {});

    // The mark an upgrade copy of a file at layout `stamp` carries (SQLite's application_id).
    static qint32 copyMark(int stamp) { return UpgradeCopyMark | (stamp & 0xff); }
    // The copy's name for a copy taken at `when`: "<file>.bak-YYYYMMDD-HHMMSS".
    static QString backupPath(const QString &databasePath, const QDateTime &when);

private:
    static constexpr qint32 UpgradeCopyMark = 0x50455500; // "PEU" and the layout

    Database &m_db;
    const FileLayout &m_layout;
    Clock m_clock;
};
