// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/Profile.h"

#include <QString>
#include <optional>

// The waist against the threshold Chinese guidance uses for central obesity: WS/T 428《成人体重
// 判定》, men 90 cm or more, women 85 cm or more. Said as a reference for screening, never as a
// diagnosis.
namespace WaistMeasure {

constexpr double MenThresholdCm = 90;
constexpr double WomenThresholdCm = 85;

// "腰围 92.0 厘米，达到了男性 90 厘米的界限（WS/T 428…）" with both thresholds in words; without a
// profile the figure and the thresholds only. An empty text without a measurement.
QString describe(std::optional<double> cm, std::optional<Profile::Sex> sex);

} // namespace WaistMeasure
