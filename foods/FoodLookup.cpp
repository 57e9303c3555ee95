// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodLookup.h"

#include "db/Recordset.h"
#include "foods/FoodTables.h"
#include "foods/FoodText.h"

namespace FoodLookup {

namespace {

// A null field never matches; a row that cannot be read does not match either.
bool currentRowMatches(const Recordset &foods, const QString &category, const QString &food)
{
    try {
        const Field rowCategory = foods.field(FoodTables::FoodCategoryField);
        if (rowCategory.isNull() || FoodText::name(rowCategory.textOrEmpty()) != category)
            return false;
        const Field rowFood = foods.field(FoodTables::FoodNameField);
        return !rowFood.isNull() && FoodText::name(rowFood.textOrEmpty()) == food;
    } catch (const DataError &) {
        return false;
    }
}

} // namespace

bool moveToFirstMatch(Recordset &foods, const QString &category, const QString &food,
                      std::optional<qint64> hint)
{
    try {
        if (hint && foods.moveToId(*hint) && currentRowMatches(foods, category, food))
            return true;
    } catch (const DataError &) {
        // fall back to the walk
    }

    try {
        foods.moveFirst();
    } catch (const DataError &) {
        return false; // an empty table
    }
    while (!foods.isEOF()) {
        if (currentRowMatches(foods, category, food))
            return true;
        try {
            foods.moveNext();
        } catch (const DataError &) {
            return false;
        }
    }
    return false;
}

} // namespace FoodLookup
