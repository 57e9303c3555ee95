// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The food log's tables in the user's file (entries, weights, profile, exercise, the user's own
// activities, own foods and recipes) and the one upgrade that adds them. Every store of the log reads and writes through
// one of these: a reader asks hasTable() and reads a missing table as empty, so reading never
// changes the file; a writer calls ensureTables() first.
//
// ensureTables() takes the write lock, saves a checked copy of the file beside it
// (data.mdb.bak-YYYYMMDD-HHMMSS), then runs every statement in one transaction. The statements
// only add what is missing, so a file of any earlier release, or one restored from elsewhere with
// some of the tables, comes to the current layout in that one step.
class LogSchema
{
public:
    // `clock` names the backup of an upgrade.
    explicit LogSchema(Database &db, Clock clock = Clock());

    Database &database() const { return m_db; }
    const Clock &clock() const { return m_clock; }

    // True when the file has everything the statements make: tables, indexes and range triggers.
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
    // In the order releases added them: the first four are the tables and index of 1.1, the
    // next six its range triggers (1.2), then exercise, the user's own activities, own foods and
    // recipes, each entry's nutrients, and last the waist with its range triggers.
    static QStringList createStatements();
    // The names of everything the statements make.
    static const QStringList &layoutObjects();

private:
    bool isUpToDate(const QString &context) const;
    void fillNutrientsOfEarlierEntries(const QString &context);

    Database &m_db;
    Clock m_clock;
    mutable std::optional<qint64> m_schemaVersion;
    mutable QStringList m_tables;
};
