// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The arrays made at build time from Unicode's Unihan readings
// (tools/pinyin/make_pinyin_table.py).
namespace PinyinData {
extern const char Syllables[];       // NUL-separated, sorted
extern const int SyllableCount;
extern const quint16 ReadingSets[];  // at an offset: a header (the count, plus 256 × how many of
                                     // them are in common use), then that many syllable numbers
extern const char32_t BmpFirst;
extern const char32_t BmpLast;
extern const quint16 BmpSets[];      // per code point BmpFirst..BmpLast: offset in ReadingSets
extern const int WideCount;
extern const char32_t WideCodes[];   // other characters with readings, sorted
extern const quint16 WideSets[];     // their offsets in ReadingSets
} // namespace PinyinData

// Every Mandarin reading of a Chinese character, without tones, in lower case;
// ü is written "v" (绿: "lv", "lu"), in order of use: the customary reading first,
// then the others in common use, then the rare ones only dictionaries list
// (白: "bai", then the rare "bo"). A character that is not Chinese, or has no
// known reading, has none.
class PinyinTable
{
public:
    PinyinTable();

    // The readings of one character as numbers of syllables.
    struct Readings
    {
        const quint16 *numbers = nullptr;
        int count = 0;
        int commonCount = 0; // the first ones, in common use; the rest are rare
    };
    Readings readings(char32_t character) const;
    // The same from an offset in ReadingSets (the index keeps these per character).
    static Readings readingsAt(quint16 offset);

    QLatin1StringView syllable(int number) const { return m_syllables[size_t(number)]; }
    int syllableCount() const { return int(m_syllables.size()); }

    // The readings as texts, for tests and tools.
    QStringList readingTexts(char32_t character) const;

private:
    std::vector<QLatin1StringView> m_syllables;
};
