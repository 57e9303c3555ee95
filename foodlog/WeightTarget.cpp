// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/WeightTarget.h"

#include <cmath>

namespace WeightTarget {

QString describe(double kg, double targetKg)
{
    if (!(targetKg > 0))
        return QString();
    const QString target = QStringLiteral("目标体重 %1 千克").arg(targetKg, 0, 'f', 1);
    // In tenths, as the figures are shown, so that what is said agrees with what is read.
    const long long difference = std::llround(kg * 10) - std::llround(targetKg * 10);
    const QString amount = QString::number(std::llabs(difference) / 10.0, 'f', 1);
    if (difference > 0)
        return target + QStringLiteral("，还差 %1 千克").arg(amount);
    if (difference == 0)
        return target + QStringLiteral("，已经达到");
    return target + QStringLiteral("，已低于目标 %1 千克").arg(amount);
}

} // namespace WeightTarget
