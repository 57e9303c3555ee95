// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/Profile.h"

#include <QString>

// The daily energy budget for losing weight: resting energy by the Mifflin–St Jeor
// equation, times the activity factor, less 500 kcal, never below 1200 kcal for
// women or 1500 kcal for men, rounded to 10 kcal. Someone whose BMI is already 偏瘦 gets
// no deficit: the budget keeps the weight (maintenance), and the explanation says why.
class EnergyBudget
{
public:
    struct Result
    {
        int kcal = 0;          // the budget, a multiple of 10
        double resting = 0;    // resting energy, kcal
        double factor = 0;     // activity factor
        bool floored = false;  // the floor applied
        bool maintenance = false; // no deficit: the BMI is 偏瘦
        QString explanation;   // how it was worked out, in Chinese
    };

    static constexpr int ActivityLevels = 5;
    static double activityFactor(int level);
    // "久坐不动" … "体力劳动很重", for the profile's choice.
    static QString activityName(int level);

    static double restingEnergy(Profile::Sex sex, double kg, double heightCm, int age);
    static int floorFor(Profile::Sex sex) { return sex == Profile::Sex::Male ? 1500 : 1200; }

    // The age in whole years reached in `today`'s year (the day of birth is not kept).
    static int ageIn(int birthYear, int year) { return year - birthYear; }

    static Result compute(const Profile &profile, double kg, int age);
};
