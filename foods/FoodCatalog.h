// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodSearchIndex.h"
#include "foods/OwnFood.h"

#include <QString>
#include <QVector>

// Reads the foods the search can find from data.mdb: every food the tree
// shows (a category of table 02, a non-empty name), once per category and
// name, with the first row's figures and the food's other names from table
// food_alias. A file without that table, or with one that cannot be read,
// gives the foods without other names. Then the user's own foods (OwnFoods), marked `own`, with
// the row id −(their id). Reading never changes the file.
namespace FoodCatalog {

// Throws DataError when the file or table 02 cannot be opened; a food table
// that cannot be read gives no foods.
QVector<SearchableFood> read(const QString &databasePath);
// An own food as the search knows it.
SearchableFood searchable(const OwnFood &own);

} // namespace FoodCatalog
