// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

class QSettings;

// The daily backup at start, and what the user is told when it fails.
//
// A failing backup never stops the program. The user is told once, not at every start: a
// failure is told when it differs from the last one told (which `memory` keeps), and a backup
// that works again forgets it, so a later failure is news again. A box at every start would
// teach the user to click it away unread; saying nothing would hide that the notes are no longer
// copied.
namespace StartupBackup {

// Makes the day's backup of `dataFile` (DailyBackup). Never throws. Returns the text to show
// the user, or an empty text when there is nothing to tell: copyToday, then noticeFor.
QString run(const QString &dataFile, QDate today, QSettings &memory);

// The copy alone: safe on a worker thread (its own connections, no settings). Returns why it
// failed, or an empty text.
QString copyToday(const QString &dataFile, QDate today);
// What to tell of `cause` (empty: the copy worked), remembering it in `memory`.
QString noticeFor(const QString &cause, QDate today, QSettings &memory);

} // namespace StartupBackup
