// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one table of the ranges the program accepts: the fields that read typed amounts
// (AmountText) take no more, the file's triggers refuse a value outside them (LogSchema), and a
// reader skips a stored row outside them (from an older or hand-made file), so that no figure
// shown is built on it.
namespace Bounds {

constexpr double MaxGrams = 5000;        // one entry or ingredient; more than 0
constexpr double MaxKcalPer100g = 900;   // pure fat is about 900
constexpr double MinKg = 20;
constexpr double MaxKg = 400;
// The shortest adults on record are about 55 cm tall; the file has taken 50 since its ranges were
// enforced, so a profile kept then stays readable and can be saved again.
constexpr double MinHeightCm = 50;
constexpr double MaxHeightCm = 250;
// A waist measured in centimetres, beside the weight.
constexpr double MinWaistCm = 40;
constexpr double MaxWaistCm = 250;
constexpr int LastMeal = 3;              // meals 0 早餐 … 3 加餐
constexpr double MaxMinutes = 600;       // one exercise entry; more than 0
constexpr double MinMet = 1;             // resting is 1 MET
constexpr double MaxMet = 23;            // the most intense activity in the table
// The most one entry can reach: (MaxMet − 1) × MaxKg × MaxMinutes / 60.
constexpr double MaxExerciseKcal = (MaxMet - 1) * MaxKg * MaxMinutes / 60;
// The most an hour can burn: MaxMet at MaxKg.
constexpr double MaxKcalPerHour = MaxMet * MaxKg;
// A home recipe's cooked weight: a pot of many servings.
constexpr double MaxCookedGrams = 20000;
// Grams of protein, fat, carbohydrate or alcohol per 100 g.
constexpr double MaxNutrientPer100g = 100;
// Milligrams of sodium per 100 g: table salt, the most of anything, holds 39 300.
constexpr double MaxSodiumPer100g = 40000;
// The energy budget's formulas are for adults.
constexpr int MinAge = 18;
constexpr int MaxAge = 100;

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

} // namespace Bounds
