// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/FoodLogEntry.h"

#include <cmath>

qint64 FoodLogEntry::shownKcal() const
{
    const double value = kcal();
    // A figure no meal can reach (a row written by another program) must not overflow the
    // sums; NaN counts as nothing.
    constexpr double Largest = 1e12;
    if (!(value > 0))
        return 0;
    return value >= Largest ? qint64(Largest) : qint64(std::floor(value + 0.5));
}
