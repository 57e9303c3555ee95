// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodCatalog.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "foods/FoodTables.h"
#include "foods/FoodText.h"
#include "foods/HouseholdMeasures.h"
#include "foods/OwnFood.h"

#include <QHash>
#include <QSet>

namespace FoodCatalog {

namespace {

constexpr int AliasCategoryField = 1;
constexpr int AliasFoodField = 2;
constexpr int AliasField = 3;

using FoodKey = QPair<QString, QString>; // category, name

QString trimmedTextOf(const Recordset &rs, int field)
{
    const Field value = rs.field(field);
    return value.isNull() ? QString() : FoodText::trimmed(value.textOrEmpty());
}

} // namespace

SearchableFood searchable(const OwnFood &own)
{
    SearchableFood food;
    food.category = own.category;
    food.name = own.name;
    food.kcal = QString::number(own.kcalPer100g);
    food.portion = QStringLiteral("100克");
    food.rowId = -own.id;
    food.aliases = own.aliases;
    food.own = true;
    food.nutrients = own.nutrients;
    return food;
}

QVector<SearchableFood> read(const QString &databasePath)
{
    auto database = openDatabase(databasePath);
    QSet<QString> categories;
    {
        auto rs = database->openRecordset(QStringLiteral("02"));
        for (const QString &name : FoodTables::readCategoryNames(*rs)) {
            if (!name.isEmpty())
                categories.insert(name);
        }
    }

    QVector<SearchableFood> foods;
    QHash<FoodKey, int> positionOf;
    // Everyday foods are those the table of household measures has (resources/FOODS.md).
    const HouseholdMeasures measures = HouseholdMeasures::builtIn();
    try {
        auto rs = database->openRecordset(QStringLiteral("01"));
        FoodTables::forEachRow(*rs, [&] {
            const Field category = rs->field(FoodTables::FoodCategoryField);
            const Field name = rs->field(FoodTables::FoodNameField);
            if (category.isNull() || name.isNull())
                return;
            SearchableFood food;
            food.category = FoodText::name(category.textOrEmpty());
            food.name = FoodText::name(name.textOrEmpty());
            if (food.name.isEmpty() || !categories.contains(food.category))
                return;
            const FoodKey key(food.category, food.name);
            if (positionOf.contains(key))
                return; // the tree shows the first row of a name
            try {
                food.kcal = trimmedTextOf(*rs, FoodTables::FoodKcalField);
            } catch (const DataError &) {
            }
            try {
                food.portion = trimmedTextOf(*rs, FoodTables::FoodPortionField);
            } catch (const DataError &) {
            }
            food.rowId = rs->id();
            food.common = !measures.of(food.category, food.name).isEmpty();
            positionOf.insert(key, int(foods.size()));
            foods.append(std::move(food));
        });
    } catch (const DataError &) {
        return foods;
    }

    try {
        auto rs = database->openRecordset(QStringLiteral("food_alias"));
        FoodTables::forEachRow(*rs, [&] {
            const FoodKey key(FoodText::name(trimmedTextOf(*rs, AliasCategoryField)),
                              FoodText::name(trimmedTextOf(*rs, AliasFoodField)));
            const auto position = positionOf.constFind(key);
            const QString alias = FoodText::name(trimmedTextOf(*rs, AliasField));
            if (position == positionOf.constEnd() || alias.isEmpty())
                return;
            QStringList &aliases = foods[*position].aliases;
            if (!aliases.contains(alias) && alias != key.second)
                aliases.append(alias);
        });
    } catch (const DataError &) {
        // No table of other names: the foods are found by their names.
    }

    // Protein, fat and carbohydrate where the table gives them.
    const NutrientTable nutrients = NutrientTable::read(*database);
    if (!nutrients.isEmpty())
        for (SearchableFood &food : foods)
            food.nutrients = nutrients.of(food.category, food.name);

    // The user's own foods, after the shipped ones: found the same ways, marked as their own.
    try {
        for (const OwnFood &own : OwnFoods::read(*database))
            foods.append(searchable(own));
    } catch (const DataError &) {
        // The own foods cannot be read: the shipped ones are still found.
    }
    return foods;
}

} // namespace FoodCatalog
