// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/OwnFoodSchema.h"

#include "db/FileLayout.h"
#include "db/Query.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogSchema.h"
#include "foods/Nutrients.h"

namespace OwnFoodSchema {

namespace {

// Own foods and recipes got their optional protein, fat and carbohydrate after their tables had
// first shipped: a file with the tables of then gets the columns, empty for what it holds.
void addOwnFoodNutrientColumns(sqlite3 *db, const QString &context)
{
    for (const char *table : {"custom_food", "custom_food_part"}) {
        QStringList present;
        Query columns(db, "SELECT name FROM pragma_table_info(?1)", context);
        columns.bind(1, QString::fromLatin1(table));
        while (columns.next())
            present << columns.text(0).toLower();
        for (const char *column : {"protein", "fat", "carbohydrate"}) {
            if (!present.contains(QLatin1String(column)))
                execute(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 REAL").arg(QLatin1String(table), QLatin1String(column))
                                .toUtf8()
                                .constData(),
                        context);
        }
    }
}

// A statement, once a file has been stamped with its step, never changes (see LogSchema).
QList<LayoutStep> stepList()
{
    const auto numberIn = LogSchema::numberIn;
    const auto between = LogSchema::between;
    QList<LayoutStep> steps;
    // The user's own foods and home recipes, beside the shipped food tables (01, 02), which are
    // never written to. A part keeps its ingredient's kcal as the recipe was saved.
    steps << LayoutStep{5, QStringList{
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS custom_food (id INTEGER PRIMARY KEY AUTOINCREMENT, "
            "name TEXT NOT NULL UNIQUE CHECK (length(trim(name)) > 0), category TEXT NOT NULL DEFAULT '', "
            "kcal_per_100g REAL NOT NULL, aliases TEXT NOT NULL DEFAULT '', measure TEXT NOT NULL DEFAULT '', "
            "measure_grams REAL, cooked_grams REAL, created TEXT NOT NULL)"),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS custom_food_part (id INTEGER PRIMARY KEY AUTOINCREMENT, "
            "food_id INTEGER NOT NULL REFERENCES custom_food (id), position INTEGER NOT NULL, "
            "ingredient TEXT NOT NULL, category TEXT NOT NULL DEFAULT '', kcal_per_100g REAL NOT NULL, "
            "grams REAL NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS custom_food_part_food ON custom_food_part (food_id)"),
    } + LogSchema::rangeTriggers({
        {"custom_food", numberIn("kcal_per_100g", between(0, LogBounds::MaxKcalPer100g))},
        {"custom_food_part", LogSchema::positiveUpTo("grams", LogBounds::MaxGrams) + QStringLiteral(" AND ")
                                 + numberIn("kcal_per_100g", between(0, LogBounds::MaxKcalPer100g))},
    })};
    // Own foods' and recipe parts' optional protein, fat and carbohydrate per 100 g.
    steps << LayoutStep{7, {}, addOwnFoodNutrientColumns};
    // An own food's sodium (mg per 100 g) as its label gives it, in a table of its own.
    steps << LayoutStep{9, {
        QStringLiteral("CREATE TABLE IF NOT EXISTS custom_food_sodium (food_id INTEGER PRIMARY KEY, "
                       "sodium REAL NOT NULL CHECK (sodium BETWEEN 0 AND %1))")
            .arg(Nutrients::MaxSodium),
    }};
    return steps;
}

} // namespace

const QList<LayoutStep> &layoutSteps()
{
    static const QList<LayoutStep> steps = stepList();
    return steps;
}

} // namespace OwnFoodSchema
