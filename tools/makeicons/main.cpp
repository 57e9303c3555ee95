// SPDX-License-Identifier: GPL-3.0-or-later
// makeicons: renders an SVG icon as the PNG sizes of a freedesktop icon theme.
//
//   makeicons <icon.svg> <theme-dir> <icon-name> <size>...
//
// Writes <theme-dir>/<size>x<size>/apps/<icon-name>.png for each size: the picture scaled to fit
// the square with its proportions kept, centred, on a transparent background.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage render(QSvgRenderer &svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSizeF natural = svg.viewBoxF().size();
    if (natural.isEmpty())
        natural = QSizeF(svg.defaultSize());
    const QSizeF fitted = natural.scaled(QSizeF(size, size), Qt::KeepAspectRatio);
    const QRectF target(QPointF((size - fitted.width()) / 2, (size - fitted.height()) / 2), fitted);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&painter, target);
    return image;
}

bool writePng(const QImage &image, const QString &path)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    // Rendering needs a GUI platform; none has to be on screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: makeicons <icon.svg> <theme-dir> <icon-name> <size>...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "makeicons: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    for (const QString &sizeText : args.mid(4)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 1 || size > 4096) {
            std::fprintf(stderr, "makeicons: not a size: %s\n", qPrintable(sizeText));
            return 2;
        }
        const QString path = QStringLiteral("%1/%2x%2/apps/%3.png").arg(args[2]).arg(size).arg(args[3]);
        if (!writePng(render(svg, size), path)) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
