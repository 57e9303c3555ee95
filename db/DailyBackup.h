// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <optional>

// The daily copies of a data file, in a `backups` folder beside it, named by their day
// ("data-2026-03-01.mdb"). Files of other names there (copies the user made, the copy taken
// before a restore) are never touched.
class DailyBackup
{
public:
    explicit DailyBackup(const QString &dataFile);

    // The `backups` folder beside the data file.
    QString folder() const { return m_folder; }
    QString pathFor(QDate day) const;

    static QString fileNameFor(QDate day);
    // The day a daily backup's file name stands for; nothing for any other name.
    static std::optional<QDate> dayOf(const QString &fileName);

    // The mark in the header (SQLite's application_id) of every copy this class makes: only
    // marked copies are ever rotated away, so a file a user keeps in the folder under such a
    // name is never removed.
    static constexpr qint32 Marker = 0x50454C4D; // "PELM"
    // True for a regular file (not a link) that carries the mark.
    static bool isOwnCopy(const QString &path);

    // The days that have a daily backup of this program's own making in the folder.
    QList<QDate> days() const;

    enum class Outcome { Made, AlreadyThere };
    // The first start of `today` makes today's copy (SQLite's backup API, checked with
    // integrity_check, written under a temporary name and renamed); later starts find it there.
    // Then the copies that BackupRotation lets go are removed, and temporary files that a copy
    // interrupted long ago left behind. Throws DataError when the copy cannot be made; nothing
    // is removed then.
    Outcome run(QDate today);

private:
    void removeOldCopies(QDate today) const;
    static void removeAbandonedTemporaries(const QDir &dir, const QRegularExpression &ownName);

    QString m_dataFile;
    QString m_folder;
};
