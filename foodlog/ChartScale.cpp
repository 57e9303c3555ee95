// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ChartScale.h"

#include <algorithm>
#include <cmath>

double ChartScale::niceStep(double range, int steps)
{
    const double raw = range / std::max(steps, 1);
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, 1e-9))));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10 * power;
}

QList<double> ChartScale::ticksBetween(double from, double to, double step)
{
    QList<double> values;
    if (!std::isfinite(from) || !std::isfinite(to) || !(step > 0) || !std::isfinite(step))
        return values;
    for (int i = 0; i < 50; ++i) {
        const double v = from + i * step;
        if (v > to)
            break;
        values << v;
    }
    return values;
}

ChartScale ChartScale::covering(double low, double high, int steps)
{
    ChartScale scale;
    if (!std::isfinite(low) || !std::isfinite(high))
        return scale;
    if (high < low)
        std::swap(low, high);
    if (!(high - low > 1e-6)) // one figure: a unit around it
        high = low + 1;
    scale.step = niceStep(high - low, steps);
    scale.low = std::floor(low / scale.step) * scale.step;
    scale.high = std::ceil(high / scale.step) * scale.step;
    if (scale.high <= scale.low)
        scale.high = scale.low + scale.step;
    // A hair of room, so that the top tick is not lost to the sum of many steps.
    scale.ticks = ticksBetween(scale.low, scale.high + scale.step * 1e-6, scale.step);
    scale.decimals = scale.step >= 1 ? 0 : int(std::ceil(-std::log10(scale.step) - 1e-9));
    return scale;
}
