// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AboutPage.h"

#include "shell/DataLocation.h"

#include <QFileInfo>

QString AboutPage::file(const QString &programDir)
{
    return programDir + QStringLiteral("/about.html");
}

QString AboutPage::file(const ProgramFiles &files)
{
    const QString beside = file(files.programDir);
    if (!files.isInstalled() || QFileInfo::exists(beside))
        return beside;
    return files.sharedDir + QStringLiteral("/about.html");
}
