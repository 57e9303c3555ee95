// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextFonts.h"

#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLayout>

namespace TextFonts {

namespace {

// The first of `families` that is installed and draws the pinyin letters, or none.
QString firstDrawingPinyin(std::initializer_list<const char *> families, double pointSize)
{
    const QStringList installed = QFontDatabase::families();
    for (const char *candidate : families) {
        const QString family = QString::fromUtf8(candidate);
        if (!installed.contains(family, Qt::CaseInsensitive))
            continue;
        QFont font(family);
        font.setPointSizeF(pointSize);
        if (drawsAll(font, PinyinLetters))
            return family;
    }
    return {};
}

} // namespace

namespace {

// Whether `letter`, laid out alone in `font`, leaves ink: in whichever font the layout draws it
// with, a fallback font too.
bool inkedInLayout(const QFont &font, const QString &letter)
{
    QTextLayout layout(letter, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns()) {
        for (const quint32 glyph : run.glyphIndexes()) {
            if (!run.rawFont().pathForGlyph(glyph).isEmpty())
                return true;
        }
    }
    return false;
}

} // namespace

bool drawsAll(const QFont &font, const QString &text)
{
    // A letter the font has is drawn with the font's own glyph, whose measures tell whether it
    // has ink (no outline to load, no layout to make: both cost a noticeable part of the start).
    // Only a letter the font lacks is laid out, to find the fallback font that would draw it.
    const QRawFont own = QRawFont::fromFont(font);
    // One letter at a time: a layout of the whole text would hide an empty one among others.
    for (const uint codePoint : text.toUcs4()) {
        const QString letter = QString::fromUcs4(reinterpret_cast<const char32_t *>(&codePoint), 1);
        quint32 glyph = 0;
        int glyphs = 1;
        const bool hasOwn = own.isValid() && own.glyphIndexesForChars(letter.constData(), int(letter.size()), &glyph, &glyphs)
            && glyphs == 1 && glyph != 0;
        if (hasOwn ? own.boundingRect(glyph).isEmpty() : !inkedInLayout(font, letter))
            return false;
    }
    return true;
}

QFont application()
{
    QFont font;
    font.setPointSizeF(9);
    if (drawsAll(font, PinyinLetters))
        return font;
    const QString cjk = firstDrawingPinyin({"Noto Sans CJK SC", "Source Han Sans SC", "Microsoft YaHei",
                                            "PingFang SC"},
                                           font.pointSizeF());
    if (!cjk.isEmpty())
        font.setFamilies({cjk, font.family()});
    return font;
}

QFont song()
{
    constexpr double SongPoints = 10.5;
    const QString family = firstDrawingPinyin({"SimSun", "宋体", "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC",
                                               "AR PL UMing CN", "AR PL SungtiL GB"},
                                              SongPoints);
    QFont font = family.isEmpty() ? application() : QFont(family);
    font.setPointSizeF(SongPoints);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace TextFonts
