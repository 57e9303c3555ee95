// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/LogBounds.h"

#include <QString>

// Body mass index and its band for Chinese adults: below 18.5 偏瘦, 18.5–23.9 正常,
// 24–27.9 超重, 28 and over 肥胖. The band is taken from the index rounded to one
// decimal, the figure the user sees, so that the figure and the band always agree
// (23.95 shows as 24.0 and is 超重).
class BodyMassIndex
{
public:
    enum class Band { Underweight, Normal, Overweight, Obese };

    // The heights and weights an index is worked out from (厘米, 千克); a stored value outside
    // them (written by hand or by another program) gives no figure.
    static constexpr double MinHeightCm = LogBounds::MinHeightCm;
    static constexpr double MaxHeightCm = LogBounds::MaxHeightCm;
    static constexpr double MinKg = LogBounds::MinKg;
    static constexpr double MaxKg = LogBounds::MaxKg;
    static bool inRange(double kg, double heightCm);

    // The index in tenths (241 for 24.1), rounded half up; both figures must be inRange().
    static int tenths(double kg, double heightCm);
    static int tenthsOf(double index);
    static Band bandOfTenths(int tenths);
    static QString bandName(Band band);
    // "24.1（超重）"; "—（身高或体重超出范围）" for figures out of range.
    static QString describe(double kg, double heightCm);
};
