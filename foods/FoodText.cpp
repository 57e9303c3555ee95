// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodText.h"

namespace FoodText {

static bool isBlank(QChar c)
{
    return c == QChar(0x0020) || c == QChar(0x3000);
}

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text; // shares the data, no copy
    return text.mid(begin, end - begin);
}

QString name(const QString &text)
{
    const QString name = trimmed(text);
    if (name.size() <= MaxNameLength)
        return name;
    qsizetype keep = MaxNameLength - 1;
    if (name.at(keep - 1).isHighSurrogate()) // never half a character
        --keep;
    return name.left(keep) + QChar(0x2026);
}

} // namespace FoodText
