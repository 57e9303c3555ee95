#include "Pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

// Kept outside any namespace: the init macro declares a global function.
// The resources live in an object library linked straight into the program,
// so their static registration already runs; calling the init function as
// well keeps them reachable when a build links them through an archive.
static void ensureResourcesRegistered()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

// Asked before the renderer is made, so that an unknown name gives a null
// result quietly instead of a warning from the SVG loader.
bool exists(const QString &name)
{
    ensureResourcesRegistered();
    return QFile::exists(Pictures::resourcePath(name));
}

QImage render(const QString &name, QSize devicePixels, const QColor &ground)
{
    if (devicePixels.isEmpty() || !exists(name))
        return {};
    QSvgRenderer renderer(Pictures::resourcePath(name));
    if (!renderer.isValid())
        return {};
    QImage image(devicePixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(devicePixels)));
    painter.end();
    return image;
}

QSize toDevicePixels(QSize size, qreal dpr)
{
    return QSize(qRound(size.width() * dpr), qRound(size.height() * dpr));
}

// Icon sizes that cover menus, title bars, task bars and large views.
constexpr std::array<int, 8> kIconSizes{16, 20, 24, 32, 48, 64, 128, 256};

QIcon iconOnGround(const QString &name, const QColor &ground)
{
    QIcon icon;
    for (const int side : kIconSizes) {
        const QImage image = render(name, QSize(side, side), ground);
        if (image.isNull())
            return {};
        // On an opaque ground the alpha channel carries nothing; drop it.
        icon.addPixmap(QPixmap::fromImage(ground.alpha() == 255
                                              ? image.convertToFormat(QImage::Format_RGB32)
                                              : image));
    }
    return icon;
}

} // namespace

namespace Pictures {

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.svg").arg(name);
}

QSize naturalSize(const QString &name)
{
    if (!exists(name))
        return {};
    QSvgRenderer renderer(resourcePath(name));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QPixmap pixmap(const QString &name, QSize size, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1;
    const QImage image = render(name, toDevicePixels(size, dpr), Qt::transparent);
    if (image.isNull())
        return {};
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(dpr);
    return result;
}

QIcon icon(const QString &name)
{
    return iconOnGround(name, Qt::transparent);
}

QIcon windowIcon()
{
    return icon(QStringLiteral("icon"));
}

QCursor handCursor(qreal dpr)
{
    if (dpr <= 0)
        dpr = 1;
    const QPixmap hand = pixmap(QStringLiteral("cursor-hand"), QSize(32, 32), dpr);
    // The platforms read a pixmap cursor's hot spot in the pixmap's own pixels.
    return QCursor(hand, qRound(6 * dpr), qRound(2 * dpr));
}

QList<QIcon> nodeImages()
{
    // The balls are drawn on white so that every pixel is opaque, whatever the
    // tree's own background.
    const QList<QIcon> balls{
        iconOnGround(QStringLiteral("ball-pink"), Qt::white),
        iconOnGround(QStringLiteral("ball-green"), Qt::white),
        iconOnGround(QStringLiteral("ball-purple"), Qt::white),
    };
    return balls + balls;
}

} // namespace Pictures
