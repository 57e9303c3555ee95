#pragma once

#include <QString>
#include <memory>

struct sqlite3;
class Connection;
class Recordset;

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
    std::unique_ptr<Recordset> OpenRecordset(const QString &table);

    // Closes the connection; cursors opened through it fail from then on.
    void Close();
    bool isOpen() const { return m_db != nullptr; }

    // For tools and tests that need the raw handle.
    sqlite3 *handle() const { return m_db; }

private:
    friend std::unique_ptr<Database> OpenDatabase(const QString &path);
    friend class Recordset;
    Database(QString path, sqlite3 *db);

    QString m_path;
    // Mirrors the shared connection's handle (null once closed), for isOpen()
    // and handle().
    sqlite3 *m_db = nullptr;
    // Shared with every cursor opened here; Close() and the destructor close it,
    // so a cursor that outlives this object fails cleanly instead of crashing.
    std::shared_ptr<Connection> m_connection;
};

// Opens the database file at `path` (the path alone; nothing is appended or
// removed). Throws DataError when the file is missing, unreadable or no database.
std::unique_ptr<Database> OpenDatabase(const QString &path);
