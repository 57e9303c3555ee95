// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataError.h"
#include "db/Database.h"
#include "db/private/Statement.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <string>

// What a connection and its cursors share: the SQLite handle, the statements
// prepared on it, and what tells a cursor that its read-ahead may be stale.
// Kept in a shared_ptr so that a cursor outliving its Database finds a closed
// connection instead of a dangling one.
class Connection
{
public:
    Connection(QString path, sqlite3 *db);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    const QString &path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // The handle, or DataError "数据库连接已关闭。" once closed.
    sqlite3 *openHandle() const;

    // Finalizes every statement, then closes the handle.
    void close();

    // A statement prepared once and kept for the life of the connection. Use it
    // through a StatementUse so it is reset after each call. Throws DataError
    // with `context` (e.g. "无法读取表“sp”") on failure.
    sqlite3_stmt *cached(const QByteArray &sql, const QString &context);

    // A value that changes whenever rows may have changed since it was last
    // taken. Writes made in this process show at once: through this connection
    // (SQLite's change count and our own write count) or through any other
    // connection of the program (a process-wide write count). Commits by other
    // programs are seen through SQLite's data version, which costs a read
    // transaction (some 15 us here, 30 times the cost of reading one row), so
    // it is asked at most once per recheck interval unless `recheck` says otherwise.
    struct Stamp
    {
        qint64 ownChanges = -1;
        quint64 generation = 0;
        quint64 processWrites = 0;
        qint64 dataVersion = -1;
        bool operator==(const Stamp &o) const
        {
            return ownChanges == o.ownChanges && generation == o.generation
                && processWrites == o.processWrites && dataVersion == o.dataVersion;
        }
        bool operator!=(const Stamp &o) const { return !(*this == o); }
    };
    enum class Recheck {
        Never,      // only what is known without asking SQLite
        IfDue,      // ask SQLite if the recheck interval has passed since it was last asked
        Now,        // ask SQLite now
    };
    // Cheap unless SQLite has to be asked: a cursor takes one on every move and
    // every field it reads.
    Stamp stamp(Recheck recheck)
    {
        if (m_db && m_dataVersion >= 0
            && (recheck == Recheck::Never
                || (recheck == Recheck::IfDue && !m_recheckDue && !recheckIntervalPassed()))) {
            return Stamp{sqlite3_total_changes64(m_db), m_generation,
                         s_writesInProcess.load(std::memory_order_relaxed), m_dataVersion};
        }
        return stampAsking(recheck);
    }

    // How long a cursor moving in a tight loop may go without asking SQLite for other programs'
    // commits (DefaultRecheckMs); 0 asks at every move.
    void setRecheckInterval(int milliseconds) { m_recheckMs = std::max(0, milliseconds); }

    // True when the file's schema can be read and has no table of that name:
    // tells "no such table" apart from other failures of a statement.
    bool lacksTable(const QString &table);

    // Waiting for another program that holds the file locked. A step waits
    // up to the limit set here (5 s) and then fails with SQLITE_BUSY. Within a user
    // action (beginAction .. endAction) the steps share one such wait: once it
    // has run out, the action's further steps fail at once, so one action
    // reports after one wait, not after one wait per step. `onWait` is called
    // when the action begins to wait; it must not throw.
    void setLockWaitLimit(int milliseconds) { m_lockWaitLimitMs = std::max(0, milliseconds); }
    // False (and nothing changes) when an action is going on already.
    bool beginAction(std::function<void()> onWait);
    void endAction();

    // Called after every write made through this connection.
    void noteWrite();

    // "<context>：<cause>。（<SQLite's text>）" for the connection's last error.
    DataError error(const QString &context, int rc) const;
    // The same for a failed write (describeWriteFailure).
    DataError writeError(const QString &context, int rc) const;

private:
    Stamp stampAsking(Recheck recheck);
    DataError errorWithCause(const QString &context, const QString &cause, int rc) const;
    // SQLite's busy handler: true to try again after a short sleep.
    static int busyHandler(void *connection, int attempts);
    bool waitForLock(int attempts);
    // How long a commit by another program may go unseen by a cursor that is
    // moving in a tight loop. A user action asks SQLite at its first look
    // (m_recheckDue), however soon it follows the last.
    static constexpr int DefaultRecheckMs = 10;
    bool recheckIntervalPassed() const { return m_recheckMs == 0 || m_sinceVersionCheck.hasExpired(m_recheckMs); }
    // Writes committed through any connection of this process. Lets a cursor
    // on one connection see at once what the program wrote through another.
    static inline std::atomic<quint64> s_writesInProcess{0};

    QString m_path;
    sqlite3 *m_db;
    quint64 m_generation = 0;
    qint64 m_dataVersion = -1;
    QElapsedTimer m_sinceVersionCheck; // started when SQLite was last asked
    bool m_recheckDue = false; // set when an action begins: its first look asks SQLite
    int m_recheckMs = DefaultRecheckMs;
    int m_lockWaitLimitMs = DefaultLockWaitMs;
    QDeadlineTimer m_lockWaitEnds; // of the wait going on, or of the action's one wait
    bool m_inAction = false;
    bool m_actionWaited = false;
    std::function<void()> m_onActionWait;
    std::map<std::string, Statement> m_statements;
};

// A file path as SQLite's file layer takes it.
QByteArray sqliteFileName(const QString &path);

// "<context>：<cause>。（<SQLite's text>）" for a failure with code `rc` on `db` (which may be
// null): every error message built from an SQLite code is made here.
DataError sqliteError(sqlite3 *db, const QString &context, int rc);
DataError sqliteError(sqlite3 *db, const QString &context, const QString &cause, int rc);

// A short Chinese description of an SQLite result code ("数据库文件是只读的").
QString describeSqliteCode(int rc);

// The same for a write that failed: a write opens one file of its own, the
// journal beside the database, so "cannot open" there means the folder does
// not let it be made.
QString describeWriteFailure(int rc);
