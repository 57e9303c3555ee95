// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The figures the food log stores and the ranges it accepts for them. The file refuses a value
// outside them (FoodLogStore's triggers), the fields offer no more, and a reader skips one that
// an older or hand-made file holds, so that no figure shown is built on it.
namespace LogBounds {

constexpr double MaxGrams = 5000;        // one entry; more than 0
constexpr double MaxKcalPer100g = 900;   // pure fat is about 900
constexpr double MinKg = 20;
constexpr double MaxKg = 400;
constexpr double MinHeightCm = 50;
constexpr double MaxHeightCm = 250;
constexpr double MinWaistCm = 40;
constexpr double MaxWaistCm = 250;
constexpr int LastMeal = 3;              // meals 0 早餐 … 3 加餐
constexpr double MaxMinutes = 600;       // one exercise entry; more than 0
constexpr double MinMet = 1;             // resting is 1 MET
constexpr double MaxMet = 23;            // the most intense activity in the table
// The most one entry can reach: (MaxMet − 1) × MaxKg × MaxMinutes / 60.
constexpr double MaxExerciseKcal = (MaxMet - 1) * MaxKg * MaxMinutes / 60;

// Written so that NaN, which fails every comparison, is out of range too.
constexpr bool gramsInRange(double grams) { return grams > 0 && grams <= MaxGrams; }
constexpr bool kcalPer100gInRange(double kcal) { return kcal >= 0 && kcal <= MaxKcalPer100g; }
constexpr bool kgInRange(double kg) { return kg >= MinKg && kg <= MaxKg; }
constexpr bool heightInRange(double cm) { return cm >= MinHeightCm && cm <= MaxHeightCm; }
constexpr bool waistInRange(double cm) { return cm >= MinWaistCm && cm <= MaxWaistCm; }
constexpr bool mealInRange(int meal) { return meal >= 0 && meal <= LastMeal; }
constexpr bool minutesInRange(double minutes) { return minutes > 0 && minutes <= MaxMinutes; }
constexpr bool metInRange(double met) { return met >= MinMet && met <= MaxMet; }
constexpr bool exerciseKcalInRange(double kcal) { return kcal >= 0 && kcal <= MaxExerciseKcal; }

} // namespace LogBounds
