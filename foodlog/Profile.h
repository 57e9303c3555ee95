// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the budget is worked out from.
struct Profile
{
    enum class Sex { Female, Male };
    Sex sex = Sex::Female;
    int birthYear = 1990;
    double heightCm = 165;
    int activityLevel = 0;   // 0..4, factors 1.2, 1.375, 1.55, 1.725, 1.9
    double targetKg = 0;     // 0: none given
};
