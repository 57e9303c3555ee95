// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/MacroShares.h"

namespace {

MacroShares::Share share(double grams, double kcal, double energy, MacroShares::Range range)
{
    MacroShares::Share s;
    s.grams = grams;
    s.low = range.low;
    s.high = range.high;
    s.percent = energy > 0 ? kcal / energy * 100.0 : 0;
    // Judged on the whole percent shown, so that a figure read as 20 % is never called 偏高.
    s.verdict = MacroShares::verdictOf(qRound(s.percent), s.low, s.high);
    return s;
}

} // namespace

MacroShares::Verdict MacroShares::verdictOf(int percent, int low, int high)
{
    return percent < low ? Verdict::Low : percent > high ? Verdict::High : Verdict::InRange;
}

// Whole percent, judged as shown: a day read as "覆盖 80%" is judged like one of 80 %.
int MacroShares::coverageOf(double covered, double total)
{
    if (!(total > 0))
        return 100;
    return qBound(0, qRound(covered / total * 100.0), 100);
}

QString MacroShares::Share::verdictText() const
{
    return textOf(verdict);
}

QString MacroShares::textOf(Verdict verdict)
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
        shares.totalKcal += e.kcal();
        if (!e.nutrientsPer100g) {
            ++shares.entriesWithout;
            continue;
        }
        ++shares.entriesWithFigures;
        shares.coveredKcal += e.kcal();
        const Nutrients eaten = e.nutrientsPer100g->times(e.grams);
        total += eaten;
        for (auto [figure, amount] : {std::pair{eaten.fibre, &shares.fibre}, std::pair{eaten.sodium, &shares.sodium}}) {
            if (!figure)
                continue;
            amount->total += *figure;
            amount->coveredKcal += e.kcal();
            ++amount->entries;
        }
    }
    // More fibre than 30 g is no fault: the guideline's range says how much is enough.
    shares.fibre.verdict = shares.fibre.total < FibreLow ? Verdict::Low : Verdict::InRange;
    shares.sodium.verdict = shares.sodium.total > SodiumHigh ? Verdict::High : Verdict::InRange;
    const double energy = total.kcal();
    shares.protein = share(total.protein, 4 * total.protein, energy, ProteinRange);
    shares.fat = share(total.fat, 9 * total.fat, energy, FatRange);
    shares.carbohydrate = share(total.carbohydrate, 4 * total.carbohydrate, energy, CarbohydrateRange);
    shares.alcoholGrams = total.alcohol;
    return shares;
}
