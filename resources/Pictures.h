#pragma once

#include <QCursor>
#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>

// The program's own pictures, drawn as SVG and compiled into the program.
// A picture is named by its file name without ".svg", e.g. "button-prev".
namespace Pictures {

// Renders the picture at `size` logical pixels for a device pixel ratio `dpr`:
// the pixmap holds size*dpr device pixels and carries `dpr`, so it stays crisp
// on HiDPI screens. Returns a null pixmap for an unknown name.
QPixmap pixmap(const QString &name, QSize size, qreal dpr);

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
