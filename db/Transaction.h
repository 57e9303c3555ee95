// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Database;
struct sqlite3;

// A write transaction begun with BEGIN IMMEDIATE: the write lock is taken at once, so nothing
// changes the file between what the transaction reads and what it writes (readers still get
// through). Rolled back when it goes out of scope without commit(). Throws DataError with
// `context` when it cannot begin or commit.
class Transaction
{
public:
    Transaction(Database &db, QString context);
    Transaction(sqlite3 *db, QString context);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit();

private:
    sqlite3 *m_db;
    QString m_context;
    bool m_open = true;
};

// A read transaction: every read made while it lives sees the file as it was at the first one,
// so figures read together (a day's entries, its total, the chart) agree even while another
// program writes. Ends when it goes out of scope. Inside a transaction already open on the
// connection it does nothing. Throws DataError with `context` when it cannot begin.
class ReadTransaction
{
public:
    ReadTransaction(Database &db, QString context);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    sqlite3 *m_db;
    bool m_open = false;
};
