// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>

#include <memory>

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

QImage render(QSvgRenderer &renderer, QSize devicePixels, const QColor &ground)
{
    QImage image(devicePixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(devicePixels)));
    painter.end();
    return image;
}

QImage render(const QString &name, QSize devicePixels, const QColor &ground)
{
    if (devicePixels.isEmpty() || !exists(name))
        return {};
    QSvgRenderer renderer(Pictures::resourcePath(name));
    if (!renderer.isValid())
        return {};
    return render(renderer, devicePixels, ground);
}

QSize toDevicePixels(QSize size, qreal dpr)
{
    return QSize(qRound(size.width() * dpr), qRound(size.height() * dpr));
}

// A picture drawn at build time (Pictures::prerenderedPath, prerenderedBytes), when the program
// holds one of `devicePixels`; else a null image. A file written on a machine of the other byte
// order does not match its header and is passed over.
QImage prerenderedImage(const QString &path, QSize devicePixels)
{
    if (path.isEmpty() || devicePixels.isEmpty())
        return {};
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    const QByteArray bytes = resource.compressionAlgorithm() == QResource::NoCompression
        ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size())
        : resource.uncompressedData();
    const QByteArray header = Pictures::prerenderedHeader(devicePixels);
    const qsizetype pixelBytes = qsizetype(devicePixels.width()) * devicePixels.height() * 4;
    if (bytes.size() != header.size() + pixelBytes || !bytes.startsWith(header))
        return {};
    const QImage stored(reinterpret_cast<const uchar *>(bytes.constData() + header.size()),
                        devicePixels.width(), devicePixels.height(), devicePixels.width() * 4,
                        QImage::Format_ARGB32_Premultiplied);
    return stored.copy(); // its own pixels: `bytes` may go
}

// An icon that draws its picture at a size only when that size is first asked for. A window
// or a tree shows an icon at one or two sizes, and drawing every size it might be asked for
// up front took longer than the rest of the start-up's own work.
class LazySvgIconEngine : public QIconEngine
{
public:
    // `prerendered`: the picture's name where sizes of it drawn at build time may be stored
    // (only for a transparent ground, as Pictures::pixmap draws them); empty for none.
    LazySvgIconEngine(std::shared_ptr<QSvgRenderer> renderer, const QColor &ground,
                      const QString &prerendered)
        : m_renderer(std::move(renderer)), m_ground(ground), m_prerendered(prerendered)
    {
    }

    // The picture keeps its proportions within the size asked for.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return m_renderer->defaultSize().scaled(size, Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize drawn = actualSize(size, mode, state);
        if (drawn.isEmpty())
            return {};
        if (!m_drawnSizes.contains(drawn)) {
            QImage image = prerenderedImage(
                m_prerendered.isEmpty() ? QString() : Pictures::prerenderedPath(m_prerendered, drawn, 1),
                drawn);
            if (image.isNull())
                image = render(*m_renderer, drawn, m_ground);
            // On an opaque ground the alpha channel carries nothing; drop it.
            m_drawn.addPixmap(QPixmap::fromImage(
                m_ground.alpha() == 255 ? image.convertToFormat(QImage::Format_RGB32) : image));
            m_drawnSizes.append(drawn);
        }
        // The drawn sizes make an ordinary icon, which also gives the disabled and selected
        // looks the platform expects. The size is there, so it comes back as drawn.
        return m_drawn.pixmap(drawn, 1.0, mode, state);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice *device = painter->device();
        const qreal dpr = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        // QIcon::paint has already fitted `rect` to the picture's proportions.
        painter->drawPixmap(rect, pixmap(rect.size() * dpr, mode, state));
    }

    QIconEngine *clone() const override { return new LazySvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("PellomirSvg"); }
    bool isNull() override { return false; } // made only for a picture that parsed

private:
    std::shared_ptr<QSvgRenderer> m_renderer; // parsed once, shared by the icon's copies
    QColor m_ground;
    QString m_prerendered;
    QIcon m_drawn;
    QList<QSize> m_drawnSizes;
};

QIcon iconOnGround(const QString &name, const QColor &ground)
{
    if (!exists(name))
        return {};
    auto renderer = std::make_shared<QSvgRenderer>(Pictures::resourcePath(name));
    if (!renderer->isValid())
        return {};
    const bool transparent = ground.alpha() == 0;
    return QIcon(new LazySvgIconEngine(std::move(renderer), ground, transparent ? name : QString()));
}

} // namespace

namespace Pictures {

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/pictures/%1.svg").arg(name);
}

QString prerenderedPath(const QString &name, QSize size, qreal dpr)
{
    if (dpr <= 0 || dpr != qRound(dpr))
        return {};
    return QStringLiteral(":/prerendered/%1-%2x%3@%4x.argb32")
        .arg(name)
        .arg(size.width())
        .arg(size.height())
        .arg(qRound(dpr));
}

QPixmap pixmap(const QString &name, QSize size, qreal dpr)
{
    if (dpr <= 0)
        dpr = 1;
    // Rendering a large picture with text in it took longer than all the rest of the window's
    // first frame, and decoding it from PNG nearly as long; its pixels as stored take a copy.
    QImage image = prerenderedImage(prerenderedPath(name, size, dpr), toDevicePixels(size, dpr));
    if (image.isNull())
        return renderedPixmap(name, size, dpr);
    QPixmap result = QPixmap::fromImage(std::move(image));
    result.setDevicePixelRatio(dpr);
    return result;
}

QByteArray prerenderedHeader(QSize devicePixels)
{
    QByteArray header("PELLOPIX");
    const quint32 size[2] = {quint32(devicePixels.width()), quint32(devicePixels.height())};
    header.append(reinterpret_cast<const char *>(size), sizeof size); // in this machine's order
    return header;
}

QByteArray prerenderedBytes(const QImage &image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray bytes = prerenderedHeader(pixels.size());
    for (int y = 0; y < pixels.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), pixels.width() * 4);
    return bytes;
}

QPixmap renderedPixmap(const QString &name, QSize size, qreal dpr)
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
