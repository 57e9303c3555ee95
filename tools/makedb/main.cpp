// SPDX-License-Identifier: GPL-3.0-or-later
// makedb [--if-missing] <foods.csv> <data.mdb>
//
// Makes a new data.mdb with the program's empty tables and the food table from
// the CSV file. It never overwrites or changes an existing file: that file
// holds the user's notebook. The new file is written beside the target under a
// temporary name and renamed into place only when complete.
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/Schema.h"
#include "db/ShippedFoods.h"
#include "db/Transaction.h"
#include "FoodCsv.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <cmath>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Fills the food tables in one transaction (one sync instead of one per row).
void fill(const QString &path, const FoodTable &foods)
{
    auto database = openDatabase(path);
    const QString context = QStringLiteral("无法写入食物表");
    Transaction transaction(*database, context);
    Query category(*database, "INSERT INTO \"02\" (category) VALUES (?)", context);
    for (const QString &name : foods.categories) {
        category.bind(1, name).run();
        category.reset();
    }
    Query food(*database, "INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, ?, ?)",
               context);
    for (const FoodRow &row : foods.foods) {
        food.bind(1, row.category).bind(2, row.name).bind(3, row.portion);
        if (row.kcal == std::floor(row.kcal))
            food.bind(4, qint64(row.kcal));
        else
            food.bind(4, row.kcal);
        food.run();
        food.reset();
    }
    Query alias(*database, "INSERT INTO food_alias (category, food, alias) VALUES (?, ?, ?)", context);
    for (const FoodRow &row : foods.foods) {
        for (const QString &name : row.aliases) {
            alias.bind(1, row.category).bind(2, row.name).bind(3, name).run();
            alias.reset();
        }
    }
    // Fibre and sodium are columns of their own, added here rather than in the table's layout,
    // so that a file made before them still has every column that layout names.
    execute(*database, "ALTER TABLE food_nutrient ADD COLUMN fibre REAL", context);
    execute(*database, "ALTER TABLE food_nutrient ADD COLUMN sodium REAL", context);
    // Protein, fat, carbohydrate and alcohol, fibre and sodium where a source gives them; a food
    // without is left out.
    Query nutrient(*database,
                   "INSERT INTO food_nutrient (category, food, protein, fat, carbohydrate, alcohol, fibre, sodium) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   context);
    for (const FoodRow &row : foods.foods) {
        if (!row.protein && !row.alcohol && !row.fibre && !row.sodium)
            continue;
        nutrient.bind(1, row.category).bind(2, row.name);
        int column = 3;
        for (const std::optional<double> &grams :
             {row.protein, row.fat, row.carbohydrate, row.alcohol, row.fibre, row.sodium}) {
            if (grams)
                nutrient.bind(column, *grams);
            else
                nutrient.bindNull(column);
            ++column;
        }
        nutrient.run();
        nutrient.reset();
    }
    // The tables' stamp, by which a later release knows them for these (ShippedFoods).
    ShippedFoods::writeStamp(database->handle(), context);
    transaction.commit();
}

qsizetype aliasCount(const FoodTable &foods)
{
    qsizetype count = 0;
    for (const FoodRow &row : foods.foods)
        count += row.aliases.size();
    return count;
}

int usage()
{
    err() << "usage: makedb [--if-missing] <foods.csv> <data.mdb>\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool ifMissing = args.removeAll(QStringLiteral("--if-missing")) > 0;
    if (args.size() != 2 || args.at(0).startsWith(u'-') || args.at(1).startsWith(u'-'))
        return usage();
    const QString csvPath = args.at(0);
    const QString target = args.at(1);

    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly)) {
        err() << "makedb: cannot read " << csvPath << ": " << csv.errorString() << "\n";
        return 1;
    }
    const FoodTable foods = FoodTable::parse(csv.readAll());
    if (!foods.problems.isEmpty()) {
        for (const QString &problem : foods.problems)
            err() << csvPath << ": " << problem << "\n";
        err() << "makedb: " << foods.problems.size() << " problem(s); nothing written\n";
        return 1;
    }

    const auto existing = [&] {
        if (ifMissing) {
            out() << "makedb: " << target << " exists; kept as it is\n";
            return 0;
        }
        err() << "makedb: " << target << " exists; it is never overwritten\n";
        return 1;
    };
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return existing();

    const QFileInfo targetInfo(target);
    QTemporaryFile temp(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName()
                        + QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        err() << "makedb: cannot write in " << targetInfo.absolutePath() << ": "
              << temp.errorString() << "\n";
        return 1;
    }
    temp.close();
    try {
        createDatabaseFile(temp.fileName());
        fill(temp.fileName(), foods);
    } catch (const DataError &error) {
        err() << "makedb: " << error.message() << "\n";
        return 1;
    }
    // QTemporaryFile made it private to us; the finished file is an ordinary one.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                        | QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // rename() does not replace an existing file: if the target appeared
    // meanwhile, it stays and the new file is thrown away.
    if (!temp.rename(target)) {
        if (QFileInfo::exists(target))
            return existing();
        err() << "makedb: cannot move the new file to " << target << ": " << temp.errorString() << "\n";
        return 1;
    }
    temp.setAutoRemove(false);
    out() << "makedb: wrote " << target << " (" << foods.categories.size() << " categories, "
          << foods.foods.size() << " foods, " << aliasCount(foods) << " aliases)\n";
    return 0;
}
