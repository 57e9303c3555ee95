#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

class Recordset;

// One row of the food table as the tree needs it.
struct FoodRow
{
    QString name; // trimmed food name
    qint64 id = 0; // the row's id, to come back to it on a click
};
// Lists of rows grow by moving their bytes, not row by row.
Q_DECLARE_TYPEINFO(FoodRow, Q_RELOCATABLE_TYPE);

// Foods keyed by trimmed category name, each list in table order.
using FoodsByCategory = QHash<QString, QVector<FoodRow>>;

// Reading the two food tables in one pass each. A row that cannot be read is
// left out and the walk goes on; a failing move ends the walk.
namespace FoodTables {

// Table 02: the trimmed category name of every row, in stored order. A row
// whose name is null has no text and is left out.
QStringList readCategoryNames(Recordset &categories);

// Table 01: every row with a category and a name (positions 1 and 2), grouped
// by trimmed category. Rows whose category or name is null are left out.
FoodsByCategory readFoods(Recordset &foods);

// Field positions in the two tables.
constexpr int CategoryNameField = 1; // in 02
constexpr int FoodCategoryField = 1; // in 01
constexpr int FoodNameField = 2;     // in 01
constexpr int FoodKcalField = 4;     // in 01

} // namespace FoodTables
