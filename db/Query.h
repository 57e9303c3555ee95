// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Database;
struct sqlite3;
struct sqlite3_stmt;

// One SQL statement prepared on a connection, finalized when it goes out of scope. Every
// failure throws a DataError that carries SQLite's code, its message built from `context`
// ("无法读取饮食记录"), the cause in Chinese and SQLite's own text.
class Query
{
public:
    Query(Database &db, const char *sql, QString context);
    // On a raw connection of the data layer's own (copies, tools).
    Query(sqlite3 *db, const char *sql, QString context);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    Query &bind(int index, qint64 value);
    Query &bind(int index, int value) { return bind(index, qint64(value)); }
    Query &bind(int index, double value);
    Query &bind(int index, const QString &value);
    Query &bindNull(int index);

    // Steps to the next row: true while there is one.
    bool next();
    // Steps until the statement is done (a write).
    void run();
    // Makes the statement ready to run again, its bindings cleared.
    void reset();

    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;
    // True for an integer or a real; text that looks like a number is not one.
    bool isNumber(int column) const;
    // How many columns a row of the statement has.
    int columnCount() const;

    // The rowid of the last row inserted on the connection.
    qint64 lastInsertId() const;

private:
    sqlite3 *m_db;
    QString m_context;
    sqlite3_stmt *m_stmt = nullptr;
};

// Whether the file has a table of exactly this name (a view or an index of the name is none);
// `schema` names an attached file instead of the main one. Throws DataError.
bool hasTable(Database &db, const QString &table, const QString &context);
bool hasTable(sqlite3 *db, const QString &table, const QString &context, const char *schema = "main");

// Runs SQL that returns no rows (a PRAGMA, a CREATE). Throws DataError.
void execute(Database &db, const char *sql, const QString &context);
void execute(sqlite3 *db, const char *sql, const QString &context);
