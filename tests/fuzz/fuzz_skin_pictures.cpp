// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer entry for a skin's pictures: the input is the bytes of one picture, PNG or not. They
// go into a one-form skin of the size the PNG header gives, as its normal and its highlighted
// picture, and through everything the program does with a skin's pictures: the file reader's
// PNG checks, the chunk walk, the decode and the shape taken from the alpha. Any input must
// either come through all of it or be rejected with a SkinError; what comes through must be a
// consistent window: pictures of the form's size, a shape within the limits whose pixels are
// exactly the opaque ones, and hit tests that agree with it.
//
// A change inside a chunk almost always breaks its checksum, and the chunk walk stops there. So
// for inputs of even length every chunk's checksum is made right first, and the change reaches
// the header checks and the decoder; inputs of odd length keep theirs, for the checksum check.

#include "skin/SkinFile.h"
#include "skin/SkinPictures.h"

#include <cstdio>
#include <cstdlib>

#include <zlib.h>

namespace {

[[noreturn]] void finding(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

quint32 bigEndian32(const uint8_t *at)
{
    return quint32(at[0]) << 24 | quint32(at[1]) << 16 | quint32(at[2]) << 8 | quint32(at[3]);
}

// The window size the picture's header claims, where it is one a form can have; else 1 x 1,
// which the reader then refuses for most inputs.
QSize claimedSize(const uint8_t *data, size_t size)
{
    if (size < 24)
        return QSize(1, 1);
    const quint32 width = bigEndian32(data + 16);
    const quint32 height = bigEndian32(data + 20);
    const auto fits = [](quint32 side) { return side >= 1 && side <= SkinLimits::MaxFormSide; };
    return fits(width) && fits(height) ? QSize(int(width), int(height)) : QSize(1, 1);
}

// `png` with the checksum of every chunk that lies whole within it made right.
void repairChecksums(QByteArray &png)
{
    auto *bytes = reinterpret_cast<uint8_t *>(png.data());
    for (qsizetype at = 8; png.size() - at >= 12;) {
        const quint32 length = bigEndian32(bytes + at);
        if (length > quint32(png.size() - at - 12))
            break;
        const quint32 crc = quint32(crc32(0L, bytes + at + 4, 4 + length));
        for (int i = 0; i < 4; ++i)
            bytes[at + 8 + length + i] = uint8_t(crc >> (24 - 8 * i));
        at += 12 + qsizetype(length);
    }
}

void checkShape(const SkinForm &form, const QImage &normal)
{
    const QVector<SkinRun> &runs = form.shape.runs();
    if (runs.isEmpty() || runs.size() > SkinLimits::MaxShapeRuns)
        finding("a shape that is empty or over the limit came through");
    const SkinRun *previous = nullptr;
    for (const SkinRun &run : runs) {
        if (run.y < 0 || run.y >= form.height || run.left < 0 || run.left >= run.right
            || run.right > form.width)
            finding("a run lies outside the form");
        if (previous && (run.y < previous->y || (run.y == previous->y && run.left <= previous->right)))
            finding("runs out of order, touching or overlapping");
        previous = &run;
    }
    // Every pixel of a small picture, else of a few rows (the first, the middle, the last),
    // against the shape, the region the window is masked with, and the hit test.
    const QRegion region = regionFromShape(form.shape);
    QVector<int> rows{0, form.height / 2, form.height - 1};
    if (form.width * form.height <= 256 * 256) {
        rows.clear();
        for (int y = 0; y < form.height; ++y)
            rows.append(y);
    }
    for (const int y : std::as_const(rows)) {
        for (int x = 0; x < form.width; ++x) {
            const QPoint point(x, y);
            const bool opaque = qAlpha(normal.pixel(point)) != 0;
            if (form.shape.contains(point) != opaque || region.contains(point) != opaque)
                finding("the shape disagrees with the picture's alpha");
            if ((hitTest(form, point) != nullptr) != opaque)
                finding("the hit test disagrees with the shape");
        }
    }
    for (const QPoint outside : {QPoint(-1, 0), QPoint(form.width, 0), QPoint(0, form.height)}) {
        if (form.shape.contains(outside) || hitTest(form, outside))
            finding("a point outside the form is inside the shape");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray picture(reinterpret_cast<const char *>(data), qsizetype(size));
    if (size % 2 == 0)
        repairChecksums(picture);
    const QSize windowSize = claimedSize(data, size);
    SkinForm form;
    form.name = QStringLiteral("Simple");
    form.width = windowSize.width();
    form.height = windowSize.height();
    form.pictures = {{SkinPictureRole::Normal, 1, picture},
                     {SkinPictureRole::Highlighted, 1, picture}};
    form.objects = {{QStringLiteral("SkinFreeForm Object"), SkinObjectType::FreeForm, 0, 0,
                     form.width, form.height}};
    try {
        // Written and read back: the reader's checks on the picture's signature, size and header.
        SkinData skin;
        skin.forms = {form};
        form = readSkin(writeSkin(skin), QStringLiteral("fuzz")).forms.first();
    } catch (const SkinError &) {
        return 0;
    }

    SkinPictureSet pictures;
    try {
        pictures = SkinPictureSet::decode(form, QStringLiteral("fuzz"));
    } catch (const SkinError &) {
        return 0;
    }
    // Drawing never throws: a highlighted picture that fails to decode now gives way.
    const SkinPicturePair *pair = pictures.best(1);
    if (!pair || pair->scale != 1 || pair->normal.size() != windowSize
        || pair->highlighted.size() != windowSize)
        finding("the decoded pictures are not of the form's size");
    checkShape(form, pair->normal);
    return 0;
}
