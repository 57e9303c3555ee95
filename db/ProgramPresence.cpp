// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/ProgramPresence.h"

#include <QFile>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

ProgramPresence::ProgramPresence(const QString &dataFile, const std::function<void()> &whileAlone)
{
#if defined(Q_OS_UNIX)
    const QByteArray folder = QFile::encodeName(QFileInfo(dataFile).absolutePath());
    m_folder = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folder < 0)
        return;
    // Exclusive only if no other copy holds its shared mark; then shared like every copy's.
    // Another copy starting at this moment finds the exclusive lock and takes itself not to
    // be alone, which is the safe side.
    const bool alone = ::flock(m_folder, LOCK_EX | LOCK_NB) == 0;
    if (alone && whileAlone)
        whileAlone();
    if (::flock(m_folder, LOCK_SH | LOCK_NB) != 0) {
        // Another copy holds the exclusive lock for a moment: its start's look around.
        for (int tries = 0; tries < 50 && ::flock(m_folder, LOCK_SH | LOCK_NB) != 0; ++tries)
            ::usleep(10 * 1000);
    }
#else
    Q_UNUSED(dataFile);
    Q_UNUSED(whileAlone);
#endif
}

ProgramPresence::~ProgramPresence()
{
#if defined(Q_OS_UNIX)
    if (m_folder >= 0)
        ::close(m_folder);
#endif
}
