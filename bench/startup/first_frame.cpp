// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own start-up, from a given program directory, ending after the first frame.
// Usage: first_frame PROGRAM_DIR [FRAME_PNG]
// With FRAME_PNG the first frame is also saved there (for the fair floor; not while timed).
#include "QuitAfterFirstPaint.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: first_frame PROGRAM_DIR [FRAME_PNG]\n");
        return 2;
    }
    Startup::prepareApplication(app);

    const auto window = Startup::openMainWindow(QString::fromLocal8Bit(argv[1]));
    if (!window)
        return 1;
    QuitAfterFirstPaint quit;
    window->installEventFilter(&quit);
    window->show();
    const int status = app.exec();
    if (argc == 3 && !window->grab().save(QString::fromLocal8Bit(argv[2])))
        return 1;
    return status;
}
