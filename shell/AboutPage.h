// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct ProgramFiles;

// The program's About page: what it does, how to use it, its keyboard, the food data's
// sources and the licence, in one self-contained HTML file that the mascot opens.
namespace AboutPage {

// Where the About page of the program in `programDir` lies: about.html beside the program.
QString file(const QString &programDir);

// Where the About page of this run lies: beside the program; for an installed program whose
// folder has none, in share/pellomir.
QString file(const ProgramFiles &files);

} // namespace AboutPage
