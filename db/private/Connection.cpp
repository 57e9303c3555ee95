// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/private/Connection.h"

#include "db/Query.h"
#include "db/SystemErrorText.h"

#include <cstring>

#include <QFile>
#include <algorithm>
#include <atomic>

Connection::Connection(QString path, sqlite3 *db) : m_path(std::move(path)), m_db(db)
{
    if (m_db)
        sqlite3_busy_handler(m_db, &Connection::busyHandler, this);
}

Connection::~Connection()
{
    close();
}

sqlite3 *Connection::openHandle() const
{
    if (!m_db)
        throw DataError(QStringLiteral("数据库连接已关闭。"));
    return m_db;
}

void Connection::close()
{
    m_statements.clear(); // finalizes them; sqlite3_close needs none left over
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

sqlite3_stmt *Connection::cached(const QByteArray &sql, const QString &context)
{
    sqlite3 *db = openHandle();
    const std::string key(sql.constData(), size_t(sql.size()));
    auto found = m_statements.find(key);
    if (found != m_statements.end())
        return found->second.get();
    sqlite3_stmt *stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db, sql.constData(), int(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw error(context, rc);
    }
    return m_statements.emplace(key, Statement(stmt)).first->second.get();
}

bool Connection::beginAction(std::function<void()> onWait)
{
    if (m_inAction)
        return false;
    m_inAction = true;
    m_actionWaited = false;
    m_recheckDue = true;
    m_onActionWait = std::move(onWait);
    return true;
}

void Connection::endAction()
{
    m_inAction = false;
    m_actionWaited = false;
    m_onActionWait = nullptr;
}

int Connection::busyHandler(void *connection, int attempts)
{
    return static_cast<Connection *>(connection)->waitForLock(attempts) ? 1 : 0;
}

bool Connection::waitForLock(int attempts)
{
    if (attempts == 0) { // a step has just found the file locked
        if (!m_inAction) {
            m_lockWaitEnds = QDeadlineTimer(m_lockWaitLimitMs);
        } else if (!m_actionWaited) {
            m_actionWaited = true;
            m_lockWaitEnds = QDeadlineTimer(m_lockWaitLimitMs);
            if (m_onActionWait) {
                try {
                    m_onActionWait();
                } catch (...) {
                    // Nothing may pass through SQLite; the wait goes on regardless.
                }
            }
        }
        // else: the action's one wait goes on until its end, or has run out.
    }
    const qint64 left = m_lockWaitEnds.remainingTime();
    if (left <= 0)
        return false;
    // Short sleeps first, as most locks are held for a moment only.
    static constexpr int sleeps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50};
    constexpr int count = int(sizeof sleeps / sizeof sleeps[0]);
    const int sleep = attempts < count ? sleeps[attempts] : 50;
    sqlite3_sleep(int(std::min<qint64>(sleep, left)));
    return true;
}

void Connection::noteWrite()
{
    ++m_generation;
    s_writesInProcess.fetch_add(1, std::memory_order_relaxed);
}

Connection::Stamp Connection::stampAsking(Recheck recheck)
{
    sqlite3 *db = openHandle();
    Stamp s;
    s.ownChanges = sqlite3_total_changes64(db);
    s.generation = m_generation;
    s.processWrites = s_writesInProcess.load(std::memory_order_relaxed);
    const bool ask = recheck == Recheck::Now || m_dataVersion < 0
        || (recheck == Recheck::IfDue && (m_recheckDue || recheckIntervalPassed()));
    if (ask) {
        const QString context = QStringLiteral("无法读取数据库文件“%1”").arg(m_path);
        StatementUse use(cached(QByteArrayLiteral("PRAGMA data_version"), context));
        const int rc = use.step();
        if (rc != SQLITE_ROW)
            throw error(context, rc);
        m_dataVersion = sqlite3_column_int64(use.get(), 0);
        m_sinceVersionCheck.start();
        m_recheckDue = false;
    }
    s.dataVersion = m_dataVersion;
    return s;
}

