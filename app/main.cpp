// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MainWindow.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::prepareApplication(app);

    const auto window = Startup::openMainWindow(QCoreApplication::applicationDirPath());
    if (!window)
        return 1;
    window->finishStartAfterFirstFrame();
    window->show();
    return app.exec();
}
