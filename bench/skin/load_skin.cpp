// SPDX-License-Identifier: GPL-3.0-or-later
// Loads a skin file and applies its form "Simple" to a plain window, as the program does at
// start, then quits: run under GNU time or hyperfine, it gives the whole-process time and peak
// memory of reading, decoding and shaping a window from that skin.
//
//   load_skin <skin file>
//
// Prints "applied: N mask rectangles" or "refused: <message>"; both end with status 0, since a
// refusal is what a hostile skin should get. A wrong argument ends with status 2.

#include "skin/ui/SkinEngine.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_skin <skin file>\n");
        return 2;
    }
    SkinEngine engine;
    QWidget window;
    try {
        engine.loadSkin(QString::fromLocal8Bit(argv[1]));
        engine.applySkin(&window, QStringLiteral("Simple"));
    } catch (const SkinError &error) {
        std::printf("refused: %s\n", error.message().toUtf8().constData());
        return 0;
    }
    std::printf("applied: %d mask rectangles\n", int(window.mask().rectCount()));
    return 0;
}
