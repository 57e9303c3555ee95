// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// A chart's scale with round steps (1, 2 or 5 × a power of ten: 71 / 72 / 73 / 74, never
// 71.0 / 71.8 / 72.5), its ends on steps; for the chart on screen and the report alike.
struct ChartScale
{
    double low = 0;
    double high = 1;
    double step = 1;
    QList<double> ticks; // low, low + step, … high
    int decimals = 0;    // what a tick's figure needs

    // A scale covering low..high in about `steps` steps.
    static ChartScale covering(double low, double high, int steps);
    // The step of 1, 2 or 5 × a power of ten giving about `steps` steps over `range`.
    static double niceStep(double range, int steps);
    // from, from + step, … up to `to`: at most a few dozen values whatever the figures, so that
    // no scale loops for ever on an infinite or absurd range.
    static QList<double> ticksBetween(double from, double to, double step);
};
