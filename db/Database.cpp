// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"

#include "db/private/Connection.h"
#include "db/private/RecordsetState.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace {

QString openFailure(const QString &path, const QString &cause)
{
    return QStringLiteral("无法打开数据库文件“%1”：%2。").arg(path, cause);
}

// Reading the schema makes SQLite look at the file's header, so that a file
// that is not a database fails here rather than at the first cursor.
void verifyIsDatabase(Connection &connection)
{
    const QString context = QStringLiteral("无法打开数据库文件“%1”").arg(connection.path());
    StatementUse use(connection.cached(QByteArrayLiteral("SELECT count(*) FROM sqlite_master"),
                                       context));
    const int rc = use.step();
    if (rc != SQLITE_ROW)
        throw connection.error(context, rc);
}

// Why a path names no file: a link that leads nowhere or round in a circle is
// not the same as no file at all.
QString whyMissing(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    QSet<QString> visited;
    while (QFileInfo(current).isSymLink()) {
        if (visited.contains(current) || visited.size() >= 40)
            return QStringLiteral("它是一个符号链接，链接形成了循环，不指向任何文件");
        visited.insert(current);
        current = QFileInfo(current).symLinkTarget();
    }
    if (visited.isEmpty())
        return QStringLiteral("文件不存在");
    return QStringLiteral("它是一个符号链接，指向的文件“%1”不存在").arg(QDir::toNativeSeparators(current));
}

// A file left in WAL mode (a backup of one restored by an earlier release, another tool) keeps its
// latest writes in a -wal file beside it, which a copy of data.mdb alone misses: it goes back to
// the rollback journal that every write here relies on. While another program has it open in WAL
// mode the switch cannot be made; it is tried again at the next open.
void leaveWriteAheadLog(sqlite3 *db)
{
    if (sqlite3_db_readonly(db, "main") == 1)
        return;
    sqlite3_stmt *mode = nullptr;
    bool inWal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK
        && sqlite3_step(mode) == SQLITE_ROW)
        inWal = sqlite3_strnicmp(reinterpret_cast<const char *>(sqlite3_column_text(mode, 0)), "wal", 4) == 0;
    sqlite3_finalize(mode);
    if (inWal)
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
}

} // namespace

Database::Database(QString path, sqlite3 *db)
    : m_path(std::move(path)), m_db(db), m_connection(std::make_shared<Connection>(m_path, db))
{
}

Database::~Database()
{
    close();
}

void Database::close()
{
    if (m_connection)
        m_connection->close();
    m_db = nullptr;
}

void Database::setLockWaitLimit(int milliseconds)
{
    m_connection->setLockWaitLimit(milliseconds);
}

void Database::setRecheckInterval(int milliseconds)
{
    m_connection->setRecheckInterval(milliseconds);
}

LockWaitAction::LockWaitAction(Database &database, std::function<void()> onWait)
{
    if (database.m_connection->beginAction(std::move(onWait)))
        m_connection = database.m_connection;
}

LockWaitAction::~LockWaitAction()
{
    if (m_connection)
        m_connection->endAction();
}

std::unique_ptr<Recordset> Database::openRecordset(const QString &table)
{
    if (!Schema::tableNames().contains(table) && !Schema::optionalTables().contains(table))
        throw DataError(QStringLiteral("“%1”不是本程序使用的表。").arg(table));
    m_connection->openHandle();
    return std::unique_ptr<Recordset>(new Recordset(Recordset::State::open(m_connection, table)));
}

std::unique_ptr<Database> openDatabase(const QString &path, OpenMode mode, int lockWaitMs)
{
    const QFileInfo info(path);
    if (path.isEmpty())
        throw DataError(openFailure(path, QStringLiteral("文件不存在")), SQLITE_CANTOPEN);
    if (!info.exists())
        throw DataError(openFailure(path, whyMissing(path)), SQLITE_CANTOPEN);
    if (info.isDir())
        throw DataError(openFailure(path, QStringLiteral("这是一个文件夹")), SQLITE_CANTOPEN);
    // A pipe would hold the open for ever, a device never ends; both report a size of 0.
    if (!info.isFile())
        throw DataError(openFailure(path, QStringLiteral("它不是普通文件（是设备、管道或套接字）")), SQLITE_CANTOPEN);
    if (!info.isReadable())
        throw DataError(openFailure(path, QStringLiteral("没有读取权限")), SQLITE_CANTOPEN);
    // SQLite takes an empty file for a database without tables; for this
    // program it is a file that lost its content.
    if (info.size() == 0)
        throw DataError(openFailure(path, QStringLiteral("文件是空的（0 字节），不是数据库")),
                        SQLITE_NOTADB);

    // SQLite reads ":memory:" as "no file at all"; the path names a real file.
    const QByteArray fileName = path == QLatin1String(":memory:")
        ? sqliteFileName(QStringLiteral("./:memory:"))
        : sqliteFileName(path);

    // Read-write without CREATE: a missing file is an error and is never made.
    // A write-protected file is opened read-only by SQLite itself; writes then
    // fail with a message saying so.
    sqlite3 *db = nullptr;
    // NOMUTEX: a connection is used by one thread at a time (the UI thread), so
    // SQLite's per-call locking of the connection is not needed.
    const int rc = sqlite3_open_v2(fileName.constData(), &db,
                                   (mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE)
                                       | SQLITE_OPEN_NOMUTEX,
                                   nullptr);
    if (rc != SQLITE_OK) {
        const DataError error = sqliteError(db, QStringLiteral("无法打开数据库文件“%1”").arg(path), rc);
        sqlite3_close_v2(db);
        throw error;
    }
    sqlite3_extended_result_codes(db, 1);
    // Another program may hold the file for a moment: the connection waits for
    // it (Connection::setLockWaitLimit).

    std::unique_ptr<Database> database(new Database(path, db));
    Connection &connection = *database->m_connection;
    connection.setLockWaitLimit(lockWaitMs);
    verifyIsDatabase(connection);
    // Every write is on disk when it returns: FULL syncs the file and the
    // journal, EXTRA also syncs the folder once the journal is deleted, so that
    // a power cut right after a commit cannot bring the journal back and roll
    // the commit back. A per-connection setting, not stored in the file.
    const int syncRc = sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
    if (syncRc != SQLITE_OK)
        throw connection.error(QStringLiteral("无法打开数据库文件“%1”").arg(path), syncRc);
    leaveWriteAheadLog(db);
    return database;
}

void Database::requireWritable(const QString &context) const
{
    if (m_db && sqlite3_db_readonly(m_db, "main") == 1)
        throw DataError(context + QStringLiteral("：数据库文件是只读的。"), SQLITE_READONLY);
}

sqlite3 *Database::openHandle() const
{
    if (!m_db)
        throw DataError(QStringLiteral("数据库连接已关闭。"));
    return m_db;
}
