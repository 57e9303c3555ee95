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
