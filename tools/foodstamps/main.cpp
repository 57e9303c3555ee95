// SPDX-License-Identifier: GPL-3.0-or-later
// foodstamps <foods.csv>...
//
// Prints, one a line, the stamp (ShippedFoods::contentStamp) of the food tables that the data
// tool of its time made from each foods.csv: the tables of 1.0 (02, 01), then food_alias for a
// file with aliases and food_nutrient for one with nutrients, with the statements and values those
// tools wrote. Those files carry no stamp of their own; the program knows their tables by these.
// The statements are written here once and never taken from today's code, which may change them.
#include "FoodCsv.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/ShippedFoods.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cmath>
#include <sqlite3.h>

namespace {

QString stampOf(const FoodTable &foods, bool aliases, bool nutrients)
{
    sqlite3 *db = nullptr;
    sqlite3_open(":memory:", &db);
    const QString context = QStringLiteral("foodstamps");
    execute(db, "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY, category TEXT)", context);
    execute(db, "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, portion TEXT, kcal NUMERIC)",
            context);
    if (aliases)
        execute(db, "CREATE TABLE \"food_alias\" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, alias TEXT)",
                context);
    if (nutrients)
        execute(db,
                "CREATE TABLE \"food_nutrient\" (id INTEGER PRIMARY KEY, category TEXT, food TEXT, protein REAL, "
                "fat REAL, carbohydrate REAL, alcohol REAL)",
                context);
    {
        Query category(db, "INSERT INTO \"02\" (category) VALUES (?)", context);
        for (const QString &name : foods.categories) {
            category.bind(1, name).run();
            category.reset();
        }
        Query food(db, "INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, ?, ?)", context);
        for (const FoodRow &row : foods.foods) {
            food.bind(1, row.category).bind(2, row.name).bind(3, row.portion);
            if (row.kcal == std::floor(row.kcal))
                food.bind(4, qint64(row.kcal));
            else
                food.bind(4, row.kcal);
            food.run();
            food.reset();
        }
        if (aliases) {
            Query alias(db, "INSERT INTO food_alias (category, food, alias) VALUES (?, ?, ?)", context);
            for (const FoodRow &row : foods.foods)
                for (const QString &name : row.aliases) {
                    alias.bind(1, row.category).bind(2, row.name).bind(3, name).run();
                    alias.reset();
                }
        }
        if (nutrients) {
            Query nutrient(db,
                           "INSERT INTO food_nutrient (category, food, protein, fat, carbohydrate, alcohol) "
                           "VALUES (?, ?, ?, ?, ?, ?)",
                           context);
            for (const FoodRow &row : foods.foods) {
                if (!row.protein && !row.alcohol)
                    continue;
                nutrient.bind(1, row.category).bind(2, row.name);
                int column = 3;
                for (const std::optional<double> &grams : {row.protein, row.fat, row.carbohydrate, row.alcohol}) {
                    if (grams)
                        nutrient.bind(column, *grams);
                    else
                        nutrient.bindNull(column);
                    ++column;
                }
                nutrient.run();
                nutrient.reset();
            }
        }
    }
    const QString stamp = ShippedFoods::contentStamp(db, context);
    sqlite3_close(db);
    return stamp;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList paths = app.arguments().mid(1);
    if (paths.isEmpty()) {
        err << "usage: foodstamps <foods.csv>...\n";
        return 2;
    }
    for (const QString &path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "foodstamps: cannot read " << path << "\n";
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const FoodTable foods = FoodTable::parse(bytes);
        if (!foods.problems.isEmpty()) {
            err << "foodstamps: " << path << ": " << foods.problems.first() << "\n";
            return 1;
        }
        const QByteArray header = bytes.left(bytes.indexOf('\n'));
        const bool nutrients = header.contains("protein");
        const bool aliases = header.contains("aliases");
        try {
            out << stampOf(foods, aliases, nutrients) << "\n";
        } catch (const DataError &error) {
            err << "foodstamps: " << error.message() << "\n";
            return 1;
        }
    }
    return 0;
}
