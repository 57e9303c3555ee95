#include "SkinPictures.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace {

// Enough for the largest picture the format allows (4096 x 4096 at scale 2, 32 bits a pixel).
constexpr int DecodeLimitMiB = 4096 * 4096 * 4 * 4 / (1024 * 1024);

QImage decodePicture(const SkinForm &form, const SkinPicture &picture, const QString &fileName)
{
    QByteArray png = picture.png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAllocationLimit(DecodeLimitMiB);
    const QSize expected(form.width * picture.scale, form.height * picture.scale);
    QImage image;
    if (reader.size() == expected)
        image = reader.read();
    if (image.isNull() || image.size() != expected)
        throw SkinError(QStringLiteral("皮肤文件“%1”已损坏：窗体“%2”的 %3 倍%4图片无法解码%5。")
                            .arg(fileName, form.name)
                            .arg(picture.scale)
                            .arg(picture.role == SkinPictureRole::Normal ? QStringLiteral("普通")
                                                                         : QStringLiteral("高亮"))
                            .arg(reader.errorString().isEmpty()
                                     ? QString()
                                     : QStringLiteral("（%1）").arg(reader.errorString())));
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(picture.scale);
    return image;
}

} // namespace

SkinPictureSet SkinPictureSet::decode(SkinForm &form, const QString &fileName)
{
    SkinPictureSet set;
    for (const SkinPicture &p : std::as_const(form.pictures)) {
        if (p.role != SkinPictureRole::Normal)
            continue;
        const SkinPicture *highlighted = form.picture(SkinPictureRole::Highlighted, p.scale);
        if (!highlighted)
            continue; // the reader does not let this happen
        SkinPicturePair pair;
        pair.scale = p.scale;
        pair.normal = decodePicture(form, p, fileName);
        pair.highlighted = decodePicture(form, *highlighted, fileName);
        if (p.scale == 1)
            form.shape = shapeFromAlpha(pair.normal);
        set.m_pairs.append(std::move(pair));
    }
    std::sort(set.m_pairs.begin(), set.m_pairs.end(),
              [](const SkinPicturePair &a, const SkinPicturePair &b) { return a.scale < b.scale; });
    return set;
}

const SkinPicturePair *SkinPictureSet::best(qreal devicePixelRatio) const
{
    for (const SkinPicturePair &pair : m_pairs) {
        if (pair.scale >= devicePixelRatio)
            return &pair;
    }
    return m_pairs.isEmpty() ? nullptr : &m_pairs.last();
}

SkinShape shapeFromAlpha(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QVector<SkinRun> runs;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        int x = 0;
        while (x < argb.width()) {
            while (x < argb.width() && qAlpha(line[x]) == 0)
                ++x;
            const int left = x;
            while (x < argb.width() && qAlpha(line[x]) != 0)
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
