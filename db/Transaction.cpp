// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Transaction.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/private/Connection.h"
#include "db/Query.h"

#include <sqlite3.h>

Transaction::Transaction(Database &db, QString context) : Transaction(db.openHandle(), std::move(context))
{
}

Transaction::Transaction(sqlite3 *db, QString context) : m_db(db), m_context(std::move(context))
{
    execute(m_db, "BEGIN IMMEDIATE", m_context);
}

Transaction::~Transaction()
{
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    execute(m_db, "COMMIT", m_context);
    m_open = false;
}

ReadTransaction::ReadTransaction(Database &db, QString context) : m_db(db.openHandle())
{
    if (sqlite3_get_autocommit(m_db) == 0)
        return; // part of a transaction already open
    execute(m_db, "BEGIN DEFERRED", context);
    m_open = true;
}

ReadTransaction::~ReadTransaction()
{
    // Nothing was written: ending it either way releases the read lock.
    if (m_open)
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
}
