#include "SkinPictures.h"

#include <QBuffer>
#include <QImageReader>

#include <cstring>

#include <zlib.h>

namespace {

// Enough for the largest picture the format allows (4096 x 4096 at scale 2, 32 bits a pixel).
constexpr int DecodeLimitMiB = 4096 * 4096 * 4 * 4 / (1024 * 1024);

QString roleName(SkinPictureRole role)
{
    return role == SkinPictureRole::Normal ? QStringLiteral("普通") : QStringLiteral("高亮");
}

SkinError undecodable(const SkinForm &form, const SkinPicture &picture, const QString &fileName,
                      const QString &reason)
{
    return SkinError(QStringLiteral("皮肤文件“%1”已损坏：窗体“%2”的 %3 倍%4图片无法解码%5。")
                         .arg(fileName, form.name)
                         .arg(picture.scale)
                         .arg(roleName(picture.role))
                         .arg(reason.isEmpty() ? QString() : QStringLiteral("（%1）").arg(reason)));
}

QImage decodePicture(const SkinForm &form, const SkinPicture &picture, const QString &fileName)
{
    QByteArray png = picture.png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    // The reader has already found a PNG signature. Left to detect the format itself, Qt
    // would load every image format plugin to ask whether it reads this one better.
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(DecodeLimitMiB);
    const QSize expected(form.width * picture.scale, form.height * picture.scale);
    QImage image;
    if (reader.size() == expected)
        image = reader.read();
    if (image.isNull() || image.size() != expected)
        throw undecodable(form, picture, fileName, reader.errorString());
    // In place: the decoded picture is not needed in its own format.
    image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(picture.scale);
    return image;
}

// CRC-32 as PNG computes it over a chunk's type and data: zlib's.
quint32 pngCrc(const uchar *data, quint32 size)
{
    return quint32(crc32(0L, data, size));
}

quint32 bigEndian32(const uchar *at)
{
    return quint32(at[0]) << 24 | quint32(at[1]) << 16 | quint32(at[2]) << 8 | quint32(at[3]);
}

// Why `png` is not a whole PNG stream, or an empty string if it is: every chunk lies within
// the bytes with the right checksum, and image data and the end chunk are there. This finds
// a cut-short or altered picture at a fraction of the cost of decoding it; the reader has
// already checked the signature and the size in the header.
QString pngDamage(const QByteArray &png)
{
    constexpr qsizetype SignatureBytes = 8;
    const auto *bytes = reinterpret_cast<const uchar *>(png.constData());
    qsizetype at = SignatureBytes;
    bool imageData = false;
    while (true) {
        // length, type, data, checksum
        if (png.size() - at < 12)
            return QStringLiteral("数据不完整");
        const quint32 length = bigEndian32(bytes + at);
        if (length > quint32(png.size() - at - 12))
            return QStringLiteral("数据不完整");
        const uchar *type = bytes + at + 4;
        if (pngCrc(type, 4 + length) != bigEndian32(type + 4 + length))
            return QStringLiteral("校验和不符");
        if (std::memcmp(type, "IDAT", 4) == 0)
            imageData = true;
        if (std::memcmp(type, "IEND", 4) == 0)
            return imageData ? QString() : QStringLiteral("没有图像数据");
        at += 12 + qsizetype(length);
    }
}

void checkPicture(const SkinForm &form, const SkinPicture &picture, const QString &fileName)
{
    const QString damage = pngDamage(picture.png);
    if (!damage.isEmpty())
        throw undecodable(form, picture, fileName, damage);
}

} // namespace

SkinPictureSet SkinPictureSet::decode(SkinForm &form, const QString &fileName,
                                      qreal devicePixelRatio)
{
    SkinPictureSet set;
    set.m_fileName = fileName;
    set.m_form.name = form.name;
    set.m_form.width = form.width;
    set.m_form.height = form.height;
    set.m_form.pictures = form.pictures;
    form.shape = shapeFromAlpha(set.decodePair(1).normal);
    set.decodePair(set.scaleFor(devicePixelRatio));
    return set;
}

int SkinPictureSet::scaleFor(qreal devicePixelRatio) const
{
    int best = 0;
    for (const SkinPicture &p : m_form.pictures) {
        if (p.role != SkinPictureRole::Normal || m_failedScales.contains(p.scale))
            continue;
        const bool reaches = p.scale >= devicePixelRatio;
        const bool bestReaches = best >= devicePixelRatio;
        if (best == 0 || (reaches && (!bestReaches || p.scale < best))
            || (!reaches && !bestReaches && p.scale > best))
            best = p.scale;
    }
    return best;
}

SkinPicturePair *SkinPictureSet::decoded(int scale)
{
    for (SkinPicturePair &pair : m_pairs) {
        if (pair.scale == scale)
            return &pair;
    }
    return nullptr;
}

SkinPicturePair &SkinPictureSet::decodePair(int scale)
{
    if (SkinPicturePair *pair = decoded(scale))
        return *pair;
    const SkinPicture *normal = m_form.picture(SkinPictureRole::Normal, scale);
    const SkinPicture *highlighted = m_form.picture(SkinPictureRole::Highlighted, scale);
    Q_ASSERT(normal && highlighted); // the reader lets no form without both through
    SkinPicturePair pair;
    pair.scale = scale;
    pair.normal = decodePicture(m_form, *normal, m_fileName);
    checkPicture(m_form, *highlighted, m_fileName);
    m_pairs.append(std::move(pair));
    return m_pairs.last();
}

void SkinPictureSet::decodeHighlighted(SkinPicturePair &pair)
{
    if (!pair.highlighted.isNull())
        return;
    const SkinPicture *highlighted = m_form.picture(SkinPictureRole::Highlighted, pair.scale);
    Q_ASSERT(highlighted);
    pair.highlighted = decodePicture(m_form, *highlighted, m_fileName);
}

const SkinPicturePair *SkinPictureSet::best(qreal devicePixelRatio, SkinPictureNeed need)
{
    if (m_pairs.isEmpty())
        return nullptr;
    while (true) {
        const int scale = scaleFor(devicePixelRatio);
        try {
            SkinPicturePair &pair = decodePair(scale);
            if (need == SkinPictureNeed::NormalAndHighlighted)
                decodeHighlighted(pair);
            return &pair;
        } catch (const SkinError &) {
            // Painting cannot stop the program. The scale-1 normal picture is always there
            // (decode() made it); anything else that fails gives way to it.
            if (scale != 1) {
                m_failedScales.append(scale);
                continue;
            }
            SkinPicturePair &pair = *decoded(1);
            pair.highlighted = pair.normal;
            return &pair;
        }
    }
}

SkinShape shapeFromAlpha(const QImage &image)
{
    // Alpha is stored alike in both 32-bit ARGB formats; only other formats need converting.
    const bool argbAlready = image.format() == QImage::Format_ARGB32
        || image.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage argb = argbAlready ? image : image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    QVector<SkinRun> runs;
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        int x = 0;
        while (x < width) {
            while (x < width && qAlpha(line[x]) == 0)
                ++x;
            const int left = x;
            while (x < width && qAlpha(line[x]) != 0)
                ++x;
            if (x > left)
                runs.append(SkinRun{y, left, x});
        }
    }
    return SkinShape(std::move(runs));
}

QRegion regionFromShape(const SkinShape &shape)
{
    QVector<QRect> rects;
    rects.reserve(shape.runs().size());
    for (const SkinRun &run : shape.runs())
        rects.append(QRect(run.left, run.y, run.right - run.left, 1));
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}
