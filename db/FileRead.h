// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Reading a file the user chose (an import, a backup to restore, the data file). Only a regular
// file is read: a pipe would wait for a writer for ever, a device such as /dev/zero never ends,
// and both report a size of 0, so no check of the size could stop them. What is read never
// exceeds the limit, whatever the size the file reports.
namespace FileRead {

// Why `path` is not a regular file (a link to one counts as one), in words that end a sentence
// about it: "“x”不是普通文件（是设备、管道或套接字）"; an empty text when it is one, or when
// there is nothing at the name (that is for the caller's own message).
QString whyNotRegular(const QString &path);

// The whole file at `path`, at most `maxBytes`. Throws DataError with the reason: not a regular
// file ("不是普通文件"), too big ("太大"), or what the system said, in Chinese.
QByteArray whole(const QString &path, qint64 maxBytes);

// "8 MB", "512 KB": a size for a message.
QString sizeText(qint64 bytes);

} // namespace FileRead
