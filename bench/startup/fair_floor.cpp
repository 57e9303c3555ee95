// SPDX-License-Identifier: GPL-3.0-or-later
// The fair floor for the start-up benchmark: what any skinned Chinese window of the program's
// size must do before its first frame — decode one PNG of that frame (632×443) and show one
// line of Chinese text — ending after its first frame.
// Usage: fair_floor FRAME_PNG
#include "QuitAfterFirstPaint.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fair_floor FRAME_PNG\n");
        return 2;
    }
    QWidget window;
    window.setFixedSize(632, 443);
    auto *frame = new QLabel(&window);
    frame->setPixmap(QPixmap(QString::fromLocal8Bit(argv[1])));
    frame->setGeometry(0, 0, 632, 443);
    auto *line = new QLabel(QStringLiteral("热量计算和瘦身笔记"), &window);
    line->move(40, 60);
    QuitAfterFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return app.exec();
}
