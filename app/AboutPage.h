#pragma once

#include <QString>

// The program's About page: what it does, how to use it, its keyboard, the food data's
// sources and the licence, in one self-contained HTML file that the mascot opens.
namespace AboutPage {

// Where the About page of the program in `programDir` lies: about.html beside the program.
QString file(const QString &programDir);

} // namespace AboutPage
