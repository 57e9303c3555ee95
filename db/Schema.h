// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

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
// "food_alias". New files get them; existing files are never given them.
const QStringList &optionalTables();
// The four notebook tables, the only ones the program writes.
const QStringList &notebookTables();

// The CREATE TABLE statement of one of tableNames() or optionalTables().
QString createStatement(const QString &table);

// Creates all tables in `db`, the optional ones too, in one transaction.
// Throws DataError.
void create(sqlite3 *db);

} // namespace Schema

// Makes a new database file at `path` holding the program's empty tables. The
// path must not name an existing file, or only an empty (0-byte) one, such as
// a freshly made temporary file. Throws DataError.
void createDatabaseFile(const QString &path);
