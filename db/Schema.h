// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

struct LayoutStep;

struct sqlite3;

// The tables of data.mdb, the contract between the program, the data tool and
// test fixtures:
//
//   02          id INTEGER PRIMARY KEY, category TEXT
//   01          id INTEGER PRIMARY KEY, category TEXT, food TEXT, portion TEXT, kcal NUMERIC
//   sp, yd, xd  id INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT, demo TEXT
//   rj          id INTEGER PRIMARY KEY AUTOINCREMENT,
//               time TEXT DEFAULT current local time as "YYYY-MM-DD HH:MM",
//               Name TEXT, demo TEXT
//   food_alias  id INTEGER PRIMARY KEY, category TEXT, food TEXT, alias TEXT
//               (other names of the food with that category and name in 01;
//               optional: a file without it works, its foods are found by name only)
//   food_nutrient  protein, fat, carbohydrate, alcohol per 100 g of a food of 01 (optional)
//   food_data   id INTEGER PRIMARY KEY (always 1), content TEXT: the stamp of the food tables
//               (ShippedFoods), so that a later release knows whether they are its own
//
// Rows are kept in ascending id. The notebook tables never hand out an id
// twice (AUTOINCREMENT), so a new row always comes after every row there ever
// was, even after the last row was deleted.
//
// The food log's tables (food_log, weight_log, profile) are not among these:
// FoodLogStore adds them to a file when they are first needed.
namespace Schema {

// Every table the program needs: "01", "02", "sp", "yd", "xd", "rj".
const QStringList &tableNames();
// Tables the program reads where a file has them and does without otherwise:
// "food_alias", "food_nutrient", "food_data". New files get them; an existing file gets them
// only with the shipped food tables (ShippedFoods).
const QStringList &optionalTables();
// The tables the data tool (makedb) fills and a release replaces as a whole with the food data
// it ships: "02", "01" and the optional ones. Nothing of the user's refers to their rows by id.
const QStringList &shippedTables();
// The four notebook tables, the only ones the program writes.
const QStringList &notebookTables();

// The CREATE TABLE statement of one of tableNames() or optionalTables().
QString createStatement(const QString &table);

// Creates all tables in `db`, the optional ones too, in one transaction, and stamps the file with
// layout 1 (the tables of 1.0): the program adds the rest of its layout when it first opens it.
// Throws DataError.
void create(sqlite3 *db);

// The layout of 1.0, the first step of the file's layout (FileLayout): the notebook and food
// tables, which a file must have to be opened at all, so there is nothing to add.
QList<LayoutStep> layoutSteps();

} // namespace Schema

// Makes a new database file at `path` holding the program's empty tables. The
// path must not name an existing file, or only an empty (0-byte) one, such as
// a freshly made temporary file. Throws DataError.
void createDatabaseFile(const QString &path);
