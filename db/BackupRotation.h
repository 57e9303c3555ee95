// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QList>

// Which daily backups to keep. There is at most one backup a day. Kept are the backups of the
// 7 newest days that have one, and the newest backup of each of the 4 newest weeks (Monday to
// Sunday) that have one; a backup may count as both. A backup dated after today is kept and
// counts as neither: either it was made while the clock was set ahead, and then it never pushes
// real backups out, or the clock is behind now (a flat battery, a restored virtual machine), and
// then it is one of the real backups, which a wrong clock must never delete.
namespace BackupRotation {

constexpr int DailyKept = 7;
constexpr int WeeklyKept = 4;

// The days of `existing` whose backups may go, newest first.
QList<QDate> toRemove(const QList<QDate> &existing, QDate today);

} // namespace BackupRotation
