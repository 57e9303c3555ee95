// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Fixture databases for tests: a data.mdb with the program's tables in a fresh
// temporary folder, plus the means to fill it with exact values (NULLs too),
// read it back, break it (drop or reshape a table, make it read-only, hold its
// write lock, let it not grow) or lay garbage files beside it.
//
//   TempDatabase db;                                  // dir()/data.mdb, all tables, no rows
//   db.insert("sp", {{"Name", "标题"}, {"demo", QVariant()}});   // demo is NULL
//   db.insertRows("02", {"category"}, {{"谷薯"}, {"蔬菜"}});
//   db.exec("DROP TABLE yd; CREATE TABLE yd(id INTEGER PRIMARY KEY, Title TEXT)");
//   db.queryRows("SELECT Name, demo FROM sp ORDER BY id");   // every row, NULL as invalid
//   db.dropTable("yd");
//   db.makeReadOnly();                               // false: could not protect it
//   db.makeFolderReadOnly();                         // the file stays writable, its folder not
//   auto lock = db.holdWriteLock();                  // another writer, until reset
//   auto lock = db.holdExclusiveLock();              // readers shut out too, until reset
//   TempDatabase::stopGrowth(handle);                // that connection meets a full disk
//
// A QVariant value is stored by its type: an invalid QVariant as NULL, integers
// as INTEGER, double as REAL, QByteArray as BLOB, everything else as TEXT.

#include "db/Schema.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <sqlite3.h>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

