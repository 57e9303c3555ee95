// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one way a figure (grams, kcal, kcal per 100 g, minutes) is written as text where whole
// numbers are shown without a point: rounded to one decimal, then without a trailing ".0"
// ("150", "12.5", "3" for 2.96), never "-0"; always '.' as the point, so the text reads back
// in a CSV file and in AmountText.
namespace FigureText {

QString upToOneDecimal(double value);

} // namespace FigureText
