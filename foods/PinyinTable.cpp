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
    result.entries = PinyinData::ReadingSets + offset + 1;
    return result;
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

QStringList PinyinTable::markedReadingTexts(char32_t character) const
{
    QStringList texts;
    const Readings found = readings(character);
    for (int i = 0; i < found.count; ++i) {
        const QLatin1StringView spelled = syllable(found.syllable(i));
        const int first = found.firstTone(i);
        texts.append(withToneMark(spelled, first));
        for (int tone = 1; tone <= NeutralTone; ++tone) {
            if (tone != first && (found.tones(i) & (1 << (tone - 1))))
                texts.append(withToneMark(spelled, tone));
        }
    }
    return texts;
}
