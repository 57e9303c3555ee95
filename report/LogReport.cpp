// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogReport.h"

#include "db/Transaction.h"
#include "foodlog/EnergyBudget.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/LogBounds.h"

#include <QHash>
#include <algorithm>

int LogReport::loggedDays() const
{
    return int(std::count_if(days.cbegin(), days.cend(), [](const Day &d) { return d.figures.kcal.has_value(); }));
}

double LogReport::meanIntake() const
{
    double sum = 0;
    for (const Day &d : days)
        sum += d.figures.kcal.value_or(0);
    return loggedDays() ? sum / loggedDays() : 0;
}

LogReport LogReport::read(FoodLogStore &foods, ExerciseStore &exercise, const QDate &first, const QDate &last)
{
    LogReport report;
    report.last = last;
    report.first = std::clamp(first, last.addDays(1 - MaxDays), last);
    const int dayCount = int(report.first.daysTo(last)) + 1;
    // One state of the file for every figure of the report.
    const auto together = foods.readTogether();
    const QList<DayIntake> intake = foods.intakeBetween(report.first, last);
    const QList<DayWeight> weights = foods.weightsBetween(report.first.addDays(-IntakeSeries::TrendDays), last);
    const QList<DayWaist> waists = foods.waistsBetween(report.first, last);
    const QList<DayBurned> burned = exercise.burnedBetween(report.first, last);
    const std::optional<Profile> profile = foods.profile();
    const std::optional<DayWeight> before = foods.latestWeight(report.first.addDays(-1));

    // The budget of a day follows the latest weight on or before it (0: none yet).
    double kg = before ? before->kg : 0;
    report.trend = WeightTrend::of(weights, last);
    report.targetKg = profile ? profile->targetKg : 0;
    for (const SeriesDay &day : IntakeSeries::build(last, dayCount, intake, weights, burned, {}, waists)) {
        if (day.kg)
            kg = *day.kg;
        Day d{day, std::nullopt};
        if (profile && kg > 0 && LogBounds::heightInRange(profile->heightCm))
            d.budget = EnergyBudget::compute(*profile, kg, EnergyBudget::ageIn(profile->birthYear, day.day.year())).kcal;
        report.days << d;
    }

    QList<FoodLogEntry> entries;
    for (const FoodLogEntry &e : foods.allEntries())
        if (e.day >= report.first && e.day <= last)
            entries << e;
    report.shares = MacroShares::of(entries);
    QHash<QString, TopFood> byName;
    for (const FoodLogEntry &e : std::as_const(entries)) {
        TopFood &food = byName[e.shownName()];
        food.name = e.shownName();
        food.kcal += e.shownKcal();
        ++food.entries;
    }
    report.topFoods = byName.values();
    std::sort(report.topFoods.begin(), report.topFoods.end(), [](const TopFood &a, const TopFood &b) {
        return a.kcal != b.kcal ? a.kcal > b.kcal : a.name < b.name;
    });
    if (report.topFoods.size() > 8)
        report.topFoods.resize(8);
    return report;
}
