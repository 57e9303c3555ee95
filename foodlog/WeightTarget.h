// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How the weight stands against the target the profile gives, in the words the log shows.
namespace WeightTarget {

// "目标体重 65.0 千克，还差 3.5 千克", "…，已经达到", "…，已低于目标 2.0 千克"; an empty text
// when no target is set (0). Figures are compared as shown, to one decimal.
QString describe(double kg, double targetKg);

} // namespace WeightTarget