bool Connection::lacksTable(const QString &table)
{
    try {
        return !hasTable(openHandle(), table, QStringLiteral("无法读取数据库文件“%1”的表目录").arg(m_path));
    } catch (const DataError &) {
        return false; // the schema cannot be read: the failure was something else
    }
}

DataError Connection::error(const QString &context, int rc) const
{
    return errorWithCause(context, describeSqliteCode(rc), rc);
}

DataError Connection::writeError(const QString &context, int rc) const
{
    return errorWithCause(context, describeWriteFailure(rc), rc);
}

DataError Connection::errorWithCause(const QString &context, const QString &cause, int rc) const
{
    return sqliteError(m_db, context, cause, rc);
}

DataError sqliteError(sqlite3 *db, const QString &context, int rc)
{
    return sqliteError(db, context, describeSqliteCode(rc), rc);
}

DataError sqliteError(sqlite3 *db, const QString &context, const QString &cause, int rc)
{
    QString message = context + QStringLiteral("：") + cause + QStringLiteral("。");
    if (db && rc != SQLITE_OK) {
        // SQLite's own text where it adds to the cause (the table, the column, a trigger's
        // words); its generic English text ("database is locked") only repeats the cause.
        const char *text = sqlite3_errmsg(db);
        if (text && *text && std::strcmp(text, sqlite3_errstr(rc)) != 0)
            message += QStringLiteral("（%1）").arg(QString::fromUtf8(text));
        else if (const int system = sqlite3_system_errno(db))
            message += QStringLiteral("（%1）").arg(SystemErrorText::of(system));
    }
    return DataError(message, rc);
}

QString describeSqliteCode(int rc)
{
    // Causes that only the extended code tells apart from plain "read-only".
    switch (rc) {
    case SQLITE_READONLY_DBMOVED:
        return QStringLiteral("数据库文件在打开之后被删除、移走或替换了，请重新启动程序");
    case SQLITE_READONLY_DIRECTORY:
        return QStringLiteral("数据库文件所在的文件夹是只读的，无法在其中建立日志文件");
    case SQLITE_READONLY_ROLLBACK:
        // A copy taken while another program was writing: its journal must be played back first.
        return QStringLiteral("文件旁边留有一次未完成写入的日志文件（-journal），"
                              "它多半是在另一个程序写入途中复制的，要先撤销那次写入才能使用");
    default:
        break;
    }
    switch (rc & 0xff) {
    case SQLITE_READONLY:
        return QStringLiteral("数据库文件是只读的");
    case SQLITE_FULL:
        return QStringLiteral("磁盘已满");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("数据库文件正被另一个程序使用，请关闭那个程序或稍后再试");
    case SQLITE_NOTADB:
        return QStringLiteral("文件不是数据库");
    case SQLITE_CORRUPT:
        return QStringLiteral("数据库文件已损坏");
    case SQLITE_IOERR:
        return QStringLiteral("读写文件时出错");
    case SQLITE_CANTOPEN:
        return QStringLiteral("无法打开文件");
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("没有访问权限");
    case SQLITE_CONSTRAINT:
        return QStringLiteral("数据不符合表的约束");
    case SQLITE_TOOBIG:
        return QStringLiteral("数据太大");
    case SQLITE_NOMEM:
        return QStringLiteral("内存不足");
    default:
        return QStringLiteral("数据库出错");
    }
}

QString describeWriteFailure(int rc)
{
    if ((rc & 0xff) == SQLITE_CANTOPEN)
        return QStringLiteral("无法在数据库文件所在的文件夹中建立日志文件（文件夹是只读的，或没有写入权限）");
    return describeSqliteCode(rc);
}

QByteArray sqliteFileName(const QString &path)
{
#ifdef Q_OS_WIN
    return path.toUtf8(); // SQLite's Windows layer takes UTF-8
#else
    return QFile::encodeName(path);
#endif
}
