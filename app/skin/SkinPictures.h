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

class SkinPictureSet
{
public:
    SkinPictureSet() = default;
    // Decodes every picture of `form` and fills form.shape from the scale-1 normal picture's
    // alpha (alpha 0 lies outside the window). Throws SkinError naming `fileName`.
    static SkinPictureSet decode(SkinForm &form, const QString &fileName);

    // The pair best suited to a screen of `devicePixelRatio`: the smallest scale that reaches
    // it, else the largest there is. Null if nothing is decoded.
    const SkinPicturePair *best(qreal devicePixelRatio) const;
    bool isEmpty() const { return m_pairs.isEmpty(); }

private:
    QVector<SkinPicturePair> m_pairs; // sorted by scale
};

// The opaque runs of `image` (alpha > 0), in image pixels.
SkinShape shapeFromAlpha(const QImage &image);
// The same shape as a region, for QWidget::setMask.
QRegion regionFromShape(const SkinShape &shape);
