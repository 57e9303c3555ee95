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

bool drawsAll(const QFont &font, const QString &text)
{
    for (const QChar letter : text) {
        // One letter at a time: a layout of the whole text would hide an empty one among others.
        QTextLayout layout(QString(letter), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        bool inked = false;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            for (const quint32 glyph : run.glyphIndexes())
                inked = inked || !run.rawFont().pathForGlyph(glyph).isEmpty();
        }
        if (!inked)
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
