// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <string_view>
#include <vector>

// The arrays made at build time from resources/pinyin/ (tools/pinyin/make_pinyin_table.py).
namespace PinyinData {
extern const char Syllables[];       // NUL-separated, sorted
extern const int SyllableCount;
extern const quint16 ReadingSets[];  // at an offset: the count, then that many readings (see
                                     // PinyinTable::Readings)
extern const char32_t BmpFirst;
extern const char32_t BmpLast;
extern const quint16 BmpSets[];      // per code point BmpFirst..BmpLast: offset in ReadingSets
extern const int WideCount;
extern const char32_t WideCodes[];   // other characters with readings, sorted
extern const quint16 WideSets[];     // their offsets in ReadingSets
extern const int WordCount;
extern const char32_t WordText[];    // the words, sorted, one after another
extern const quint32 WordStarts[];   // where each begins in WordText, and where the last ends
extern const quint16 WordSets[];     // per character of WordText: its readings in that word
} // namespace PinyinData

// How Chinese text is read: word by word, as a reader says it. A name is split into the words
// of the dictionary (resources/pinyin/words.txt) and characters between them, the fewest
// pieces that cover it; a character in a word takes the word's reading there (薄荷: bò he; 担担面:
// dàn dan miàn), one outside any word its most common reading (resources/pinyin/characters.txt).
// A reading is a syllable without tones, in lower case, ü written "v" (绿: "lv"), with the
// tones it is said in; a word the dictionary reads two ways gives its characters both. A
// character that is not Chinese, or has no known reading, has none.
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
    // A character's most common reading, as it is read outside any word.
    Readings readings(char32_t character) const;
    // The readings of each character of a text, read word by word: per character, the offset of
    // its readings in ReadingSets (0: none).
    std::vector<quint16> readText(std::u32string_view text) const;
    // The readings at an offset in ReadingSets (the index keeps these per character).
    static Readings readingsAt(quint16 offset);

    QLatin1StringView syllable(int number) const { return m_syllables[size_t(number)]; }
    int syllableCount() const { return int(m_syllables.size()); }

    // A syllable ("lv") as it is written with its tone ("lǜ"); without a mark in the neutral
    // tone ("lü").
    static QString withToneMark(QLatin1StringView syllable, int tone);

    // The readings as texts, for tests and tools: each character's syllables ("hao"), or each
    // syllable in each of its tones, its usual one first ("hǎo", "hào"); those of a text read
    // word by word, the characters separated by spaces and a character's readings by "/"
    // ("bò he"; "dàn dan miàn").
    QStringList readingTexts(char32_t character) const;
    QStringList markedReadingTexts(char32_t character) const;
    QString markedText(const QString &text) const;

private:
    // The dictionary's words that begin with a character: [first, last) in WordStarts.
    struct WordRange
    {
        int first = 0;
        int last = 0;
    };
    WordRange wordsBeginningWith(char32_t character) const;

    std::vector<QLatin1StringView> m_syllables;
    int m_longestWord = 1;
};
