// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/OwnFood.h"

#include <QString>
#include <functional>

// What the 自定义食物 dialog was given, checked before anything is written: a name that no food
// has (1–40 characters), the energy per 100 g (0–900), or as a package label (营养成分表) prints
// it (in 千焦 or 大卡, per 100 g or per serving with the serving's grams), other names that no food
// has, a household measure (its name and grams, both or neither), and optionally protein, fat
// and carbohydrate (all three, at most 100 g together per 100 g) and sodium. A recipe's energy and
// figures come from its parts and cooked weight.
namespace OwnFoodInput {

constexpr int MaxNameLength = 40;
constexpr int MaxMeasureLength = 20;
// 1 大卡 = 4.184 千焦 (the thermochemical calorie), as the dialog converts a label in 千焦.
constexpr double KilojoulesPerKcal = 4.184;
// A label whose energy and 4/9/4 figures differ by more than this share is worth a second look.
constexpr double LabelMismatch = 0.20;

struct Fields
{
    QString name;
    QString category;
    bool fromLabel = false;    // the energy and figures as a package label prints them
    bool kilojoules = false;   // the label's energy is in 千焦 (else 大卡)
    bool perServing = false;   // the label's figures are per serving (else per 100 g)
    QString kcalPer100g;       // when !fromLabel
    QString labelEnergy;       // when fromLabel
    QString servingGrams;      // when fromLabel: needed per serving; when given, kept as "1份"
    QString aliases;           // separated by 、 (or a comma)
    QString measure;           // "1杯"
    QString measureGrams;
    // Per 100 g, or per serving on a label's; optional: all three or none. Sodium in mg, only
    // with the three.
    QString protein;
    QString fat;
    QString carbohydrate;
    QString sodium;
};

// Which field a problem is about, so the dialog can put the keyboard there.
enum class Field { None, Name, Kcal, ServingKcal, ServingGrams, Aliases, Measure, MeasureGrams, Parts, Cooked, Nutrients };

struct Reading
{
    OwnFood food;      // filled when the input is good
    QString problem;   // what is wrong, in words; empty when good
    Field field = Field::None;
    // A sentence on a label whose energy disagrees with its protein, fat and carbohydrate; the
    // food can still be saved.
    QString warning;
};

// `taken`: whether a name (or other name) already belongs to a food other than the one edited.
using NameTaken = std::function<bool(const QString &name)>;

Reading read(const Fields &fields, const NameTaken &taken);
// The energy and figures alone, as the dialog shows them while they are typed: what a label comes
// to ("折合每100克 358.5 大卡（1500 千焦 ÷ 4.184）…") and the warning; both empty while they
// cannot be read.
struct Preview
{
    QString figures;
    QString warning;
};
Preview preview(const Fields &fields);
// A recipe: the name, category, other names and measure as above; the energy from `parts` over
// `cookedGrams` (empty: the parts' sum).
Reading readRecipe(const Fields &fields, const QList<RecipePart> &parts, const QString &cookedGrams,
                   const NameTaken &taken);

} // namespace OwnFoodInput
