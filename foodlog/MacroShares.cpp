// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/MacroShares.h"

namespace {

MacroShares::Share share(double grams, double kcal, double energy, int low, int high)
{
    MacroShares::Share s;
    s.grams = grams;
    s.low = low;
    s.high = high;
    s.percent = energy > 0 ? kcal / energy * 100.0 : 0;
    // Judged on the whole percent shown, so that a figure read as 20 % is never called 偏高.
    const int shown = qRound(s.percent);
    s.verdict = shown < low ? MacroShares::Verdict::Low
        : shown > high      ? MacroShares::Verdict::High
                            : MacroShares::Verdict::InRange;
    return s;
}

} // namespace

QString MacroShares::Share::verdictText() const
{
    switch (verdict) {
    case Verdict::Low:
        return QStringLiteral("偏低");
    case Verdict::High:
        return QStringLiteral("偏高");
    case Verdict::InRange:
        break;
    }
    return QStringLiteral("适宜");
}

MacroShares MacroShares::of(const QList<FoodLogEntry> &entries)
{
    Nutrients total;
    MacroShares shares;
    for (const FoodLogEntry &e : entries) {
        if (!e.nutrientsPer100g) {
            ++shares.entriesWithout;
            continue;
        }
        ++shares.entriesWithFigures;
        total += e.nutrientsPer100g->times(e.grams);
    }
    const double energy = total.kcal();
    shares.protein = share(total.protein, 4 * total.protein, energy, 10, 20);
    shares.fat = share(total.fat, 9 * total.fat, energy, 20, 30);
    shares.carbohydrate = share(total.carbohydrate, 4 * total.carbohydrate, energy, 50, 65);
    shares.alcoholGrams = total.alcohol;
    return shares;
}
