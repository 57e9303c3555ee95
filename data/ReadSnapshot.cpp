#include "ReadSnapshot.h"

#include "DataError.h"
#include "Database.h"

#include <sqlite3.h>

ReadSnapshot::ReadSnapshot(Database &db) : m_db(db)
{
    if (!db.isOpen())
        throw DataError(QStringLiteral("数据库连接已关闭。"));
    const int rc = sqlite3_exec(db.handle(), "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DataError(QStringLiteral("无法开始读取数据库：%1").arg(QString::fromUtf8(sqlite3_errmsg(db.handle()))), rc);
}

ReadSnapshot::~ReadSnapshot()
{
    // Nothing was written: ending the transaction only gives up the read lock.
    if (m_db.isOpen() && !sqlite3_get_autocommit(m_db.handle()))
        sqlite3_exec(m_db.handle(), "COMMIT", nullptr, nullptr, nullptr);
}
