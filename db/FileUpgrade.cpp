// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileUpgrade.h"

#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/FileLayout.h"
#include "db/Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

FileUpgrade::FileUpgrade(Database &db, const FileLayout &layout, Clock clock)
    : m_db(db), m_layout(layout), m_clock(std::move(clock))
{
}

QString FileUpgrade::backupPath(const QString &databasePath, const QDateTime &when)
{
    return databasePath + QStringLiteral(".bak-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

int FileUpgrade::stamp(const QString &context) const
{
    return FileLayout::stampOf(m_db.openHandle(), context);
}

bool FileUpgrade::isUpToDate(const QString &context) const
{
    return stamp(context) == m_layout.version();
}

QString FileUpgrade::run(const QString &context, const More &more)
{
    m_db.requireWritable(context);
    sqlite3 *db = m_db.openHandle();
    const int before = stamp(context);
    if (before > m_layout.version())
        throw DataError(context + QStringLiteral("：") + m_layout.newerMessage(m_db.path(), before), SQLITE_READONLY);

    // The write lock first, so nobody changes the file between the copy and the change; readers
    // (the copy among them) still get through.
    Transaction transaction(m_db, context);
    const int stampNow = stamp(context);
    const bool layoutDue = m_layout.isDue(stampNow);
    if (!layoutDue && !more) { // another program upgraded it while we waited
        transaction.commit();
        return QString();
    }
    if (stampNow > m_layout.version())
        throw DataError(context + QStringLiteral("：") + m_layout.newerMessage(m_db.path(), stampNow), SQLITE_READONLY);

    QDateTime now = m_clock.now();
    QString backup = backupPath(m_db.path(), now);
    // Two upgrades within one second (another file of the same name, a test): never replace an
    // existing copy.
    while (QFileInfo::exists(backup) || QFileInfo(backup).isSymLink()) {
        now = now.addSecs(1);
        backup = backupPath(m_db.path(), now);
    }
    try {
        copyDatabaseFile(m_db.path(), backup, copyMark(stampNow));
    } catch (const DataError &error) {
        throw DataError(context + QStringLiteral("：无法保存备份。") + error.message(), error.code());
    }
    // The copies earlier attempts made of the file at this same layout: this one holds all they
    // hold and what was written since.
    const QFileInfo file(m_db.path());
    const QStringList earlier = file.absoluteDir().entryList({file.fileName() + QStringLiteral(".bak-*")},
                                                             QDir::Files | QDir::Hidden);
    for (const QString &name : earlier) {
        const QString path = file.absoluteDir().filePath(name);
        if (QFileInfo(path).absoluteFilePath() != QFileInfo(backup).absoluteFilePath()
            && applicationIdOf(path) == copyMark(stampNow))
            QFile::remove(path);
    }

    if (more)
        more(db, context);
    if (layoutDue)
        m_layout.bringUpToDate(db, context);
    transaction.commit();
    return backup;
}
