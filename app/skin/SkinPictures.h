#pragma once
// Turns a form's stored pictures into images and the window's shape. Needs Qt Gui.

#include "SkinFile.h"

#include <QImage>
#include <QRegion>
#include <QVector>

// The decoded normal and highlighted pictures of one form at one scale.
struct SkinPicturePair
{
    int scale = 1;
    QImage normal;      // devicePixelRatio == scale
    QImage highlighted; // devicePixelRatio == scale
};

// A form's pictures, decoded when first needed: decoding a large picture costs more than
// reading the whole file, and a screen at scale 1 never needs the scale-2 pictures.
class SkinPictureSet
{
public:
    SkinPictureSet() = default;
    // Decodes the scale-1 pictures of `form` and those best suited to `devicePixelRatio`, and
    // fills form.shape from the scale-1 normal picture's alpha (alpha 0 lies outside the
    // window). Throws SkinError naming `fileName` if one of them cannot be decoded.
    static SkinPictureSet decode(SkinForm &form, const QString &fileName,
                                 qreal devicePixelRatio = 1);

    // The pair for a screen of `devicePixelRatio`: the smallest scale that reaches it, else the
    // largest there is; decoded now if it was not yet. A pair that fails to decode here gives
    // way to the best one already decoded. Null only for an empty set.
    const SkinPicturePair *best(qreal devicePixelRatio);

private:
    int scaleFor(qreal devicePixelRatio) const;
    const SkinPicturePair *decoded(int scale) const;
    const SkinPicturePair &decodePair(int scale); // throws SkinError

    QString m_fileName;
    SkinForm m_form; // the stored pictures and the size; objects are not needed here
    QVector<int> m_failedScales;
    QVector<SkinPicturePair> m_pairs;
};

// The opaque runs of `image` (alpha > 0), in image pixels.
SkinShape shapeFromAlpha(const QImage &image);
// The same shape as a region, for QWidget::setMask.
QRegion regionFromShape(const SkinShape &shape);
