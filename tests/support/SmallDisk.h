// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#if defined(Q_OS_LINUX)
#include <sys/mount.h>
#endif

// A small file system of its own (tmpfs) on a fresh folder, for as long as this lives: where a
// write runs out of space for real (ENOSPC), as on a full disk. Mounting needs the right to
// mount (root, as in CI); without it isMounted() is false and the caller skips.
class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes)
    {
#if defined(Q_OS_LINUX)
        const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
        m_mounted = m_folder.isValid()
            && ::mount("tmpfs", QFile::encodeName(m_folder.path()).constData(), "tmpfs", 0,
                       options.constData()) == 0;
#else
        Q_UNUSED(kilobytes);
#endif
    }
    ~SmallDisk()
    {
#if defined(Q_OS_LINUX)
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder.path()).constData(), MNT_DETACH);
#endif
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool isMounted() const { return m_mounted; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &name) const { return m_folder.filePath(name); }

    // Takes up the space with a filler file until only `bytes` stay free (whole pages).
    bool leaveFree(qint64 bytes)
    {
        QFile filler(filePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray page(4096, 'x');
        while (filler.write(page) == page.size()) {
        }
        const qint64 full = filler.size();
        filler.close();
        return full >= bytes && filler.resize(full - bytes);
    }

    // Every name in the folder but the filler, hidden ones too.
    QStringList names() const
    {
        QStringList found = QDir(path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot, QDir::Name);
        found.removeAll(QStringLiteral(".filler"));
        return found;
    }

private:
    QTemporaryDir m_folder;
    bool m_mounted = false;
};
