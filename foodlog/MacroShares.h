// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/FoodLogEntry.h"

#include <QList>
#include <QString>

// A day's protein, fat and carbohydrate: grams, and each one's share of the energy they give
// (4 kcal per gram of protein and carbohydrate, 9 of fat, 7 of alcohol), against the ranges the
// Chinese dietary reference intakes give for adults (中国营养学会《中国居民膳食营养素参考摄入量
// （2023版）》, acceptable macronutrient distribution ranges): protein 10–20 %, fat 20–30 %,
// carbohydrate 50–65 % of energy. Entries without figures are counted apart, never guessed, and
// a verdict is given only when the entries with figures carry most of the day's energy: shares of a
// third of what was eaten say nothing about the day.
struct MacroShares
{
    enum class Verdict { Low, InRange, High };
    struct Share
    {
        double grams = 0;
        double percent = 0; // of the energy from protein, fat, carbohydrate and alcohol
        int low = 0;        // the range, in percent
        int high = 0;
        Verdict verdict = Verdict::InRange;

        // "偏低", "适宜", "偏高".
        QString verdictText() const;
    };

    // A day's dietary fibre (g) or sodium (mg) against the Chinese dietary guidelines
    // (中国营养学会《中国居民膳食指南（2022）》: fibre 25–30 g; salt under 5 g, about 2000 mg
    // sodium), from the entries that have the figure.
    struct Amount
    {
        double total = 0;
        double coveredKcal = 0; // logged energy of the entries with the figure
        int entries = 0;
        Verdict verdict = Verdict::InRange;
    };

    Share protein;
    Share fat;
    Share carbohydrate;
    Amount fibre;
    Amount sodium;
    double alcoholGrams = 0;
    int entriesWithFigures = 0;
    int entriesWithout = 0;
    double coveredKcal = 0; // logged energy of the entries with figures
    double totalKcal = 0;   // logged energy of all entries

    bool isKnown() const { return entriesWithFigures > 0; }
    // The whole percent of the logged energy that the entries with figures carry (100 with none).
    int coveragePercent() const { return coverageOf(coveredKcal, totalKcal); }
    // Whether the verdicts mean something: the entries with figures carry at least
    // MinimumCoverage % of the energy.
    bool judged() const { return isKnown() && coveragePercent() >= MinimumCoverage; }
    // The same for fibre or sodium.
    int coveragePercentOf(const Amount &amount) const { return coverageOf(amount.coveredKcal, totalKcal); }
    bool judged(const Amount &amount) const
    {
        return amount.entries > 0 && coveragePercentOf(amount) >= MinimumCoverage;
    }
    static constexpr double FibreLow = 25;     // g a day
    static constexpr double FibreHigh = 30;
    static constexpr double SodiumHigh = 2000; // mg a day
    static MacroShares of(const QList<FoodLogEntry> &entries);

    static constexpr int MinimumCoverage = 80;
    struct Range
    {
        int low;
        int high;
    };
    static constexpr Range ProteinRange{10, 20};
    static constexpr Range FatRange{20, 30};
    static constexpr Range CarbohydrateRange{50, 65};
    static int coverageOf(double covered, double total);
    // A share in whole percent against its range.
    static Verdict verdictOf(int percent, int low, int high);
    // "偏低", "适宜", "偏高".
    static QString textOf(Verdict verdict);
};
