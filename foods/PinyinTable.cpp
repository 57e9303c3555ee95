// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/PinyinTable.h"

#include <algorithm>
#include <cstring>

PinyinTable::PinyinTable()
{
    m_syllables.reserve(size_t(PinyinData::SyllableCount));
    const char *next = PinyinData::Syllables;
    for (int i = 0; i < PinyinData::SyllableCount; ++i) {
        const size_t length = std::strlen(next);
        m_syllables.emplace_back(next, qsizetype(length));
        next += length + 1;
    }
}

PinyinTable::Readings PinyinTable::readings(char32_t character) const
{
    quint16 offset = 0;
    if (character >= PinyinData::BmpFirst && character <= PinyinData::BmpLast) {
        offset = PinyinData::BmpSets[character - PinyinData::BmpFirst];
    } else if (character > PinyinData::BmpLast) {
        const char32_t *end = PinyinData::WideCodes + PinyinData::WideCount;
        const char32_t *found = std::lower_bound(PinyinData::WideCodes, end, character);
        if (found != end && *found == character)
            offset = PinyinData::WideSets[found - PinyinData::WideCodes];
    }
    return readingsAt(offset);
}

PinyinTable::Readings PinyinTable::readingsAt(quint16 offset)
{
    const quint16 header = PinyinData::ReadingSets[offset];
    Readings result;
    result.count = header & 0xFF;
    result.commonCount = header >> 8;
    result.numbers = PinyinData::ReadingSets + offset + 1;
    return result;
}

QStringList PinyinTable::readingTexts(char32_t character) const
{
    QStringList texts;
    const Readings found = readings(character);
    for (int i = 0; i < found.count; ++i)
        texts.append(QString(syllable(found.numbers[i])));
    return texts;
}
