// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <optional>

// The daily copies of a data file, in a `backups` folder beside it, named by their day
// ("data-2026-03-01.mdb"), and the copies taken before a restore ("data-before-restore-….mdb").
// Files of other names there (copies the user made) are never touched.
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
    // The mark of the copy taken before a restore; a restore from such a copy clears it.
    static constexpr qint32 BeforeRestoreMarker = 0x50454C52; // "PELR"
    static constexpr int BeforeRestoreKept = 5;
    // The name of the copy taken before a restore at `now`.
    QString beforeRestorePath(const QDateTime &now) const;
    // True for a regular file (not a link) that carries the mark.
    static bool isOwnCopy(const QString &path);

    // The days that have a daily backup of this program's own making in the folder.
    QList<QDate> days() const;

    enum class Outcome { Made, AlreadyThere };
    // The first start of `today` makes today's copy (SQLite's backup API, checked with
    // integrity_check, written under a temporary name and renamed); later starts find it there.
    // Then the copies that BackupRotation lets go are removed, all but the newest
    // BeforeRestoreKept copies taken before a restore, and temporary files that an interrupted
    // copy left behind. Throws DataError when the copy cannot be made; nothing is removed then.
    Outcome run(QDate today);

    // Removes all but the newest BeforeRestoreKept copies taken before a restore (marked ones
    // only); one named after `now` is kept and not counted.
    void removeOldBeforeRestoreCopies(const QDateTime &now) const;

    // Whether a temporary file of a copy may belong to a copy in progress: not when no other
    // copy of the program uses the data file (ProgramPresence) and this one has begun none yet,
    // as at its start; otherwise one is taken for abandoned only when it is an hour old.
    enum class Others { MayBeCopying, NoneCopying };
    // Removes the temporary files that interrupted copies (daily, before an upgrade, before a
    // restore) left beside the data file and in the folder. run() does this too, for those an
    // hour old.
    void removeTemporaries(Others others) const;

private:
    void removeOldCopies(QDate today) const;
    static void removeAbandonedTemporaries(const QDir &dir, const QRegularExpression &ownName, Others others);

    QString m_dataFile;
    QString m_folder;
};
