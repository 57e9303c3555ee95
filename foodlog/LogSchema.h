// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
struct LayoutStep;

// The food log's tables in the user's file (entries, weights, profile, exercise, the user's own
// activities, own foods and recipes) and the one upgrade that adds them. Every store of the log reads and writes through
// one of these: a reader asks hasTable() and reads a missing table as empty, so reading never
// changes the file; a writer calls ensureTables() first.
//
// The log's tables come with the numbered steps of the file's layout (layoutSteps(), composed with
// the others in DataLayout). ensureTables() runs the one upgrade (FileUpgrade) when the file's
// stamp is older: the write lock, a checked copy of the file beside it
// (data.mdb.bak-YYYYMMDD-HHMMSS), then the steps it lacks in one transaction.
class LogSchema
{
public:
    // `clock` names the backup of an upgrade.
    explicit LogSchema(Database &db, Clock clock = Clock());

    Database &database() const { return m_db; }
    const Clock &clock() const { return m_clock; }

    // True when the file's stamp is the current layout's (one small read).
    bool isUpToDate() const;
    // Adds whatever is missing, after a backup copy. A read-only, locked or full file throws a
    // DataError and is left exactly as it was. Returns the backup's path, or an empty string when
    // nothing had to be done.
    QString ensureTables();
    // Whether the file has this table now. Looked up again only when the file's schema changed
    // (an upgrade, another program) or after forgetTables(), not at every read.
    bool hasTable(const char *name) const;
    // The file was replaced under the connection (a restore): its tables are looked up afresh.
    void forgetTables() { m_schemaVersion.reset(); }

    // The backup name for a copy taken at `when`: "<file>.bak-YYYYMMDD-HHMMSS".
    static QString backupPath(const QString &databasePath, const QDateTime &when);
    // The log's steps of the file's layout, from 2 (the tables of 1.1) on.
    static const QList<LayoutStep> &layoutSteps();
    // Their statements in order: the first four are the tables and index of 1.1, the next six
    // its range triggers (1.2), then exercise, the user's own activities, own foods and
    // recipes, each entry's nutrients, the waist, and fibre and sodium.
    static QStringList createStatements();
    // The names of everything the statements make.
    static const QStringList &layoutObjects();

private:
    Database &m_db;
    Clock m_clock;
    mutable std::optional<qint64> m_schemaVersion;
    mutable QHash<QString, bool> m_tables;
};
