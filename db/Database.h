// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>

struct sqlite3;
class Connection;
class Database;
class Recordset;

// How a file is opened: read-write (a write-protected file still opens, read-only), or read-only
// whatever the file allows (a file of a newer release, which this one must not change).
// How long a step waits for another program that holds the file locked, unless told otherwise.
inline constexpr int DefaultLockWaitMs = 5000;

enum class OpenMode
{
    ReadWrite,
    ReadOnly,
};

// One open connection to a database file. Closes itself; cannot be copied.
// The file is opened for shared reading and writing; it is never created here.
class Database
{
public:
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &path() const { return m_path; }

    // A cursor over one whole table of the program's fixed set
    // ("01", "02", "sp", "yd", "xd", "rj"). Throws DataError if the name is not
    // one of them, or the file has no such table.
    std::unique_ptr<Recordset> openRecordset(const QString &table);

    // Closes the connection; cursors opened through it fail from then on.
    void close();
    bool isOpen() const { return m_db != nullptr; }

    // For tools and tests that need the raw handle.
    sqlite3 *handle() const { return m_db; }
    // The handle for a statement of the data layer; DataError "数据库连接已关闭。" once closed.
    sqlite3 *openHandle() const;

    // Throws DataError "<context>：数据库文件是只读的。" when the file was opened read-only
    // (write-protected), before anything is tried.
    void requireWritable(const QString &context) const;

    // How long a step waits for another program that holds the file locked
    // before it fails saying the file is in use: DefaultLockWaitMs unless set otherwise.
    void setLockWaitLimit(int milliseconds);
    // How long a cursor moving in a tight loop may go without looking for other programs'
    // commits: 10 ms unless set otherwise; 0 looks at every move (tests, which must not wait).
    void setRecheckInterval(int milliseconds);

private:
    friend std::unique_ptr<Database> openDatabase(const QString &path, OpenMode mode, int lockWaitMs);
    friend class Recordset;
    friend class LockWaitAction;
    Database(QString path, sqlite3 *db);

    QString m_path;
    // Mirrors the shared connection's handle (null once closed), for isOpen()
    // and handle().
    sqlite3 *m_db = nullptr;
    // Shared with every cursor opened here; close() and the destructor close it,
    // so a cursor that outlives this object fails cleanly instead of crashing.
    std::shared_ptr<Connection> m_connection;
};

// One action of the user (a click, a key) on a connection, for as long as
// this lives: its steps together wait for another program's lock at most once,
// up to the connection's limit. Once that wait has run out, the action's
// further steps fail at once instead of each waiting again, so the user hears
// after one wait that the file is in use. `onWait` is called when the action
// begins to wait (the window shows its busy cursor then); it must not throw.
// An action begun while another lives on the same connection joins that one.
class LockWaitAction
{
public:
    LockWaitAction(Database &database, std::function<void()> onWait);
    ~LockWaitAction();
    LockWaitAction(const LockWaitAction &) = delete;
    LockWaitAction &operator=(const LockWaitAction &) = delete;

private:
    std::shared_ptr<Connection> m_connection; // null when joined to another action
};

// Opens the database file at `path` (the path alone; nothing is appended or
// removed). Throws DataError when the file is missing, unreadable or no database.
// Its steps, the open's own included, wait up to `lockWaitMs` for another program's lock.
std::unique_ptr<Database> openDatabase(const QString &path, OpenMode mode = OpenMode::ReadWrite,
                                       int lockWaitMs = DefaultLockWaitMs);
