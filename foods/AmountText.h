// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Bounds.h"

#include <QString>
#include <optional>

// The one reader of amounts a person types: grams, a weight, a height, minutes, energy. Blanks
// around the number are dropped; full-width digits and a full-width or Chinese full stop as the
// decimal point (７２．５, 72。5) are read as a Chinese input method types them. Signs,
// exponents, thousands separators and a point without digits on both sides are not numbers here.
namespace AmountText {

// What a field takes: its name and unit for the messages, its range, and how many decimals.
struct Field
{
    const char *name;   // "食用量"
    const char *unit;   // "克"
    double min;
    double max;
    int decimals;       // 0: whole numbers only
};

// The ranges come from the one table (Bounds); a range that is open at 0 ("more than 0") starts
// at the smallest amount the field's decimals can say: 1 for whole grams or minutes.
inline constexpr Field Grams{"食用量", "克", 1, Bounds::MaxGrams, 0};
inline constexpr Field Weight{"体重", "千克", Bounds::MinKg, Bounds::MaxKg, 1};
inline constexpr Field Height{"身高", "厘米", Bounds::MinHeightCm, Bounds::MaxHeightCm, 0};
inline constexpr Field Waist{"腰围", "厘米", Bounds::MinWaistCm, Bounds::MaxWaistCm, 1};
inline constexpr Field Minutes{"时长", "分钟", 1, Bounds::MaxMinutes, 0};
inline constexpr Field KcalPer100g{"每100克热量", "大卡", 0, Bounds::MaxKcalPer100g, 1};
inline constexpr Field Met{"运动强度", "MET", Bounds::MinMet, Bounds::MaxMet, 1};
inline constexpr Field KcalPerHour{"每小时消耗", "大卡", 1, Bounds::MaxKcalPerHour, 0};

// The text with full-width digits and stops made ASCII and the blanks around it removed.
QString normalised(const QString &typed);

// A plain non-negative decimal number ("72", "72.5", "７２。５"), or nothing.
std::optional<double> number(const QString &typed);

// The amount typed for `field`, or what is wrong with it in words ("体重最多 400 千克").
struct Reading
{
    std::optional<double> value;
    QString problem;
};
Reading read(const QString &typed, const Field &field);

} // namespace AmountText
