// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/OwnFood.h"

#include "db/Query.h"
#include "foods/Bounds.h"
#include "foods/FoodText.h"

#include <QHash>
#include <cmath>

std::optional<double> OwnFood::recipeKcalPer100g(const QList<RecipePart> &parts, double cookedGrams)
{
    if (!(cookedGrams > 0) || !std::isfinite(cookedGrams))
        return std::nullopt;
    double kcal = 0;
    for (const RecipePart &part : parts)
        kcal += part.kcal();
    return kcal / cookedGrams * 100.0;
}

std::optional<Nutrients> OwnFood::recipeNutrients(const QList<RecipePart> &parts, double cookedGrams)
{
    if (parts.isEmpty() || !(cookedGrams > 0))
        return std::nullopt;
    Nutrients total;
    bool allFibre = true;
    bool allSodium = true;
    for (const RecipePart &part : parts) {
        if (!part.nutrients)
            return std::nullopt;
        total += part.nutrients->times(part.grams);
        allFibre = allFibre && part.nutrients->fibre;
        allSodium = allSodium && part.nutrients->sodium;
    }
    // Fibre and sodium only when every part has them: a sum of some would understate the dish.
    if (!allFibre)
        total.fibre.reset();
    if (!allSodium)
        total.sodium.reset();
    return total.times(100.0 * 100.0 / cookedGrams);
}

namespace OwnFoods {

namespace {

// Protein, fat and carbohydrate from three columns, when all three are numbers.
std::optional<Nutrients> nutrientsFrom(const Query &q, int first)
{
    if (!q.isNumber(first) || !q.isNumber(first + 1) || !q.isNumber(first + 2))
        return std::nullopt;
    Nutrients n{q.real(first), q.real(first + 1), q.real(first + 2), 0};
    if (n.protein < 0 || n.fat < 0 || n.carbohydrate < 0 || n.protein + n.fat + n.carbohydrate > 100.05)
        return std::nullopt;
    return n;
}

} // namespace


QVector<OwnFood> read(Database &db)
{
    QVector<OwnFood> foods;
    const QString context = QStringLiteral("无法读取自定义食物");
    if (!hasTable(db, QStringLiteral("custom_food"), context))
        return foods;
    // Names of megabytes in a hand-made file are read only as far as they are shown.
    Query q(db,
            "SELECT id, substr(name, 1, ?1), substr(category, 1, ?1), kcal_per_100g, substr(aliases, 1, 2000), "
            "substr(measure, 1, ?1), measure_grams, cooked_grams, protein, fat, carbohydrate FROM custom_food "
            "ORDER BY name",
            context);
    q.bind(1, qint64(FoodText::MaxNameLength + 1));
    QHash<qint64, int> positionOf;
    while (q.next()) {
        OwnFood food;
        food.id = q.integer(0);
        food.name = FoodText::name(q.text(1));
        food.category = FoodText::name(q.text(2));
        food.kcalPer100g = q.real(3);
        for (const QString &alias : q.text(4).split(QChar(0x3001), Qt::SkipEmptyParts)) {
            const QString trimmed = FoodText::name(alias);
            if (!trimmed.isEmpty() && trimmed != food.name && !food.aliases.contains(trimmed))
                food.aliases << trimmed;
        }
        food.measure = FoodText::name(q.text(5));
        food.measureGrams = q.isNumber(6) ? q.real(6) : 0;
        food.cookedGrams = q.isNumber(7) ? q.real(7) : 0;
        food.nutrients = nutrientsFrom(q, 8);
        // A row outside the ranges (another program's) is not offered as a food.
        if (food.name.isEmpty() || !q.isNumber(3) || !Bounds::kcalPer100gInRange(food.kcalPer100g))
            continue;
        if (food.measure.isEmpty() || !Bounds::gramsInRange(food.measureGrams)) {
            food.measure.clear();
            food.measureGrams = 0;
        }
        if (food.category.isEmpty())
            food.category = OwnFood::defaultCategory();
        positionOf.insert(food.id, int(foods.size()));
        foods.append(food);
    }
    if (hasTable(db, QStringLiteral("custom_food_sodium"), context)) {
        Query sodium(db, "SELECT food_id, sodium FROM custom_food_sodium", context);
        while (sodium.next()) {
            const auto position = positionOf.constFind(sodium.integer(0));
            const double mg = sodium.real(1);
            if (position != positionOf.cend() && foods[*position].nutrients && sodium.isNumber(1) && mg >= 0
                && mg <= Nutrients::MaxSodium)
                foods[*position].nutrients->sodium = mg;
        }
    }
    if (!hasTable(db, QStringLiteral("custom_food_part"), context))
        return foods;
    Query parts(db,
                "SELECT food_id, substr(ingredient, 1, ?1), substr(category, 1, ?1), kcal_per_100g, grams, "
                "protein, fat, carbohydrate FROM custom_food_part ORDER BY food_id, position, id",
                context);
    parts.bind(1, qint64(FoodText::MaxNameLength + 1));
    while (parts.next()) {
        const auto position = positionOf.constFind(parts.integer(0));
        if (position == positionOf.cend())
            continue;
        RecipePart part;
        part.food = FoodText::name(parts.text(1));
        part.category = FoodText::name(parts.text(2));
        part.kcalPer100g = parts.real(3);
        part.grams = parts.real(4);
        part.nutrients = nutrientsFrom(parts, 5);
        foods[*position].parts.append(part);
    }
    return foods;
}

} // namespace OwnFoods
