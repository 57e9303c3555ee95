// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/PinyinTable.h"

#include <algorithm>
#include <cstring>

namespace {

// The offset of a character's most common reading in ReadingSets (0: none).
quint16 characterSet(char32_t character)
{
    if (character >= PinyinData::BmpFirst && character <= PinyinData::BmpLast)
        return PinyinData::BmpSets[character - PinyinData::BmpFirst];
    if (character > PinyinData::BmpLast) {
        const char32_t *end = PinyinData::WideCodes + PinyinData::WideCount;
        const char32_t *found = std::lower_bound(PinyinData::WideCodes, end, character);
        if (found != end && *found == character)
            return PinyinData::WideSets[found - PinyinData::WideCodes];
    }
    return 0;
}

int wordLength(int word)
{
    return int(PinyinData::WordStarts[word + 1] - PinyinData::WordStarts[word]);
}

} // namespace

PinyinTable::PinyinTable()
{
    m_syllables.reserve(size_t(PinyinData::SyllableCount));
    const char *next = PinyinData::Syllables;
    for (int i = 0; i < PinyinData::SyllableCount; ++i) {
        const size_t length = std::strlen(next);
        m_syllables.emplace_back(next, qsizetype(length));
        next += length + 1;
    }
    for (int word = 0; word < PinyinData::WordCount; ++word)
        m_longestWord = std::max(m_longestWord, wordLength(word));
}

PinyinTable::Readings PinyinTable::readings(char32_t character) const
{
    return readingsAt(characterSet(character));
}

PinyinTable::Readings PinyinTable::readingsAt(quint16 offset)
{
    Readings result;
    result.count = PinyinData::ReadingSets[offset];
    result.entries = PinyinData::ReadingSets + offset + 1;
    return result;
}

PinyinTable::WordRange PinyinTable::wordsBeginningWith(char32_t character) const
{
    // The words are sorted by code point: those that begin with one character are together.
    const auto firstOf = [](int word) { return PinyinData::WordText[PinyinData::WordStarts[word]]; };
    int low = 0;
    int high = PinyinData::WordCount;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (firstOf(middle) < character)
            low = middle + 1;
        else
            high = middle;
    }
    WordRange range{low, low};
    while (range.last < PinyinData::WordCount && firstOf(range.last) == character)
        ++range.last;
    return range;
}

std::vector<quint16> PinyinTable::readText(std::u32string_view text) const
{
    // The fewest pieces (words of the dictionary, or single characters) that cover the text,
    // found from its end: pieces[i] is the least number for the text from i on, and word[i] the
    // word that begins there in such a cover (-1: the character alone). Of covers with as few
    // pieces, the one whose first word is longest.
    const size_t size = text.size();
    std::vector<int> pieces(size + 1, 0);
    std::vector<int> word(size, -1);
    for (size_t at = size; at-- > 0;) {
        pieces[at] = pieces[at + 1] + 1;
        const WordRange range = wordsBeginningWith(text[at]);
        for (int candidate = range.first; candidate < range.last; ++candidate) {
            const size_t length = size_t(wordLength(candidate));
            if (length > size - at
                || text.substr(at, length) != std::u32string_view(PinyinData::WordText + PinyinData::WordStarts[candidate], length))
                continue;
            const int count = pieces[at + length] + 1;
            const int chosen = word[at] >= 0 ? wordLength(word[at]) : 1;
            if (count < pieces[at] || (count == pieces[at] && int(length) > chosen)) {
                pieces[at] = count;
                word[at] = candidate;
            }
        }
    }
    std::vector<quint16> sets(size, 0);
    for (size_t at = 0; at < size;) {
        if (word[at] < 0) {
            sets[at] = characterSet(text[at]);
            ++at;
            continue;
        }
        const quint32 start = PinyinData::WordStarts[word[at]];
        const size_t length = size_t(wordLength(word[at]));
        for (size_t i = 0; i < length; ++i)
            sets[at + i] = PinyinData::WordSets[start + i];
        at += length;
    }
    return sets;
}

QString PinyinTable::withToneMark(QLatin1StringView syllable, int tone)
{
    QString text = QString(syllable).replace(u'v', QChar(0xFC)); // ü
    if (tone < 1 || tone >= NeutralTone)
        return text;
    // The mark goes on a or e where there is one, on the o of ou, else on the last vowel; on
    // the m or n of a syllable without one (ń).
    qsizetype at = text.indexOf(u'a');
    if (at < 0)
        at = text.indexOf(u'e');
    if (at < 0)
        at = text.indexOf(QStringLiteral("ou"));
    for (qsizetype i = text.size() - 1; at < 0 && i >= 0; --i) {
        if (QStringLiteral("iouü").contains(text.at(i)))
            at = i;
    }
    for (qsizetype i = 0; at < 0 && i < text.size(); ++i) {
        if (text.at(i) == u'm' || text.at(i) == u'n')
            at = i;
    }
    if (at < 0)
        return text;
    static const char16_t marks[] = {0x0304, 0x0301, 0x030C, 0x0300};
    text.insert(at + 1, QChar(marks[tone - 1]));
    return text.normalized(QString::NormalizationForm_C);
}

QStringList PinyinTable::readingTexts(char32_t character) const
{
    QStringList texts;
    const Readings found = readings(character);
    for (int i = 0; i < found.count; ++i)
        texts.append(QString(syllable(found.syllable(i))));
    return texts;
}

namespace {

QStringList markedTexts(const PinyinTable &table, const PinyinTable::Readings &found)
{
    QStringList texts;
    for (int i = 0; i < found.count; ++i) {
        const QLatin1StringView spelled = table.syllable(found.syllable(i));
        const int first = found.firstTone(i);
        texts.append(PinyinTable::withToneMark(spelled, first));
        for (int tone = 1; tone <= PinyinTable::NeutralTone; ++tone) {
            if (tone != first && (found.tones(i) & (1 << (tone - 1))))
                texts.append(PinyinTable::withToneMark(spelled, tone));
        }
    }
    return texts;
}

} // namespace

QStringList PinyinTable::markedReadingTexts(char32_t character) const
{
    return markedTexts(*this, readings(character));
}

QString PinyinTable::markedText(const QString &text) const
{
    const std::u32string units = text.toStdU32String();
    const std::vector<quint16> sets = readText(units);
    QStringList characters;
    for (size_t i = 0; i < units.size(); ++i) {
        const QStringList marked = markedTexts(*this, readingsAt(sets[i]));
        characters.append(marked.isEmpty() ? QString::fromUcs4(&units[i], 1) : marked.join(u'/'));
    }
    return characters.join(u' ');
}
