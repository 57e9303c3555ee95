// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/PortionCalculator.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace PortionCalculator {

namespace {

// Full-width digits, as a Chinese input method may type them, as ASCII.
QString withAsciiDigits(QString text)
{
    for (QChar &c : text) {
        if (c >= QChar(0xFF10) && c <= QChar(0xFF19))
            c = QChar(u'0' + (c.unicode() - 0xFF10));
    }
    return text;
}

std::optional<double> plainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]+(\\.[0-9]+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> portionGrams(const QString &portion)
{
    static const QRegularExpression grams(
        QStringLiteral("^\\s*每?\\s*([0-9]+(?:\\.[0-9]+)?)\\s*(?:克|g|G|公克)\\s*$"));
    const QRegularExpressionMatch match = grams.match(withAsciiDigits(portion));
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> value = plainNumber(match.captured(1));
    if (!value || *value <= 0)
        return std::nullopt;
    return value;
}

QString portionCaption(const QString &portion)
{
    const QString trimmed = portion.trimmed();
    if (trimmed.isEmpty())
        return {};
    // A portion written "每100克" already says it.
    return trimmed.startsWith(u'每') ? trimmed : QStringLiteral("每") + trimmed;
}

std::optional<double> kcalValue(const QString &kcal)
{
    return plainNumber(kcal.trimmed());
}

Amount parseAmount(const QString &typed)
{
    Amount amount;
    const QString text = withAsciiDigits(typed).trimmed();
    if (text.isEmpty()) {
        amount.problem = QStringLiteral("请输入食用量（克）");
        return amount;
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch()) {
        amount.problem = QStringLiteral("请输入整数克数");
        return amount;
    }
    // More digits than any allowed amount has: too much, whatever the value.
    // Leading zeros do not count. (A pattern made here would be compiled anew for every
    // amount, which cost more than the rest of reading the table of measures.)
    qsizetype firstSignificant = 0;
    while (firstSignificant < text.size() && text.at(firstSignificant) == u'0')
        ++firstSignificant;
    const QStringView significant = QStringView(text).mid(firstSignificant);
    const int value = significant.size() > 4 ? MaxGrams + 1 : significant.toInt();
    if (value < MinGrams) {
        amount.problem = QStringLiteral("食用量至少 %1 克").arg(MinGrams);
        return amount;
    }
    if (value > MaxGrams) {
        amount.problem = QStringLiteral("食用量最多 %1 克").arg(MaxGrams);
        return amount;
    }
    amount.grams = value;
    return amount;
}

qint64 kcalFor(double kcal, double portionGrams, int grams)
{
    return qint64(std::llround(kcal * grams / portionGrams));
}

} // namespace PortionCalculator