class TempDatabase
{
public:
    using Values = QList<QPair<QString, QVariant>>;

private:
    // A short-lived raw connection that throws on any failure; or, borrowed,
    // the same calls on a connection someone else opened and closes.
    struct Connection
    {
        sqlite3 *db = nullptr;
        bool owned = true;
        Connection(const QString &path, int flags)
        {
            if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK)
                fail("open " + path.toStdString());
            sqlite3_busy_timeout(db, 5000);
        }
        explicit Connection(sqlite3 *borrowed) : db(borrowed), owned(false) {}
        ~Connection()
        {
            if (owned)
                sqlite3_close_v2(db);
        }
        Connection(const Connection &) = delete;
        Connection &operator=(const Connection &) = delete;
        [[noreturn]] void fail(const std::string &what) const
        {
            throw std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "no handle"));
        }
        void exec(const QByteArray &sql) const
        {
            if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                fail(sql.toStdString());
        }
        sqlite3_stmt *prepare(const QByteArray &sql) const
        {
            sqlite3_stmt *stmt = nullptr;
            if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
                fail(sql.toStdString());
            return stmt;
        }
        // Every row of a query, each value as stored (NULL as an invalid QVariant).
        QList<QVariantList> rows(const QByteArray &sql) const
        {
            sqlite3_stmt *stmt = prepare(sql);
            QList<QVariantList> result;
            int rc;
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                QVariantList row;
                for (int i = 0; i < sqlite3_column_count(stmt); ++i)
                    row.append(column(stmt, i));
                result.append(row);
            }
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE)
                fail(sql.toStdString());
            return result;
        }
        static QVariant column(sqlite3_stmt *stmt, int index)
        {
            switch (sqlite3_column_type(stmt, index)) {
            case SQLITE_INTEGER:
                return qint64(sqlite3_column_int64(stmt, index));
            case SQLITE_FLOAT:
                return sqlite3_column_double(stmt, index);
            case SQLITE_NULL:
                return QVariant();
            default:
                return QString::fromUtf8(static_cast<const char *>(sqlite3_column_blob(stmt, index)),
                                         sqlite3_column_bytes(stmt, index));
            }
        }
        void insert(const QString &table, const Values &values) const
        {
            QStringList names, marks;
            for (const auto &value : values) {
                names << QLatin1Char('"') + value.first + QLatin1Char('"');
                marks << QStringLiteral("?");
            }
            const QString sql = values.isEmpty()
                ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(table)
                : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(table, names.join(u','), marks.join(u','));
            sqlite3_stmt *stmt = prepare(sql.toUtf8());
            for (int i = 0; i < values.size(); ++i)
                bind(stmt, i + 1, values.at(i).second);
            const int rc = sqlite3_step(stmt);
            sqlite3_finalize(stmt);
            if (rc != SQLITE_DONE)
                fail(sql.toStdString());
        }
        static void bind(sqlite3_stmt *stmt, int index, const QVariant &value)
        {
            switch (value.typeId()) {
            case QMetaType::UnknownType:
                sqlite3_bind_null(stmt, index);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                sqlite3_bind_int64(stmt, index, value.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(stmt, index, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                sqlite3_bind_blob(stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray utf8 = value.toString().toUtf8();
                sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
    };

public:
    enum class Content { ProgramTables, NoTables };

    explicit TempDatabase(Content content = Content::ProgramTables,
                          const QString &fileName = QStringLiteral("data.mdb"))
    {
        if (!m_dir.isValid())
            throw std::runtime_error("cannot make a temporary folder");
        m_path = m_dir.filePath(fileName);
        if (content == Content::ProgramTables) {
            createDatabaseFile(m_path);
        } else {
            Connection c(m_path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            c.exec("PRAGMA user_version = 0; CREATE TABLE scratch(x); DROP TABLE scratch;");
        }
    }

    TempDatabase(const TempDatabase &) = delete;
    TempDatabase &operator=(const TempDatabase &) = delete;

    ~TempDatabase()
    {
        if (m_folderImmutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_dir.path()});
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        // Let the folder be removed even when a test made things read-only.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ExeOwner);
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    const QString &path() const { return m_path; }
    QString dir() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Runs SQL (one or more statements) on the file through a connection of its own.
    void exec(const QString &sql) const
    {
        Connection c(m_path, SQLITE_OPEN_READWRITE);
        c.exec(sql.toUtf8());
    }

    // Adds one row; returns its id.
    qint64 insert(const QString &table, const Values &values) const
    {
        Connection c(m_path, SQLITE_OPEN_READWRITE);
        c.insert(table, values);
        return sqlite3_last_insert_rowid(c.db);
    }

    // Adds rows in order, one transaction for all of them.
    void insertRows(const QString &table, const QStringList &columns,
                    const QList<QVariantList> &rows) const
    {
        Connection c(m_path, SQLITE_OPEN_READWRITE);
        c.exec("BEGIN");
        for (const QVariantList &row : rows) {
            Values values;
            for (int i = 0; i < columns.size(); ++i)
                values.append({columns.at(i), row.value(i)});
            c.insert(table, values);
        }
        c.exec("COMMIT");
    }

    // A single value read straight from the file (NULL gives an invalid QVariant).
    QVariant query(const QString &sql) const
    {
        Connection c(m_path, SQLITE_OPEN_READONLY);
        sqlite3_stmt *stmt = c.prepare(sql.toUtf8());
        const QVariant result = sqlite3_step(stmt) == SQLITE_ROW ? Connection::column(stmt, 0) : QVariant();
        sqlite3_finalize(stmt);
        return result;
    }

    // Every row a query gives, read straight from the file; each value as in query().
    QList<QVariantList> queryRows(const QString &sql) const
    {
        Connection c(m_path, SQLITE_OPEN_READONLY);
        return c.rows(sql.toUtf8());
    }

    int rowCount(const QString &table) const
    {
        return query(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
    }

    void dropTable(const QString &table) const
    {
        exec(QStringLiteral("DROP TABLE \"%1\"").arg(table));
    }

    // Write-protects the file (and its folder, so no journal can be made
    // there). Permissions do not stop root, so then (Linux) the file is also
    // marked immutable when the file system allows it. Returns false if the
    // file is still writable.
    bool makeReadOnly()
    {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (isWritable())
            m_immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path}) == 0;
        return !isWritable();
    }

    // Write-protects the folder only: the file stays writable, but no journal
    // can be made beside it. As for makeReadOnly(), root needs the folder
    // marked immutable. Returns false if files can still be made there.
    bool makeFolderReadOnly()
    {
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (folderIsWritable())
            m_folderImmutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), m_dir.path()}) == 0;
        return !folderIsWritable();
    }

    // Another writer in the middle of a write: holds the file's write lock from a
    // connection of its own until destroyed (readers still get through). The
    // exclusive lock, as while another program commits, shuts readers out too.
    class WriteLock
    {
    public:
        explicit WriteLock(const QString &path, const char *begin = "BEGIN IMMEDIATE")
            : m_connection(path, SQLITE_OPEN_READWRITE)
        {
            m_connection.exec(begin);
        }
        ~WriteLock() { sqlite3_exec(m_connection.db, "ROLLBACK", nullptr, nullptr, nullptr); }

    private:
        Connection m_connection;
    };

    std::unique_ptr<WriteLock> holdWriteLock() const { return std::make_unique<WriteLock>(m_path); }
    std::unique_ptr<WriteLock> holdExclusiveLock() const
    {
        return std::make_unique<WriteLock>(m_path, "BEGIN EXCLUSIVE");
    }

    // Another program that holds the exclusive lock for a while, from a thread
    // of its own, while the test's thread waits for it: takes the lock at
    // once, runs `whileHeld` on its thread after `lookAfterMs`, then lets go.
    class PassingLock
    {
    public:
        PassingLock(const QString &path, int lookAfterMs, std::function<void()> whileHeld)
        {
            std::promise<void> taken;
            std::future<void> isTaken = taken.get_future();
            m_thread = std::thread([path, lookAfterMs, whileHeld = std::move(whileHeld),
                                    taken = std::move(taken)]() mutable {
                try {
                    WriteLock lock(path, "BEGIN EXCLUSIVE");
                    taken.set_value();
                    std::this_thread::sleep_for(std::chrono::milliseconds(lookAfterMs));
                    whileHeld();
                } catch (...) {
                    try {
                        taken.set_exception(std::current_exception());
                    } catch (const std::future_error &) { // taken already
                    }
                }
            });
            try {
                isTaken.get();
            } catch (...) {
                m_thread.join();
                throw;
            }
        }
        ~PassingLock() { m_thread.join(); }
        PassingLock(const PassingLock &) = delete;
        PassingLock &operator=(const PassingLock &) = delete;

    private:
        std::thread m_thread;
    };

    // Faults set on a connection the program holds: these settings belong to
    // one connection, not to the file, so they are made where the program writes.

    // The connection may not grow the file by a single page: a full disk.
    static void stopGrowth(sqlite3 *connection)
    {
        Connection c(connection);
        const QList<QVariantList> pages = c.rows("PRAGMA page_count");
        c.exec("PRAGMA max_page_count = " + QByteArray::number(pages.value(0).value(0).toLongLong()));
    }

    // Undoes stopGrowth(): room again, as after space was freed.
    static void allowGrowth(sqlite3 *connection)
    {
        Connection(connection).exec("PRAGMA max_page_count = 1073741823");
    }

    // The connection refuses every write, for where makeReadOnly() cannot
    // protect the file itself.
    static void refuseWrites(sqlite3 *connection)
    {
        Connection(connection).exec("PRAGMA query_only = 1");
    }

    // Writes `bytes` to a file in the temporary folder; returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes) const
    {
        const QString target = m_dir.filePath(name);
        QFile file(target);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + target.toStdString());
        return target;
    }

    // A file that is no database: text, then a run of varied bytes.
    QString writeGarbageFile(const QString &name = QStringLiteral("garbage.mdb")) const
    {
        QByteArray bytes("this is not a database file\n");
        for (int i = 0; i < 4096; ++i)
            bytes.append(char((i * 131 + 7) & 0xff));
        return writeFile(name, bytes);
    }

private:
    bool isWritable() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadWrite); // opens without changing anything
    }

    bool folderIsWritable() const
    {
        QFile probe(m_dir.filePath(QStringLiteral("probe.tmp")));
        if (!probe.open(QIODevice::WriteOnly))
            return false;
        probe.remove();
        return true;
    }

    QTemporaryDir m_dir;
    QString m_path;
    bool m_immutable = false;
    bool m_folderImmutable = false;
};
