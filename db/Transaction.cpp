// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Transaction.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/private/Connection.h"
#include "db/Query.h"

#include <sqlite3.h>

namespace {

sqlite3 *openHandle(Database &db)
{
    sqlite3 *handle = db.handle();
    if (!handle)
        throw DataError(QStringLiteral("数据库连接已关闭。"));
    return handle;
}

} // namespace

Transaction::Transaction(Database &db, QString context) : Transaction(openHandle(db), std::move(context))
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
