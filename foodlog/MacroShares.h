// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/FoodLogEntry.h"

#include <QList>
#include <QString>

// A day's protein, fat and carbohydrate: grams, and each one's share of the energy they give
// (4 kcal per gram of protein and carbohydrate, 9 of fat, 7 of alcohol), against the ranges the
// Chinese dietary reference intakes give for adults (中国营养学会《中国居民膳食营养素参考摄入量
// （2023版）》, acceptable macronutrient distribution ranges): protein 10–20 %, fat 20–30 %,
// carbohydrate 50–65 % of energy. Entries without figures are counted apart, never guessed.
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

    Share protein;
    Share fat;
    Share carbohydrate;
    double alcoholGrams = 0;
    int entriesWithFigures = 0;
    int entriesWithout = 0;

    bool isKnown() const { return entriesWithFigures > 0; }
    static MacroShares of(const QList<FoodLogEntry> &entries);
};
