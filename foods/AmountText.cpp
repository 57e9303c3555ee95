// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/AmountText.h"

#include <algorithm>

#include <QLocale>
#include <cmath>

namespace AmountText {

namespace {

QString numberText(double value)
{
    return QLocale::c().toString(value, 'g', 12);
}

} // namespace

QString normalised(const QString &typed)
{
    QString text;
    text.reserve(typed.size());
    for (QChar c : typed) {
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            c = QChar(u'0' + (c.unicode() - 0xFF10));
        else if (c == QChar(0xFF0E) || c == QChar(0x3002)) // ．and 。
            c = QLatin1Char('.');
        text += c;
    }
    return text.trimmed(); // white space of every kind, the ideographic space among it
}

std::optional<double> number(const QString &typed)
{
    const QString text = normalised(typed);
    // Digits, then at most one point with digits after it: checked by hand, as a pattern
    // compiled per call cost more than the rest of reading a table of amounts.
    qsizetype digitsBefore = 0;
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        ++digitsBefore;
    }
    if (digitsBefore == 0)
        return std::nullopt;
    if (i < text.size()) {
        if (text.at(i) != QLatin1Char('.'))
            return std::nullopt;
        ++i;
        qsizetype digitsAfter = 0;
        while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
            ++i;
            ++digitsAfter;
        }
        if (digitsAfter == 0 || i != text.size())
            return std::nullopt;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Reading read(const QString &typed, const Field &field)
{
    Reading reading;
    const QString name = QString::fromUtf8(field.name);
    const QString unit = QString::fromUtf8(field.unit);
    const QString text = normalised(typed);
    if (text.isEmpty()) {
        reading.problem = QStringLiteral("请输入%1（%2）").arg(name, unit);
        return reading;
    }
    const std::optional<double> value = number(text);
    if (!value) {
        // A sign, letters or words: what the field takes, its range ("请输入 0 到 900 之间的数").
        reading.problem = QStringLiteral("请输入 %1 到 %2 之间的%3")
                              .arg(numberText(field.min), numberText(field.max),
                                   field.decimals == 0 ? QStringLiteral("整数") : QStringLiteral("数"));
        return reading;
    }
    // Zeros at the end say nothing: "72.50" is 72.5.
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    qsizetype decimals = point < 0 ? 0 : text.size() - point - 1;
    while (decimals > 0 && text.at(point + decimals) == QLatin1Char('0'))
        --decimals;
    if (decimals > field.decimals) {
        reading.problem = field.decimals == 0 ? QStringLiteral("请输入整数%1数").arg(unit)
                                              : QStringLiteral("%1最多保留 %2 位小数").arg(name).arg(field.decimals);
        return reading;
    }
    if (*value < field.min) {
        reading.problem = QStringLiteral("%1至少 %2 %3").arg(name, numberText(field.min), unit);
        return reading;
    }
    if (*value > field.max) {
        reading.problem = QStringLiteral("%1最多 %2 %3").arg(name, numberText(field.max), unit);
        return reading;
    }
    reading.value = value;
    return reading;
}

} // namespace AmountText
