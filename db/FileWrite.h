// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/WorkProgress.h"

#include <QByteArray>
#include <QString>

// Writes `bytes` as the whole content of the file at `path`, or changes nothing: they go to a
// temporary file beside it, every write is checked (a disk that fills up halfway writes short
// before it fails), the file is synced, and only then does one rename put it in place of any
// file of that name. Throws DataError "无法写入“<path>”（<cause>）。" otherwise; a file that
// was there is then as it was, and no temporary file is left.
//
// The bytes go in pieces of WriteStepBytes, and `progress` hears the bytes on the disk after each;
// when it answers false, the temporary goes, a file that was there stays as it was, and
// WorkCancelled is thrown.
void writeWholeFile(const QString &path, const QByteArray &bytes, const WorkProgress &progress = {});

// A piece takes a few milliseconds to write, so a box of the user's answers at once.
constexpr qint64 WriteStepBytes = 1024 * 1024;

// Makes the names in `folder` durable: a rename is on disk only once the folder is synced.
void syncFolder(const QString &folder);
