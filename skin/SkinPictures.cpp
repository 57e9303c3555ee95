// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/SkinPictures.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstring>

#include <zlib.h>

namespace {

// Enough for the largest picture the format allows (SkinLimits: 1024 x 1024 window pixels at
// scale 3), decoded at up to 8 bytes a pixel as a 16-bit picture is.
constexpr int DecodeLimitMiB =
    int(qint64(SkinLimits::MaxFormSide) * SkinLimits::MaxPictureScale * SkinLimits::MaxFormSide
        * SkinLimits::MaxPictureScale * 8 / (1024 * 1024));

QString roleName(SkinPictureRole role)
{
    return role == SkinPictureRole::Normal ? QStringLiteral("普通") : QStringLiteral("高亮");
}

SkinError undecodable(const SkinForm &form, const SkinPicture &picture, const QString &fileName,
                      const QString &reason)
{
    return SkinError(QStringLiteral("皮肤文件“%1”已损坏：窗体“%2”的 %3 倍%4图片无法解码（%5）。")
                         .arg(fileName, form.name)
                         .arg(picture.scale)
                         .arg(roleName(picture.role), reason));
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

bool isLetter(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A chunk as a message names it: its type where that is four letters, else its place.
QString chunkName(const uchar *type, int index)
{
    if (std::all_of(type, type + 4, isLetter))
        return QStringLiteral("“%1”块").arg(QLatin1String(reinterpret_cast<const char *>(type), 4));
    return QStringLiteral("第 %1 个块").arg(index);
}

// Why the header chunk's fields are not a picture PNG allows, or an empty string.
QString headerDamage(const uchar *data, quint32 length)
{
    if (length != 13)
        return QStringLiteral("文件头块的长度 %1 字节应为 13 字节").arg(length);
    const int depth = data[8];
    const int colourType = data[9];
    // The bit depths each colour type allows.
    const QVector<int> depths = colourType == 0 ? QVector<int>{1, 2, 4, 8, 16}
        : colourType == 3                     ? QVector<int>{1, 2, 4, 8}
        : (colourType == 2 || colourType == 4 || colourType == 6) ? QVector<int>{8, 16}
                                                                  : QVector<int>{};
    if (!depths.contains(depth))
        return QStringLiteral("位深 %1 与颜色类型 %2 不是 PNG 允许的组合").arg(depth).arg(colourType);
    if (data[10] != 0 || data[11] != 0 || data[12] > 1)
        return QStringLiteral("压缩方式 %1、过滤方式 %2 或隔行方式 %3 未知")
            .arg(data[10])
            .arg(data[11])
            .arg(data[12]);
    return {};
}

// Why `png` is not a whole PNG stream that can be decoded, or an empty string: every chunk lies
// within the bytes with the right checksum and a known type where the type says it matters,
// the header's fields are valid, a palette picture has its palette, and image data and the
// end chunk are there. This finds a cut-short or altered picture at a fraction of the cost of
// decoding it, and names the cause; the reader has already checked the signature and the size
// in the header.
QString pngDamage(const QByteArray &png)
{
    constexpr qsizetype SignatureBytes = 8;
    const auto *bytes = reinterpret_cast<const uchar *>(png.constData());
    qsizetype at = SignatureBytes;
    bool palette = false;
    bool imageData = false;
    bool needsPalette = false;
    for (int index = 1;; ++index) {
        // length, type, data, checksum
        if (png.size() - at < 12)
            return QStringLiteral("数据在第 %1 字节处意外结束").arg(png.size());
        const quint32 length = bigEndian32(bytes + at);
        const uchar *type = bytes + at + 4;
        const QString name = chunkName(type, index);
        if (length > quint32(png.size() - at - 12))
            return QStringLiteral("%1长 %2 字节，超出余下的 %3 字节")
                .arg(name)
                .arg(length)
                .arg(png.size() - at - 12);
        if (pngCrc(type, 4 + length) != bigEndian32(type + 4 + length))
            return QStringLiteral("%1的校验和不符").arg(name);
        if (!std::all_of(type, type + 4, isLetter))
            return QStringLiteral("%1的类型不是四个字母").arg(name);
        const uchar *data = type + 4;
        if (index == 1) {
            // The reader found "IHDR" here.
            const QString damage = headerDamage(data, length);
            if (!damage.isEmpty())
                return damage;
            needsPalette = data[9] == 3;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            palette = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (needsPalette && !palette)
                return QStringLiteral("调色板图片在图像数据之前没有调色板");
            imageData = true;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            return imageData ? QString() : QStringLiteral("没有图像数据");
        } else if (type[0] >= 'A' && type[0] <= 'Z') {
            // An upper-case first letter marks a chunk a reader must understand.
            return QStringLiteral("%1是未知的关键块").arg(name);
        }
        at += 12 + qsizetype(length);
    }
}

QImage decodePicture(const SkinForm &form, const SkinPicture &picture, const QString &fileName)
{
    const QString damage = pngDamage(picture.png);
    if (!damage.isEmpty())
        throw undecodable(form, picture, fileName, damage);
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
    // The chunks are whole and sound, so what is left to fail is the compressed pixel data
    // itself; Qt's own reason would only be "unknown error".
    if (image.isNull() || image.size() != expected)
        throw undecodable(form, picture, fileName,
                          QStringLiteral("压缩的像素数据已损坏或不完整"));
    // In place: the decoded picture is not needed in its own format.
    image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(picture.scale);
    return image;
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
    std::optional<SkinShape> shape = shapeFromAlpha(set.decodePair(1).normal);
    if (!shape)
        throw SkinError(QStringLiteral("皮肤文件“%1”已损坏：窗体“%2”的窗口形状由超过 %3 段不透明的像素组成，"
                                       "超出上限。")
                            .arg(fileName, form.name)
                            .arg(SkinLimits::MaxShapeRuns));
    // A window without a single opaque pixel could be neither seen nor found, yet its
    // objects would still take clicks.
    if (shape->isEmpty())
        throw SkinError(QStringLiteral("皮肤文件“%1”已损坏：窗体“%2”的 1 倍普通图片完全透明，"
                                       "窗口没有可显示的部分。")
                            .arg(fileName, form.name));
    form.shape = std::move(*shape);
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

std::optional<SkinShape> shapeFromAlpha(const QImage &image, int maxRuns)
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
            if (x > left) {
                if (runs.size() == maxRuns)
                    return std::nullopt;
                runs.append(SkinRun{y, left, x});
            }
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
