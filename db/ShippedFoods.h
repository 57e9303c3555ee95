// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct sqlite3;

// The food tables a release ships (Schema::shippedTables(): the foods, categories, other names,
// nutrients) and their stamp: a hash of their rows, kept beside them in food_data by the data tool
// (makedb). The program replaces a file's food tables with those of the installed template when
// the file's are a release's and older, so every file gets the foods, names and figures added
// since; tables edited with another tool are kept.
namespace ShippedFoods {

// SHA-256 (hex) of the rows of the food tables in `db`, every column of every row in row order
// as SQL quotes them; a table that is missing counts as one without rows, food_data not at all.
QString contentStamp(sqlite3 *db, const QString &context);
// The stamp kept in food_data, or an empty text (a file of a release that kept none).
QString storedStamp(sqlite3 *db, const QString &context);
// Writes contentStamp() into food_data (the data tool, once it has filled the tables).
void writeStamp(sqlite3 *db, const QString &context);
// Whether `stamp` is the content of food tables some earlier release shipped without a stamp
// (EarlierFoodStamps.cpp, made by tools/foodstamps from every foods.csv in the history).
bool isEarlierRelease(const QString &stamp);

enum class Verdict
{
    Current,   // the same as the template's, or no template to compare with
    Replace,   // a release's tables, older than the template's
    KeepOwn,   // changed since a release made them (or made elsewhere): kept
};
// Tells the stamps of food tables that earlier releases shipped (isEarlierRelease; tests hand in
// their own).
using IsEarlier = bool (*)(const QString &stamp);
// One small read when the stamps agree; the file's rows are hashed only when they differ.
Verdict judge(sqlite3 *db, const QString &templateStamp, const QString &context,
              IsEarlier isEarlier = isEarlierRelease);

// The stamp of the template at `templatePath` (opened read-only), or an empty text when there
// is no such file or it carries none.
QString templateStamp(const QString &templatePath);

// Inside the caller's transaction on `db`: drops the food tables and makes them again as the
// template at `templatePath` has them (its statements, rows and indexes; read-only). Nothing of
// the user's refers to their rows by id, so no entry, own food or recipe changes. Throws DataError.
void replaceFrom(sqlite3 *db, const QString &templatePath, const QString &context);

} // namespace ShippedFoods
