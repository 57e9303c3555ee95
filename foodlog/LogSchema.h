// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class FileLayout;
struct LayoutStep;

// The food log's tables in the user's file (entries, weights, profile, waist, each entry's
// nutrients) and the one upgrade that adds every core's tables. Every store of the log, exercise
// and own foods reads and writes through one of these: a reader asks hasTable() and reads a
// missing table as empty, so reading never changes the file; a writer calls ensureTables() first.
//
// The log's tables come with its numbered steps of the file's layout (layoutSteps()); the layout
// they are part of, with every other core's steps, is composed above the cores that give them
// (datafile/DataLayout) and handed in. ensureTables() runs the one upgrade (FileUpgrade) when the
// file's stamp is older: the write lock, a checked copy of the file beside it
// (data.mdb.bak-YYYYMMDD-HHMMSS), then the steps it lacks in one transaction.
class LogSchema
{
public:
    // `layout` is the whole file's, every core's steps (DataLayout::layout()); `clock` names the
    // backup of an upgrade.
    LogSchema(Database &db, const FileLayout &layout, Clock clock = Clock());

    Database &database() const { return m_db; }
    const FileLayout &layout() const { return m_layout; }
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

    // The log's own steps of the file's layout: 2, 3, 6, 8 and 9 (with own foods' part of 9).
    static const QList<LayoutStep> &layoutSteps();
    // Their statements in order: the first four are the log's first tables and index, the next six
    // their range triggers, then each entry's nutrients, the waist, and fibre and sodium.
    static QStringList createStatements();

    // A range a trigger holds a table's rows to; every core's tables are held so.
    struct RangeTrigger
    {
        const char *table;
        QString inRange; // an SQL condition on NEW
    };
    // The triggers that abort an insert or update outside the ranges, two a table.
    static QStringList rangeTriggers(const QList<RangeTrigger> &bounds);
    // "NEW.<column> <condition>" for a value stored as a number (text is never one).
    static QString numberIn(const char *column, const QString &condition);
    // "BETWEEN <low> AND <high>".
    static QString between(double low, double high);
    // A stored number over 0 and at most `max` (amounts: grams, minutes).
    static QString positiveUpTo(const char *column, double max);

private:
    Database &m_db;
    const FileLayout &m_layout;
    Clock m_clock;
    mutable std::optional<qint64> m_schemaVersion;
    mutable QHash<QString, bool> m_tables;
};
