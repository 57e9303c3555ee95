// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <sqlite3.h>

// Owns one prepared statement and finalizes it; cannot be copied.
class Statement
{
public:
    Statement() = default;
    explicit Statement(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(Statement &&other) noexcept : m_stmt(other.m_stmt) { other.m_stmt = nullptr; }
    Statement &operator=(Statement &&other) noexcept
    {
        if (this != &other) {
            sqlite3_finalize(m_stmt);
            m_stmt = other.m_stmt;
            other.m_stmt = nullptr;
        }
        return *this;
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// Borrows a statement for one use: on leaving scope it is reset and its bindings
// cleared, so that no read or write lock outlives the call that used it.
class StatementUse
{
public:
    explicit StatementUse(sqlite3_stmt *stmt) : m_stmt(stmt) {}
    ~StatementUse()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    StatementUse(const StatementUse &) = delete;
    StatementUse &operator=(const StatementUse &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }

    void bind(int index, qint64 value) { sqlite3_bind_int64(m_stmt, index, value); }
    void bind(int index, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(m_stmt); }

private:
    sqlite3_stmt *m_stmt;
};

// The name in double quotes, with inner quotes doubled, for use in SQL text.
// Only the program's own table and column names ever pass through here.
inline QString quotedIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
