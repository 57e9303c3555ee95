// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

// The arrays made at build time from Unicode's Unihan readings
// (tools/pinyin/make_pinyin_table.py).
namespace PinyinData {
extern const char Syllables[];       // NUL-separated, sorted
extern const int SyllableCount;
extern const quint16 ReadingSets[];  // at an offset: a header (the count, plus 256 × how many of
                                     // them are in common use), then that many readings (see
                                     // PinyinTable::Readings)
extern const char32_t BmpFirst;
extern const char32_t BmpLast;
extern const quint16 BmpSets[];      // per code point BmpFirst..BmpLast: offset in ReadingSets
extern const int WideCount;
extern const char32_t WideCodes[];   // other characters with readings, sorted
extern const quint16 WideSets[];     // their offsets in ReadingSets
} // namespace PinyinData

// Every Mandarin reading of a Chinese character: its syllable without tones, in lower case,
// ü written "v" (绿: "lv", "lu"), and the tones it is said in; in order of use: the customary
// reading first, then the others in common use, then the rare ones only dictionaries list (白:
// "bai", then the rare "bo"). A syllable said in several tones is one reading (好: hao, in
// tones 3, 1 and 4). A character that is not Chinese, or has no known reading, has none.
class PinyinTable
{
public:
    PinyinTable();

    // Tones as numbers: 1 to 4, 5 for the neutral tone.
    static constexpr int NeutralTone = 5;

    // The readings of one character. Each is one 16-bit word: the syllable's number in bits
    // 0–8, the tone it is first listed in (its usual one) in bits 9–11, the other tones it is
    // said in in bits 12–15, one bit for each of the four tones other than the first, lowest
    // first.
    struct Readings
    {
        const quint16 *entries = nullptr;
        int count = 0;
        int commonCount = 0; // the first ones, in common use; the rest are rare

        int syllable(int i) const { return entries[i] & 0x1FF; }
        int firstTone(int i) const { return (entries[i] >> 9) & 0x7; }
        // Every tone reading `i` is said in, as bits 1 << (tone - 1).
        int tones(int i) const
        {
            const int first = 1 << (firstTone(i) - 1);
            const int others = entries[i] >> 12;
            const int below = first - 1; // the tones before the first keep their bits
            return first | (others & below) | ((others & ~below) << 1);
        }
    };
    Readings readings(char32_t character) const;
    // The same from an offset in ReadingSets (the index keeps these per character).
    static Readings readingsAt(quint16 offset);

    QLatin1StringView syllable(int number) const { return m_syllables[size_t(number)]; }
    int syllableCount() const { return int(m_syllables.size()); }

    // A syllable ("lv") as it is written with its tone ("lǜ"); without a mark in the neutral
    // tone ("lü").
    static QString withToneMark(QLatin1StringView syllable, int tone);

    // The readings as texts, for tests and tools: the syllables ("hao"), or each syllable in each
    // of its tones, its usual one first ("hǎo", "hāo", "hào").
    QStringList readingTexts(char32_t character) const;
    QStringList markedReadingTexts(char32_t character) const;

private:
    std::vector<QLatin1StringView> m_syllables;
};
