// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Query.h"

#include "db/Database.h"
#include "db/DataError.h"
#include "db/private/Connection.h"

#include <sqlite3.h>

Query::Query(Database &db, const char *sql, QString context)
    : Query(db.openHandle(), sql, std::move(context))
{
}

Query::Query(sqlite3 *db, const char *sql, QString context) : m_db(db), m_context(std::move(context))
{
    const int rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw sqliteError(db, m_context, rc);
    }
}

Query::~Query()
{
    sqlite3_finalize(m_stmt);
}

Query &Query::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Query &Query::bind(int index, double value)
{
    sqlite3_bind_double(m_stmt, index, value);
    return *this;
}

Query &Query::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Query &Query::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Query::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE) {
        // A write that cannot make its journal fails "cannot open": the cause is the folder.
        const bool writing = sqlite3_stmt_readonly(m_stmt) == 0;
        throw sqliteError(m_db, m_context, writing ? describeWriteFailure(rc) : describeSqliteCode(rc), rc);
    }
    return false;
}

void Query::run()
{
    while (next()) {
    }
}

void Query::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

qint64 Query::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double Query::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

QString Query::text(int column) const
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column)),
                             sqlite3_column_bytes(m_stmt, column));
}

bool Query::isNull(int column) const
{
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

bool Query::isNumber(int column) const
{
    const int type = sqlite3_column_type(m_stmt, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

qint64 Query::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void execute(Database &db, const char *sql, const QString &context)
{
    execute(db.openHandle(), sql, context);
}

void execute(sqlite3 *db, const char *sql, const QString &context)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw sqliteError(db, context, rc);
}


int Query::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

bool hasTable(Database &db, const QString &table, const QString &context)
{
    return hasTable(db.openHandle(), table, context);
}

bool hasTable(sqlite3 *db, const QString &table, const QString &context, const char *schema)
{
    // The schema is a name of the program's own ("main", "restored"): it cannot be bound.
    const QByteArray sql = QByteArrayLiteral("SELECT 1 FROM \"") + schema
                           + QByteArrayLiteral("\".sqlite_schema WHERE type = 'table' AND name = ?1");
    Query q(db, sql.constData(), context);
    q.bind(1, table);
    return q.next();
}
