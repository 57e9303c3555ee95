// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a form's stored pictures into images and the window's shape. Needs Qt Gui.

#include "skin/SkinFile.h"

#include <QImage>
#include <QRegion>
#include <QVector>

#include <optional>

// The decoded normal and highlighted pictures of one form at one scale.
struct SkinPicturePair
{
    int scale = 1;
    QImage normal;      // devicePixelRatio == scale
    QImage highlighted; // devicePixelRatio == scale; null until it is asked for (see best())
};

// What a caller of SkinPictureSet::best() is about to draw.
enum class SkinPictureNeed { NormalOnly, NormalAndHighlighted };

// A form's pictures, decoded when first needed: decoding a large picture costs more than
// reading the whole file, a screen at scale 1 never needs the scale-2 pictures, and the
// highlighted picture is not needed until the pointer first rests on an object.
class SkinPictureSet
{
public:
    SkinPictureSet() = default;
    // Decodes the scale-1 normal picture of `form` and the one best suited to
    // `devicePixelRatio`, and fills form.shape from the scale-1 normal picture's alpha (alpha 0
    // lies outside the window). The highlighted pictures of those scales are checked whole
    // (every PNG chunk present, every checksum right) but decoded only when first needed.
    // Throws SkinError naming `fileName` if one of these pictures is damaged, or if the shape is
    // empty (a fully transparent picture) or has more than SkinLimits::MaxShapeRuns runs.
    static SkinPictureSet decode(SkinForm &form, const QString &fileName,
                                 qreal devicePixelRatio = 1);

    // The pair for a screen of `devicePixelRatio`: the smallest scale that reaches it, else the
    // largest there is; its pictures are decoded now if they were not yet. With
    // SkinPictureNeed::NormalOnly the highlighted picture may still be null. A pair that fails
    // to decode here gives way to the best one already decoded; where none can stand in for a
    // highlighted picture, the normal picture does (no highlight rather than no window). Null
    // only for an empty set.
    const SkinPicturePair *best(qreal devicePixelRatio,
                                SkinPictureNeed need = SkinPictureNeed::NormalAndHighlighted);

private:
    int scaleFor(qreal devicePixelRatio) const;
    SkinPicturePair *decoded(int scale);
    SkinPicturePair &decodePair(int scale);      // the normal picture; throws SkinError
    void decodeHighlighted(SkinPicturePair &pair); // throws SkinError

    QString m_fileName;
    SkinForm m_form; // the stored pictures and the size; objects are not needed here
    QVector<int> m_failedScales;
    QVector<SkinPicturePair> m_pairs;
};

// The opaque runs of `image` (alpha > 0), in image pixels; none if there are more than
// `maxRuns`, found as soon as the run after the last allowed one is.
std::optional<SkinShape> shapeFromAlpha(const QImage &image,
                                        int maxRuns = SkinLimits::MaxShapeRuns);
// The same shape as a region, for QWidget::setMask.
QRegion regionFromShape(const SkinShape &shape);
