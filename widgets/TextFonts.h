// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

// The fonts the program's text is drawn in. Chinese names are shown with their pinyin
// (huáng guā), so a font counts only where it draws the toned letters: some CJK fonts map
// ǎ ǒ ǐ ǔ to empty glyphs, and as the glyphs exist Qt never falls back for them.
namespace TextFonts {

// The toned letters of pinyin and ü.
inline const QString PinyinLetters = QStringLiteral("āáǎàēéěèīíǐìōóǒòūúǔùǖǘǚǜü");

// The application's font: the platform's default at 9 points, so that the platform picks the
// family for Latin text and falls back, character by character, to a CJK font for the rest.
// Where the family it picks draws a pinyin letter empty, an installed CJK family that draws
// them all comes first.
QFont application();

// The notebook's Song face (宋体 or a serif CJK font that draws pinyin) at 10.5 points; the
// application's font where none is installed.
QFont song();

// Whether every character of `text` is drawn with ink in `font`, through the fonts Qt falls
// back to as it would draw it.
bool drawsAll(const QFont &font, const QString &text);

} // namespace TextFonts
