// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/OwnFood.h"

#include <QString>
#include <functional>

// What the 自定义食物 dialog was given, checked before anything is written: a name that no food
// has (1–40 characters), the energy per 100 g (0–900; or per serving with the serving's grams, as
// a package label gives them), other names that no food has, a household measure (its name and
// grams, both or neither), and optionally protein, fat and carbohydrate per 100 g (all three, at
// most 100 g together). A recipe's energy and figures come from its parts and cooked weight.
namespace OwnFoodInput {

constexpr int MaxNameLength = 40;
constexpr int MaxMeasureLength = 20;

struct Fields
{
    QString name;
    QString category;
    bool perServing = false;
    QString kcalPer100g;   // when !perServing
    QString servingKcal;   // when perServing
    QString servingGrams;  // when perServing
    QString aliases;       // separated by 、 (or a comma)
    QString measure;       // "1杯"
    QString measureGrams;
    // Grams per 100 g, optional: all three or none.
    QString protein;
    QString fat;
    QString carbohydrate;
};

// Which field a problem is about, so the dialog can put the keyboard there.
enum class Field { None, Name, Kcal, ServingKcal, ServingGrams, Aliases, Measure, MeasureGrams, Parts, Cooked, Nutrients };

struct Reading
{
    OwnFood food;      // filled when the input is good
    QString problem;   // what is wrong, in words; empty when good
    Field field = Field::None;
};

// `taken`: whether a name (or other name) already belongs to a food other than the one edited.
using NameTaken = std::function<bool(const QString &name)>;

Reading read(const Fields &fields, const NameTaken &taken);
// A recipe: the name, category, other names and measure as above; the energy from `parts` over
// `cookedGrams` (empty: the parts' sum).
Reading readRecipe(const Fields &fields, const QList<RecipePart> &parts, const QString &cookedGrams,
                   const NameTaken &taken);

} // namespace OwnFoodInput
