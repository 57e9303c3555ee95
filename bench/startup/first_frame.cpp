// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own start-up, from a given program directory, ending after the first frame.
// Usage: first_frame PROGRAM_DIR
#include "QuitAfterFirstPaint.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: first_frame PROGRAM_DIR\n");
        return 2;
    }
    Startup::prepareApplication(app);

    const auto window = Startup::openMainWindow(QString::fromLocal8Bit(argv[1]));
    if (!window)
        return 1;
    QuitAfterFirstPaint quit;
    window->installEventFilter(&quit);
    window->show();
    return app.exec();
}
