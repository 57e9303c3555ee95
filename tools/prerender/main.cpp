// SPDX-License-Identifier: GPL-3.0-or-later
// prerender: draws the program's pictures (Pictures) into files at build time: the pictures the
// program shows at start, so it need not render the SVG then, and the launcher's icons. One
// renderer for both, so the window's icon and the launcher's are the same picture.
//
//   prerender <out-dir> <name> <width> <height> <scale>...
//     Writes <out-dir>/<name>-<width>x<height>@<scale>x.argb32 for each scale, named as
//     Pictures::prerenderedPath names it and laid out as Pictures::prerenderedBytes lays it out:
//     the rendered pixels exactly, unpacked.
//   prerender --icon-theme <theme-dir> <icon-name> <size>...
//     Writes <theme-dir>/<size>x<size>/apps/<icon-name>.png for each size: the program's icon
//     as the PNG sizes of a freedesktop icon theme.

#include "resources/Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "prerender: %s\n", qPrintable(message));
    return 1;
}

// The launcher's icons, as PNG files of an icon theme.
int writeIconTheme(const QStringList &args)
{
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: prerender --icon-theme <theme-dir> <icon-name> <size>...\n");
        return 2;
    }
    for (const QString &sizeText : args.mid(4)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return fail(QStringLiteral("not a size: %1").arg(sizeText));
        const QImage image = Pictures::renderedPixmap(QStringLiteral("icon"), QSize(size, size), 1).toImage();
        if (image.isNull())
            return fail(QStringLiteral("no picture icon"));
        const QString path = QStringLiteral("%1/%2x%2/apps/%3.png").arg(args[2]).arg(size).arg(args[3]);
        QSaveFile file(path);
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly)
            || !image.save(&file, "PNG") || !file.commit())
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Rendering needs a GUI platform; none has to be on screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--icon-theme"))
        return writeIconTheme(args);
    if (args.size() < 6) {
        std::fprintf(stderr, "usage: prerender <out-dir> <name> <width> <height> <scale>...\n");
        return 2;
    }
    const QString outDir = args[1];
    const QString name = args[2];
    const QSize size(args[3].toInt(), args[4].toInt());
    if (size.isEmpty())
        return fail(QStringLiteral("bad size %1x%2").arg(args[3], args[4]));
    if (!QDir().mkpath(outDir))
        return fail(QStringLiteral("cannot make %1").arg(outDir));

    for (qsizetype i = 5; i < args.size(); ++i) {
        const int scale = args[i].toInt();
        if (scale < 1)
            return fail(QStringLiteral("bad scale %1").arg(args[i]));
        const QImage image = Pictures::renderedPixmap(name, size, scale).toImage();
        if (image.isNull())
            return fail(QStringLiteral("no picture %1").arg(name));
        const QString path = outDir + QLatin1Char('/')
                             + QFileInfo(Pictures::prerenderedPath(name, size, scale)).fileName();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(Pictures::prerenderedBytes(image)) < 0
            || !file.commit())
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}
