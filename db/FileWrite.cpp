// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/FileWrite.h"

#include "db/DataError.h"
#include "db/SystemErrorText.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>
#include <cerrno>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#endif

#include <sqlite3.h>

void writeWholeFile(const QString &path, const QByteArray &bytes, const WorkProgress &progress)
{
    const auto failure = [&](const QString &cause) {
        return DataError(QStringLiteral("无法写入“%1”（%2）。").arg(QDir::toNativeSeparators(path), cause),
                         SQLITE_IOERR);
    };
    QSaveFile file(path);
    errno = 0;
    // Unbuffered: each write reports what reached the file, so a short one is seen here and
    // not lost in a flush at commit.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw failure(SystemErrorText::of(file));
    qint64 written = 0;
    while (written < bytes.size()) {
        errno = 0;
        const qint64 step = file.write(bytes.constData() + written, qMin(bytes.size() - written, WriteStepBytes));
        if (step <= 0) {
            const bool full = QStorageInfo(QFileInfo(path).absolutePath()).bytesAvailable()
                < bytes.size() - written;
            const QString cause = full ? QStringLiteral("磁盘空间不足") : SystemErrorText::of(file);
            file.cancelWriting();
            throw failure(cause);
        }
        written += step;
        if (!progress)
            continue;
#if defined(Q_OS_UNIX)
        // What the box shows is on the disk: on a slow stick the final sync would otherwise be
        // all the waiting, at 100 % and past any 取消.
        ::fsync(file.handle());
#endif
        if (!progress(written, bytes.size())) {
            file.cancelWriting();
            throw WorkCancelled();
        }
    }
#if defined(Q_OS_UNIX)
    if (::fsync(file.handle()) != 0) {
        file.cancelWriting();
        throw failure(QStringLiteral("无法把内容写到磁盘上"));
    }
#endif
    errno = 0;
    if (!file.commit())
        throw failure(SystemErrorText::of(file));
    syncFolder(QFileInfo(path).absolutePath());
}

void syncFolder(const QString &folder)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}
