// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <cmath>

// An energy as the log shows it, in whole kcal (half rounds up). Rows, subtotals and the day's
// totals are sums of these, so that the figures a user reads add up.
inline qint64 wholeKcal(double value)
{
    // A figure no entry can reach (a row written by another program) must not overflow the
    // sums; NaN counts as nothing.
    constexpr double Largest = 1e12;
    if (!(value > 0))
        return 0;
    return value >= Largest ? qint64(Largest) : qint64(std::floor(value + 0.5));
}
