// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Nutrients.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class Database;

// One ingredient of a home recipe: a food (shipped or the user's own) with its grams and its
// kcal per 100 g as it was when the recipe was saved.
struct RecipePart
{
    QString food;
    QString category;
    double kcalPer100g = 0;
    double grams = 0;
    std::optional<Nutrients> nutrients = std::nullopt; // per 100 g of the ingredient, if known

    double kcal() const { return grams * kcalPer100g / 100.0; }
};

// A food the user made (自定义食物) or a home recipe (自制菜谱: parts and the cooked weight), kept in
// the user's file (custom_food, custom_food_part), beside the shipped food table, never in it.
struct OwnFood
{
    qint64 id = 0;
    QString name;
    QString category;        // a shipped category, or 我的食物
    double kcalPer100g = 0;
    QStringList aliases;
    QString measure;         // "1杯"; empty when none
    double measureGrams = 0; // of the measure
    QList<RecipePart> parts; // a recipe's ingredients; empty for a plain food
    double cookedGrams = 0;  // a recipe's weight when cooked
    std::optional<Nutrients> nutrients = std::nullopt; // per 100 g; a recipe's from its parts

    bool isRecipe() const { return !parts.isEmpty(); }

    // The mark that tells it apart from a shipped food of the same name, in the tree and the
    // searches.
    static QString mark() { return QStringLiteral("（自定义）"); }
    // The category own foods go in unless the user picks a shipped one.
    static QString defaultCategory() { return QStringLiteral("我的食物"); }
    // A recipe's energy: the parts' kcal over the cooked weight, per 100 g; nothing without a
    // weight.
    static std::optional<double> recipeKcalPer100g(const QList<RecipePart> &parts, double cookedGrams);
    // A recipe's protein, fat and carbohydrate per 100 g, when every part has them.
    static std::optional<Nutrients> recipeNutrients(const QList<RecipePart> &parts, double cookedGrams);
};

// Reads the user's own foods from the file, by name; none when the file has no custom_food
// table yet. Reading never changes the file. Throws DataError when the table cannot be read.
namespace OwnFoods {

QVector<OwnFood> read(Database &db);

} // namespace OwnFoods
