// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

// The files a run of the program uses, once their places are settled.
struct ProgramFiles
{
    // The files side by side in `programDir`, as a program run from its own folder has them.
    static ProgramFiles inFolder(const QString &programDir);

    QString programDir; // the folder that holds the program
    QString dataFile;   // the data.mdb in use (the user's notebook)
    QString skinFile;   // Skin1.dat
    QString sharedDir;  // share/pellomir of an installed program; empty for a portable folder
    // Every file looked for, in the order looked at, for the start-up error message.
    QStringList searched;

    bool isInstalled() const { return !sharedDir.isEmpty(); }
    // The template data.mdb installed with the program (share/pellomir beside its folder), whose
    // food tables every user's file gets; empty when there is none.
    QString templateFile;
    // "查找过的位置：" and the searched files, one a line.
    QString searchedText() const;
};

// The data file could not be found or made; the message names every place looked at.
class DataLocationError : public std::runtime_error
{
public:
    explicit DataLocationError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Decides where the program's files are.
//
// A folder that holds data.mdb is portable: everything is used from there. A program with no
// data.mdb of its own that finds `../share/pellomir/` beside its folder is installed: the user's
// data.mdb lives in `userDataDir` and is made there on first start as a copy of the template in
// share/pellomir (written under a temporary name, then renamed; an existing file is never
// replaced), and Skin1.dat comes from share/pellomir when the program's folder has none. A folder
// that is neither is left as it is, so the load step reports the missing file and nothing is made.
class DataLocation
{
public:
    DataLocation(QString programDir, QString userDataDir);

    // `<generic data location>/pellomir` ($XDG_DATA_HOME/pellomir, ~/.local/share/pellomir);
    // empty when the system names no such location.
    static QString defaultUserDataDir();
    // `programDir/../share/pellomir`, cleaned.
    static QString sharedDirOf(const QString &programDir);

    // Settles the places, copying the template for a first start of an installed program.
    // Throws DataLocationError when an installed program has no user file and cannot make one.
    ProgramFiles resolve() const;

private:
    QString m_programDir;
    QString m_userDataDir;
};
