#include "DatabaseRestore.h"

#include "Connection.h"
#include "DataError.h"
#include "Database.h"
#include "DatabaseCopy.h"
#include "Statement.h"

#include <QDir>
#include <QThread>
#include <memory>

namespace {

struct HandleCloser
{
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};

DataError restoreFailure(const QString &sourcePath, sqlite3 *db, int rc)
{
    QString message = QStringLiteral("无法从“%1”恢复数据：%2。")
                          .arg(QDir::toNativeSeparators(sourcePath), describeSqliteCode(rc));
    const char *text = db ? sqlite3_errmsg(db) : nullptr;
    if (text && *text)
        message += QStringLiteral("（%1）").arg(QString::fromUtf8(text));
    return DataError(message, rc);
}

} // namespace

void restoreDatabase(Database &live, const QString &sourcePath)
{
    verifyDatabaseFile(sourcePath);
    sqlite3 *target = live.handle();
    if (!target)
        throw DataError(QStringLiteral("数据库连接已关闭。"));

    sqlite3 *raw = nullptr;
    int rc = sqlite3_open_v2(sqliteFileName(sourcePath).constData(), &raw,
                             SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<sqlite3, HandleCloser> source(raw);
    if (rc != SQLITE_OK)
        throw restoreFailure(sourcePath, raw, rc);
    sqlite3_busy_timeout(raw, 5000);

    sqlite3_backup *backup = sqlite3_backup_init(target, "main", raw, "main");
    if (!backup)
        throw restoreFailure(sourcePath, target, sqlite3_errcode(target));
    // The busy handler does not cover the backup's locks: wait as a connection would, up to
    // five seconds, for other readers and writers of the live file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(50);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw restoreFailure(sourcePath, target, rc == SQLITE_OK ? finished : rc);
    if (finished != SQLITE_OK)
        throw restoreFailure(sourcePath, target, finished);

    sqlite3_stmt *check = nullptr;
    rc = sqlite3_prepare_v2(target, "PRAGMA integrity_check", -1, &check, nullptr);
    Statement owned(check);
    if (rc != SQLITE_OK || sqlite3_step(check) != SQLITE_ROW
        || QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(check, 0)))
               != QLatin1String("ok"))
        throw DataError(QStringLiteral("从“%1”恢复后，数据库文件没有通过完整性检查。")
                            .arg(QDir::toNativeSeparators(sourcePath)),
                        SQLITE_CORRUPT);
}
