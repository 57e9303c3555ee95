// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/Pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QResource>

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

// Asked before the picture is read, so that an unknown name gives a null result quietly instead
// of a warning from the image reader.
bool exists(const QString &name)
{
    ensureResourcesRegistered();
    return QFile::exists(Pictures::resourcePath(name));
}

// The pictures are drawn by Qt's SVG image plugin, which loads the SVG library the first time a
// picture is drawn instead of with the program: the first frame shows only pictures drawn at
// build time (prerenderedPath), and loading the library took a part of the start-up of its own.
// The plugin renders as QSvgRenderer does, antialiased, filling the image it is asked for.
QImageReader svgReader(const QString &name)
{
    return QImageReader(Pictures::resourcePath(name), QByteArrayLiteral("svg"));
}

QImage render(const QString &name, QSize devicePixels, const QColor &ground)
{
    if (devicePixels.isEmpty() || !exists(name))
        return {};
    QImageReader reader = svgReader(name);
    reader.setScaledSize(devicePixels);
    reader.setBackgroundColor(ground);
    QImage image = reader.read();
    if (image.isNull()) {
        qWarning("Pictures: cannot draw %s (%s)", qPrintable(name), qPrintable(reader.errorString()));
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QSize toDevicePixels(QSize size, qreal dpr)
{
    return QSize(qRound(size.width() * dpr), qRound(size.height() * dpr));
}

// A picture drawn at build time (Pictures::prerenderedPath, prerenderedBytes), when the program
// holds one of `devicePixels`; else a null image. A file written on a machine of the other byte
// order does not match its header and is passed over.
// The image reads its pixels where they are stored (read-only: painting on it would copy them
// first), so showing the picture neither copies nor adds their size to the program's memory.
QImage prerenderedImage(const QString &path, QSize devicePixels)
{
    if (path.isEmpty() || devicePixels.isEmpty())
        return {};
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    // The pixels of an uncompressed resource lie in the program itself for as long as it runs.
    auto bytes = std::make_unique<QByteArray>(
        resource.compressionAlgorithm() == QResource::NoCompression
            ? QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size())
            : resource.uncompressedData());
    const QByteArray header = Pictures::prerenderedHeader(devicePixels);
    const qsizetype pixelBytes = qsizetype(devicePixels.width()) * devicePixels.height() * 4;
    if (bytes->size() != header.size() + pixelBytes || !bytes->startsWith(header))
        return {};
    const auto *pixels = reinterpret_cast<const uchar *>(bytes->constData() + header.size());
    QByteArray *owner = bytes.release();
    return QImage(
        pixels, devicePixels.width(), devicePixels.height(), devicePixels.width() * 4,
        QImage::Format_ARGB32_Premultiplied, [](void *held) { delete static_cast<QByteArray *>(held); },
        owner);
}

// An icon that reads and draws its picture at a size only when that size is first asked for. A
// window or a tree shows an icon at one or two sizes, and drawing every size it might be asked
// for up front took longer than the rest of the start-up's own work; the window icon's sizes
// are drawn at build time, so making the window draws none.
class LazySvgIconEngine : public QIconEngine
{
public:
    // `prerendered`: the picture's name where sizes of it drawn at build time may be stored
    // (only for a transparent ground, as Pictures::pixmap draws them); empty for none.
    LazySvgIconEngine(const QString &name, const QColor &ground, const QString &prerendered)
        : m_name(name), m_ground(ground), m_prerendered(prerendered),
          m_defaultSize(std::make_shared<QSize>())
    {
    }

    // The picture keeps its proportions within the size asked for. A size drawn at build time
    // is one the picture fills (the window icon is square), so its proportions need not be read.
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const QString stored = prerenderedPath(size);
        if (!stored.isEmpty() && QResource(stored).isValid())
            return size;
        return defaultSize().scaled(size, Qt::KeepAspectRatio);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize drawn = actualSize(size, mode, state);
        if (drawn.isEmpty())
            return {};
        if (!m_drawnSizes.contains(drawn)) {
            QImage image = prerenderedImage(prerenderedPath(drawn), drawn);
            if (image.isNull())
                image = render(m_name, drawn, m_ground);
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
    bool isNull() override { return false; } // made only for a picture the program holds

private:
    QString prerenderedPath(QSize size) const
    {
        return m_prerendered.isEmpty() ? QString() : Pictures::prerenderedPath(m_prerendered, size, 1);
    }

    // The picture's own size, read once and shared by the icon's copies.
    QSize defaultSize()
    {
        if (m_defaultSize->isEmpty())
            *m_defaultSize = svgReader(m_name).size();
        return *m_defaultSize;
    }

    QString m_name;
    QColor m_ground;
    QString m_prerendered;
    std::shared_ptr<QSize> m_defaultSize;
    QIcon m_drawn;
    QList<QSize> m_drawnSizes;
};

QIcon iconOnGround(const QString &name, const QColor &ground)
{
    if (!exists(name))
        return {};
    const bool transparent = ground.alpha() == 0;
    return QIcon(new LazySvgIconEngine(name, ground, transparent ? name : QString()));
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
