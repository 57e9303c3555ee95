// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileRead.h"

#include "db/DataError.h"
#include "db/SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include <sqlite3.h>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

DataError notRegular(const QString &path)
{
    return DataError(FileRead::whyNotRegular(path) + QStringLiteral("，不能读取。"), SQLITE_CANTOPEN);
}

DataError unreadable(const QString &path, const QString &cause)
{
    return DataError(QStringLiteral("无法读取“%1”（%2）。").arg(shown(path), cause), SQLITE_IOERR);
}

DataError tooBig(const QString &path, qint64 size, qint64 maxBytes)
{
    const QString sizeKnown = size > maxBytes ? QStringLiteral("%1，").arg(FileRead::sizeText(size)) : QString();
    return DataError(QStringLiteral("“%1”太大（%2最多读取 %3），不是本程序能读取的文件。")
                         .arg(shown(path), sizeKnown, FileRead::sizeText(maxBytes)),
                     SQLITE_TOOBIG);
}

} // namespace

QString FileRead::whyNotRegular(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return QString();
    if (info.isDir())
        return QStringLiteral("“%1”是一个文件夹，不是普通文件").arg(shown(path));
    return QStringLiteral("“%1”不是普通文件（是设备、管道或套接字）").arg(shown(path));
}

QString FileRead::sizeText(qint64 bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MB").arg(QString::number(double(bytes) / (1024 * 1024), 'f', bytes % (1024 * 1024) ? 1 : 0));
    if (bytes >= 1024)
        return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
    return QStringLiteral("%1 字节").arg(bytes);
}

QByteArray FileRead::whole(const QString &path, qint64 maxBytes)
{
#if defined(Q_OS_UNIX)
    // Opened without waiting (a pipe without a writer would hold the open itself), then asked
    // what it is: the name may have changed between a look at it and the open.
    errno = 0;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw unreadable(path, SystemErrorText::of(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw unreadable(path, SystemErrorText::of(file));
    }
    struct stat status;
    if (::fstat(fd, &status) != 0)
        throw unreadable(path, SystemErrorText::of(errno));
    if (!S_ISREG(status.st_mode))
        throw notRegular(path);
    const qint64 reported = status.st_size;
#else
    if (!whyNotRegular(path).isEmpty())
        throw notRegular(path);
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw unreadable(path, SystemErrorText::of(file));
    const qint64 reported = file.size();
#endif
    if (reported > maxBytes)
        throw tooBig(path, reported, maxBytes);
    // As much as the file said it holds and one byte more, to see it end; a file that grew past
    // the limit since is read only to one byte beyond it.
    errno = 0;
    QByteArray bytes = file.read(reported + 1);
    while (bytes.size() <= maxBytes && file.error() == QFileDevice::NoError) {
        const QByteArray more = file.read(qMin<qint64>(maxBytes + 1 - bytes.size(), 1 << 20));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError)
        throw unreadable(path, SystemErrorText::of(file));
    if (bytes.size() > maxBytes)
        throw tooBig(path, 0, maxBytes);
    return bytes;
}
