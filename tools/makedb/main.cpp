// SPDX-License-Identifier: GPL-3.0-or-later
// makedb [--if-missing] <foods.csv> <data.mdb>
//
// Makes a new data.mdb with the program's empty tables and the food table from
// the CSV file. It never overwrites or changes an existing file: that file
// holds the user's notebook. The new file is written beside the target under a
// temporary name and renamed into place only when complete.
#include "Database.h"
#include "DataError.h"
#include "FoodCsv.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <cmath>
#include <sqlite3.h>

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

void exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        throw DataError(text, sqlite3_errcode(db));
    }
}

struct Insert
{
    sqlite3_stmt *stmt = nullptr;
    Insert(sqlite3 *db, const char *sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
            throw DataError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db));
    }
    ~Insert() { sqlite3_finalize(stmt); }
    void text(int index, const QString &value)
    {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void run(sqlite3 *db)
    {
        if (sqlite3_step(stmt) != SQLITE_DONE)
            throw DataError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_errcode(db));
        sqlite3_reset(stmt);
    }
};

// Fills the food tables in one transaction (one sync instead of one per row).
void fill(const QString &path, const FoodTable &foods)
{
    auto database = OpenDatabase(path);
    sqlite3 *db = database->handle();
    exec(db, "BEGIN");
    Insert category(db, "INSERT INTO \"02\" (category) VALUES (?)");
    for (const QString &name : foods.categories) {
        category.text(1, name);
        category.run(db);
    }
    Insert food(db, "INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, ?, ?)");
    for (const FoodRow &row : foods.foods) {
        food.text(1, row.category);
        food.text(2, row.name);
        food.text(3, row.portion);
        if (row.kcal == std::floor(row.kcal))
            sqlite3_bind_int64(food.stmt, 4, qint64(row.kcal));
        else
            sqlite3_bind_double(food.stmt, 4, row.kcal);
        food.run(db);
    }
    Insert alias(db, "INSERT INTO food_alias (category, food, alias) VALUES (?, ?, ?)");
    for (const FoodRow &row : foods.foods) {
        for (const QString &name : row.aliases) {
            alias.text(1, row.category);
            alias.text(2, row.name);
            alias.text(3, name);
            alias.run(db);
        }
    }
    exec(db, "COMMIT");
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
        CreateDatabaseFile(temp.fileName());
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
