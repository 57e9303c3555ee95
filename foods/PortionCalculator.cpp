// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/PortionCalculator.h"

#include "foods/AmountText.h"

#include <QRegularExpression>
#include <cmath>

namespace PortionCalculator {

std::optional<double> portionGrams(const QString &portion)
{
    static const QRegularExpression grams(
        QStringLiteral("^\\s*每?\\s*([0-9]+(?:\\.[0-9]+)?)\\s*(?:克|g|G|公克)\\s*$"));
    const QRegularExpressionMatch match = grams.match(AmountText::normalised(portion));
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> value = AmountText::number(match.captured(1));
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
    return AmountText::number(kcal);
}

Amount parseAmount(const QString &typed)
{
    const AmountText::Reading reading = AmountText::read(typed, AmountText::Grams);
    Amount amount;
    amount.problem = reading.problem;
    if (reading.value)
        amount.grams = int(*reading.value);
    return amount;
}

qint64 kcalFor(double kcal, double portionGrams, int grams)
{
    return qint64(std::llround(kcal * grams / portionGrams));
}

} // namespace PortionCalculator
