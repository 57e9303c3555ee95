// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, drawn as SVG and compiled into the program. They are drawn through
// Qt's SVG image plugin (qsvg), which the program loads on first use.
// A picture is named by its file name without ".svg", e.g. "button-prev".
namespace Pictures {

// The picture at `size` logical pixels for a device pixel ratio `dpr`: the pixmap
// holds size*dpr device pixels and carries `dpr`, so it stays crisp on HiDPI
// screens. Returns a null pixmap for an unknown name. Where the program holds the
// picture already drawn at that size and ratio (prerenderedPath), it is read from
// there, pixel for pixel what rendering would give; else it is rendered.
QPixmap pixmap(const QString &name, QSize size, qreal dpr);

// The same, always rendered from the SVG.
QPixmap renderedPixmap(const QString &name, QSize size, qreal dpr);

// Where a picture drawn at build time at `size` for a whole-number `dpr` is looked
// for, e.g. ":/prerendered/welcome-434x272@2x.argb32"; empty for a fractional ratio.
QString prerenderedPath(const QString &name, QSize size, qreal dpr);

// Such a file: a header (prerenderedHeader), then the image's pixels, premultiplied ARGB, one
// 32-bit word a pixel in the byte order of the machine that wrote it, row after row. Kept
// unpacked so that showing it costs one copy.
QByteArray prerenderedBytes(const QImage &image);
QByteArray prerenderedHeader(QSize devicePixels);

// The picture as an icon that is crisp at any size: each size is drawn when it is first
// asked for. Null for an unknown name.
QIcon icon(const QString &name);

// The window's icon (an apple with a measuring tape).
QIcon windowIcon();

// The pointing hand shown over the picture buttons: 32x32 logical pixels,
// hot spot at the tip of the index finger, (6, 2), scaled by `dpr`.
QCursor handCursor(qreal dpr);

// The six images of the food tree, in order: pink, green and purple glossy
// balls, then the same three again. Each is opaque on a white ground.
QList<QIcon> nodeImages();

// The resource path of a picture, e.g. ":/pictures/button-prev.svg".
QString resourcePath(const QString &name);

} // namespace Pictures
