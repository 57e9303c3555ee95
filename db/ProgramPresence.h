// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

// Marks, for as long as it lives, that a copy of the program uses the data file: a shared lock
// (flock) on the data file's folder, which the system lets go when the program ends, however it
// ends. At its start it looks whether another copy holds that mark: when none does, every
// temporary file of a copy there was left by a copy that was killed, and `whileAlone` runs
// (to remove them) while an exclusive lock keeps other copies from starting.
//
// The lock is on the folder, not on the data file: SQLite's own locks on the file are POSIX
// locks, which the system drops as soon as any other handle of the process on that file closes.
// Where the system has no such locks (Windows), another copy is always taken to be running.
class ProgramPresence
{
public:
    ProgramPresence(const QString &dataFile, const std::function<void()> &whileAlone);
    ~ProgramPresence();
    ProgramPresence(const ProgramPresence &) = delete;
    ProgramPresence &operator=(const ProgramPresence &) = delete;

private:
    int m_folder = -1;
};
