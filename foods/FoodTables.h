// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Recordset.h"
#include "foods/FoodIndex.h"
#include "foods/OwnFood.h"

#include <QString>
#include <QStringList>

// Reading the two food tables in one pass each. A row that cannot be read is
// left out and the walk goes on; a failing move ends the walk.
namespace FoodTables {

// Runs `visit` on every row from the first one. An empty table (moveFirst
// fails) visits nothing; a row whose fields fail (`visit` throws DataError) is
// left out; a failing move ends the walk, as going on would loop forever.
template<typename Visit>
void forEachRow(Recordset &rs, Visit visit)
{
    try {
        rs.moveFirst();
    } catch (const DataError &) {
        return;
    }
    while (!rs.isEOF()) {
        try {
            visit();
        } catch (const DataError &) {
            // The row cannot be read: leave it out.
        }
        try {
            rs.moveNext();
        } catch (const DataError &) {
            return; // the position did not change
        }
    }
}

// Table 02: the trimmed category name of every row, in stored order. A row
// whose name is null has no text and is left out.
QStringList readCategoryNames(Recordset &categories);

// Table 01: every row with a category and a name (positions 1 and 2) whose
// trimmed category is one of `categories` (distinct names), trimmed, in table
// order, indexed under that category's number. Rows whose category or name is
// null are left out. Then the user's own foods, under their categories, each with the row id
// −(its id), so that it is never taken for a row of table 01.
FoodIndex readFoodIndex(Recordset &foods, const QStringList &categories, const QVector<OwnFood> &own = {});

// Field positions in the two tables.
constexpr int CategoryNameField = 1; // in 02
constexpr int FoodCategoryField = 1; // in 01
constexpr int FoodNameField = 2;     // in 01
constexpr int FoodPortionField = 3;  // in 01
constexpr int FoodKcalField = 4;     // in 01

} // namespace FoodTables
