// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Bounds.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>
#include <optional>

class Database;

// Protein, fat and carbohydrate (and alcohol, for drinks) in grams per 100 g of a food's edible
// portion, from the food table's sources (resources/FOODS.md); dietary fibre (grams) and sodium
// (milligrams) per 100 g where the source gives them.
struct Nutrients
{
    double protein = 0;
    double fat = 0;
    double carbohydrate = 0;
    double alcohol = 0;
    std::optional<double> fibre = std::nullopt;
    std::optional<double> sodium = std::nullopt; // mg

    // Most sodium 100 g of anything holds (table salt, 39.3 g of sodium).
    static constexpr double MaxSodium = Bounds::MaxSodiumPer100g;

    // The figures for `grams` of the food.
    Nutrients times(double grams) const;
    // Energy from them: 4 kcal per gram of protein and carbohydrate, 9 of fat, 7 of alcohol.
    double kcal() const { return 4 * protein + 9 * fat + 4 * carbohydrate + 7 * alcohol; }
    // Sums; fibre and sodium count where `other` has them.
    Nutrients &operator+=(const Nutrients &other);

    // "蛋白质 6.5 克 · 脂肪 4.4 克 · 碳水 1.4 克" (and fibre and sodium where known), or with "—"
    // for figures not known.
    static QString describe(const std::optional<Nutrients> &figures);
    // The same in a narrow place: "蛋白质 6.5 · 脂肪 4.4 · 碳水 1.4 克" (fibre and sodium only in the
    // long form, which a narrow place gives as its tooltip).
    static QString describeShort(const std::optional<Nutrients> &figures);
};

// The figures of the food table (food_nutrient), by category and name. A file without them (made
// before they were shipped) gives none, and every food shows "—".
class NutrientTable
{
public:
    NutrientTable() = default;
    // Never throws: a table that cannot be read gives no figures.
    static NutrientTable read(Database &db);

    std::optional<Nutrients> of(const QString &category, const QString &name) const;
    // With the figures of the user's own foods that have them.
    NutrientTable withOwn(const QVector<struct OwnFood> &own) const;
    bool isEmpty() const { return m_byFood.isEmpty(); }

private:
    QHash<QPair<QString, QString>, Nutrients> m_byFood;
};
