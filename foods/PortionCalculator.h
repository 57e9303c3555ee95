// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Bounds.h"

#include <QString>
#include <optional>

// The arithmetic of the amount line: what a food's figure is for, and what an
// amount typed in grams costs. Widget-free.
namespace PortionCalculator {

constexpr int MinGrams = 1;     // AmountText::Grams
constexpr int MaxGrams = int(Bounds::MaxGrams);
constexpr int DefaultGrams = 100;

// The grams a portion text stands for: "100克", "100 克", "100g", "50.5克", "每100克";
// nothing for an empty text or one in other units ("1个", "100毫升").
std::optional<double> portionGrams(const QString &portion);

// What the calorie figure is for, as shown beside it: "每100克", "每1个" (a
// portion that begins with 每 as it is); empty for an empty portion.
QString portionCaption(const QString &portion);

// A calorie figure as a number: "346", "49.3" (read by AmountText::number);
// nothing for an empty text or one that is not a plain non-negative number.
std::optional<double> kcalValue(const QString &kcal);

// The amount typed: whole grams from MinGrams to MaxGrams, read by
// AmountText (blanks around it, full-width digits). Otherwise `problem` says
// what is wrong.
struct Amount
{
    std::optional<int> grams;
    QString problem;
};
Amount parseAmount(const QString &typed);

// The calories of `grams` of a food whose `kcal` are for `portionGrams`
// grams, rounded to whole kilocalories.
qint64 kcalFor(double kcal, double portionGrams, int grams);

} // namespace PortionCalculator
