#include "SkinPictures.h"

#include <QBuffer>
#include <QImageReader>


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

const SkinPicturePair *SkinPictureSet::decoded(int scale) const
{
    for (const SkinPicturePair &pair : m_pairs) {
        if (pair.scale == scale)
            return &pair;
    }
    return nullptr;
}

const SkinPicturePair &SkinPictureSet::decodePair(int scale)
{
    if (const SkinPicturePair *pair = decoded(scale))
        return *pair;
    const SkinPicture *normal = m_form.picture(SkinPictureRole::Normal, scale);
    const SkinPicture *highlighted = m_form.picture(SkinPictureRole::Highlighted, scale);
    Q_ASSERT(normal && highlighted); // the reader lets no form without both through
    SkinPicturePair pair;
    pair.scale = scale;
    pair.normal = decodePicture(m_form, *normal, m_fileName);
    pair.highlighted = decodePicture(m_form, *highlighted, m_fileName);
    m_pairs.append(std::move(pair));
    return m_pairs.last();
}

const SkinPicturePair *SkinPictureSet::best(qreal devicePixelRatio)
{
    if (m_pairs.isEmpty())
        return nullptr;
    while (true) {
        const int scale = scaleFor(devicePixelRatio);
        if (const SkinPicturePair *pair = decoded(scale))
            return pair;
        try {
            return &decodePair(scale);
        } catch (const SkinError &) {
            // Painting cannot stop the program; the scale-1 pair is always there.
            m_failedScales.append(scale);
        }
    }
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
