// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DailyBackup.h"

#include "db/BackupRotation.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString Prefix = QStringLiteral("data-");
const QString Suffix = QStringLiteral(".mdb");
const QString DayFormat = QStringLiteral("yyyy-MM-dd");

// A copy in progress is written as ".<name>.XXXXXX" beside its target. One older than this
// was interrupted (the program was killed); no copy takes that long.
constexpr qint64 AbandonedAfterSeconds = 60 * 60;

} // namespace

DailyBackup::DailyBackup(const QString &dataFile)
    : m_dataFile(dataFile),
      m_folder(QFileInfo(dataFile).absoluteDir().filePath(QStringLiteral("backups")))
{
}

QString DailyBackup::fileNameFor(QDate day)
{
    return Prefix + day.toString(DayFormat) + Suffix;
}

QString DailyBackup::pathFor(QDate day) const
{
    return QDir(m_folder).filePath(fileNameFor(day));
}

std::optional<QDate> DailyBackup::dayOf(const QString &fileName)
{
    static const QRegularExpression pattern(QStringLiteral("^data-(\\d{4}-\\d{2}-\\d{2})\\.mdb$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day = QDate::fromString(match.captured(1), DayFormat);
    if (!day.isValid())
        return std::nullopt;
    return day;
}

bool DailyBackup::isOwnCopy(const QString &path)
{
    return applicationIdOf(path) == Marker;
}

QList<QDate> DailyBackup::days() const
{
    QList<QDate> found;
    const QDir dir(m_folder);
    const QStringList names = dir.entryList(QDir::Files);
    for (const QString &name : names)
        if (const auto day = dayOf(name); day && isOwnCopy(dir.filePath(name)))
            found << *day;
    return found;
}

QString DailyBackup::beforeRestorePath(const QDateTime &now) const
{
    return QDir(m_folder).filePath(QStringLiteral("data-before-restore-%1.mdb")
                                       .arg(now.toString(QStringLiteral("yyyy-MM-dd-HHmmss-zzz"))));
}

void DailyBackup::removeOldBeforeRestoreCopies(const QDateTime &now) const
{
    if (QFileInfo(m_folder).isSymLink())
        return;
    // Named by the time they were taken: the newest sort last. As with the daily copies, one
    // named after `now` is kept and not counted: the clock may be behind now.
    static const QRegularExpression name(QStringLiteral("^data-before-restore-\\d{4}-\\d{2}-\\d{2}-\\d{6}-\\d{3}\\.mdb$"));
    const QString newest = QFileInfo(beforeRestorePath(now)).fileName();
    const QDir dir(m_folder);
    QStringList own;
    for (const QString &file : dir.entryList(QDir::Files, QDir::Name))
        if (name.match(file).hasMatch() && file <= newest
            && applicationIdOf(dir.filePath(file)) == BeforeRestoreMarker)
            own << file;
    for (qsizetype i = 0; i + BeforeRestoreKept < own.size(); ++i)
        QFile::remove(dir.filePath(own.at(i)));
}

DailyBackup::Outcome DailyBackup::run(QDate today)
{
    const QString target = pathFor(today);
    if (QFileInfo::exists(target)) {
        removeOldCopies(today);
        return Outcome::AlreadyThere;
    }
    if (!QDir().mkpath(m_folder))
        throw DataError(QStringLiteral("无法建立备份文件夹“%1”。").arg(QDir::toNativeSeparators(m_folder)));
    try {
        copyDatabaseFile(m_dataFile, target, Marker);
    } catch (const DataError &) {
        // Another copy of the program, started at the same moment, may have made it first.
        if (!QFileInfo(target).isFile())
            throw;
        removeOldCopies(today);
        return Outcome::AlreadyThere;
    }
    removeOldCopies(today);
    return Outcome::Made;
}

void DailyBackup::removeAbandonedTemporaries(const QDir &dir, const QRegularExpression &ownName, Others others)
{
    // With no other copy of the program running, every temporary of ours was left by one that
    // was killed. Otherwise one may be a copy in progress: compared with the times the file
    // system wrote, so the system's own clock, not the program's (db/Clock), which a test may
    // have set to another day. Only names a copy in progress is given (copyDatabaseFile:
    // ".<target>.XXXXXX" and its journal), never another hidden file.
    const QDateTime abandoned = QDateTime::currentDateTime().addSecs(-AbandonedAfterSeconds);
    const auto hidden = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &temporary : hidden)
        if (!temporary.isSymLink() && ownName.match(temporary.fileName()).hasMatch()
            && (others == Others::NoneCopying || temporary.lastModified() < abandoned))
            QFile::remove(temporary.filePath());
}

void DailyBackup::removeTemporaries(Others others) const
{
    // Beside the data file: what a copy before an upgrade (data.mdb.bak-YYYYMMDD-HHMMSS) leaves
    // when the program is killed while writing it.
    const QFileInfo data(m_dataFile);
    removeAbandonedTemporaries(data.absoluteDir(), QRegularExpression(
        QStringLiteral("^\\.") + QRegularExpression::escape(data.fileName())
        + QStringLiteral("\\.bak-\\d{8}-\\d{6}\\.[A-Za-z0-9]{6}(-journal)?$")), others);
    // A folder that is a link leads somewhere this program did not choose: nothing is removed
    // there.
    if (!QFileInfo(m_folder).isDir() || QFileInfo(m_folder).isSymLink())
        return;
    // The daily copies' temporaries, and those of the copy taken before a restore.
    removeAbandonedTemporaries(QDir(m_folder), QRegularExpression(QStringLiteral(
        "^\\.data-(before-restore-\\d{4}-\\d{2}-\\d{2}-\\d{6}-\\d{3}|\\d{4}-\\d{2}-\\d{2})\\.mdb\\.[A-Za-z0-9]{6}(-journal)?$")), others);
}

void DailyBackup::removeOldCopies(QDate today) const
{
    // A folder that is a link leads somewhere this program did not choose: nothing is removed
    // there.
    if (QFileInfo(m_folder).isSymLink()) {
        removeTemporaries(Others::MayBeCopying);
        return;
    }
    // A copy that cannot be removed now is tried again at the next start; each is checked for
    // the mark again just before it goes.
    const QDir dir(m_folder);
    for (const QDate &day : BackupRotation::toRemove(days(), today)) {
        const QString path = dir.filePath(fileNameFor(day));
        if (isOwnCopy(path))
            QFile::remove(path);
    }
    removeOldBeforeRestoreCopies(today.endOfDay());
    removeTemporaries(Others::MayBeCopying);
}
