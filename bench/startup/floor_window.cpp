// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the start-up benchmark: an empty window of the program's size, ending after
// its first frame.
#include "QuitAfterFirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(632, 443);
    QuitAfterFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return app.exec();
}
