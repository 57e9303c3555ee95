// SPDX-License-Identifier: GPL-3.0-or-later
// Food tree build and food click, each against a floor measured in the same run.
//
//   buildFoodTree/<foods>/<categories>   the build from a data.mdb, as start-up runs it
//   BuildAndOpen/<foods>/<categories>    the build, then the foods read and one category
//                                        opened (sorted), as the first look at the tree costs
//   TreeInsertFloor/<foods>/<categories> making and inserting the same, already
//                                        sorted items into a QTreeWidget
//   FoodClick/<where>                    a click on a food of a 32,767-row table
//   FullWalkClick/<where>                the same lookup done by reopening the file and
//                                        walking the table from its first row
//   (<where>: 0 = the table's last row, 1 = its middle row)
//   ReadFoodTable/<foods>/<categories>   the build's one pass over the food table
//   BareSelectFloor/<foods>/<categories> the same rows read with a bare SQLite query
//
// Food names come from the food-composition table in ../shared/data when it is
// there (read at run time only), and are made up otherwise.

#include "db/Database.h"
#include "db/Recordset.h"
#include "foods/FoodTables.h"
#include "foods/FoodText.h"
#include "foods/ui/CalorieLookup.h"

#include <QApplication>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QAbstractItemModel>
#include <QTreeView>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

struct FoodRecord
{
    QString category;
    QString name;
    int kcal;
};

struct FoodSet
{
    QStringList categories;
    QList<FoodRecord> rows; // table order
};

// --- names -------------------------------------------------------------------

QStringList parseCsvLine(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line.at(i + 1) == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

// (category, name) pairs of real foods, or none when the reference table is absent.
QList<QPair<QString, QString>> referenceFoods()
{
    QList<QPair<QString, QString>> foods;
    const QString path = qEnvironmentVariable("CALORIE_BENCH_FOODS",
                                              "/work/shared/data/tw-fda-foods.zh-Hans.csv");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return foods;
    file.readLine(); // header
    while (!file.atEnd()) {
        const QStringList fields = parseCsvLine(QString::fromUtf8(file.readLine()).trimmed());
        if (fields.size() >= 2 && !fields[0].isEmpty() && !fields[1].isEmpty())
            foods.append({fields[0], fields[1]});
    }
    return foods;
}

QString madeUpName(QRandomGenerator &random)
{
    static const QString characters = QStringLiteral(
        "白菜菠芹韭葱姜蒜豆腐米面粉条饼包子饺馄饨汤粥鸡鸭鱼虾蟹牛羊猪肉蛋奶酪茶果苹梨桃杏李枣橙柚瓜");
    QString name;
    const int length = 2 + int(random.bounded(3));
    for (int i = 0; i < length; ++i)
        name += characters.at(random.bounded(characters.size()));
    return name;
}

// `foodCount` rows in `categoryCount` categories, spread round-robin so each
// category's foods are scattered over the whole table, as in a real file. The
// last row's food is unique, so a click on it has exactly one match.
FoodSet makeFoodSet(int foodCount, int categoryCount)
{
    const QList<QPair<QString, QString>> reference = referenceFoods();
    QStringList referenceCategories;
    for (const auto &food : reference) {
        if (!referenceCategories.contains(food.first))
            referenceCategories.append(food.first);
    }

    FoodSet set;
    QRandomGenerator random(20240601);
    for (int c = 0; c < categoryCount; ++c) {
        if (categoryCount <= referenceCategories.size())
            set.categories.append(referenceCategories.at(c));
        else if (!referenceCategories.isEmpty())
            set.categories.append(QStringLiteral("%1%2组").arg(
                referenceCategories.at(c % referenceCategories.size())).arg(c + 1));
        else
            set.categories.append(QStringLiteral("%1类%2").arg(madeUpName(random)).arg(c + 1));
    }
    for (int i = 0; i < foodCount; ++i) {
        QString name;
        if (!reference.isEmpty()) {
            name = reference.at(i % reference.size()).second;
            if (i >= reference.size())
                name += QString::number(i / reference.size() + 1);
        } else {
            name = madeUpName(random);
        }
        set.rows.append({set.categories.at(i % categoryCount), name, int(random.bounded(900))});
    }
    set.rows.last().name = QStringLiteral("最后一行的食物");
    set.rows[foodCount / 2].name = QStringLiteral("中间一行的食物");
    return set;
}

// --- files -------------------------------------------------------------------

void check(int rc, sqlite3 *db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        qFatal("sqlite: %s", sqlite3_errmsg(db));
}

void writeDatabase(const QString &path, const FoodSet &set)
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    check(sqlite3_open(path.toUtf8().constData(), &db), db);
    check(sqlite3_exec(db,
                       "CREATE TABLE \"02\" (id INTEGER PRIMARY KEY, category TEXT);"
                       "CREATE TABLE \"01\" (id INTEGER PRIMARY KEY, category TEXT, food TEXT,"
                       " portion TEXT, kcal NUMERIC); BEGIN;",
                       nullptr, nullptr, nullptr), db);
    sqlite3_stmt *statement = nullptr;
    check(sqlite3_prepare_v2(db, "INSERT INTO \"02\" (category) VALUES (?)", -1, &statement, nullptr), db);
    for (const QString &category : set.categories) {
        const QByteArray text = category.toUtf8();
        sqlite3_bind_text(statement, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(statement), db);
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    check(sqlite3_prepare_v2(db, "INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, '100克', ?)",
                             -1, &statement, nullptr), db);
    for (const FoodRecord &row : set.rows) {
        const QByteArray category = row.category.toUtf8();
        const QByteArray name = row.name.toUtf8();
        sqlite3_bind_text(statement, 1, category.constData(), int(category.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(statement, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(statement, 3, row.kcal);
        check(sqlite3_step(statement), db);
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

struct Fixture
{
    FoodSet set;
    QString path;
};

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

const Fixture &fixture(int foodCount, int categoryCount)
{
    static std::map<std::pair<int, int>, Fixture> made;
    auto found = made.find({foodCount, categoryCount});
    if (found == made.end()) {
        Fixture fixture;
        fixture.set = makeFoodSet(foodCount, categoryCount);
        fixture.path = workDir().filePath(QStringLiteral("foods-%1-%2.mdb").arg(foodCount).arg(categoryCount));
        writeDatabase(fixture.path, fixture.set);
        found = made.emplace(std::make_pair(foodCount, categoryCount), std::move(fixture)).first;
    }
    return found->second;
}

// --- the panel ---------------------------------------------------------------

QList<QIcon> nodeImages()
{
    QList<QIcon> images;
    for (const QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colour);
        images.append(QIcon(pixmap));
    }
    return images + images;
}

struct Panel
{
    QWidget window;
    QListWidget *categoryList = new QListWidget(&window);
    QTreeView *foodTree = new QTreeView(&window);
    QLineEdit *titleView = new QLineEdit(&window);
    QLineEdit *foodNameBox = new QLineEdit(&window);
    QLabel *kcalFigure = new QLabel(&window);

    CalorieLookupControls controls()
    {
        return CalorieLookupControls{categoryList, foodTree, nodeImages(), titleView, foodNameBox, kcalFigure};
    }
};

QModelIndex findFood(QTreeView *tree, const QString &category, const QString &food)
{
    const QAbstractItemModel *model = tree->model();
    const QModelIndex root = model->index(0, 0);
    for (int i = 0; i < model->rowCount(root); ++i) {
        const QModelIndex node = model->index(i, 0, root);
        if (node.data().toString() != category)
            continue;
        for (int j = 0; j < model->rowCount(node); ++j) {
            if (model->index(j, 0, node).data().toString() == food)
                return model->index(j, 0, node);
        }
    }
    qFatal("food %s not in the tree", qPrintable(food));
}

// --- benchmarks --------------------------------------------------------------

void buildFoodTree(benchmark::State &state)
{
    const Fixture &data = fixture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        auto panel = std::make_unique<Panel>();
        CalorieLookup recipe(data.path, panel->controls());
        state.ResumeTiming();
        recipe.buildFoodTree();
        state.PauseTiming();
        panel.reset(); // freeing the tree is no part of the build
        state.ResumeTiming();
    }
}

void BuildAndOpen(benchmark::State &state)
{
    const Fixture &data = fixture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        state.PauseTiming();
        auto panel = std::make_unique<Panel>();
        CalorieLookup recipe(data.path, panel->controls());
        state.ResumeTiming();
        recipe.buildFoodTree();
        const QAbstractItemModel *model = panel->foodTree->model();
        const QModelIndex root = model->index(0, 0);
        benchmark::DoNotOptimize(model->rowCount(model->index(model->rowCount(root) - 1, 0, root)));
        state.PauseTiming();
        panel.reset();
        state.ResumeTiming();
    }
}

// The least any build must do: make the same items and put them into the tree
// in one go, with the names already grouped and sorted.
void TreeInsertFloor(benchmark::State &state)
{
    const Fixture &data = fixture(int(state.range(0)), int(state.range(1)));
    QHash<QString, QStringList> grouped;
    for (const FoodRecord &row : data.set.rows)
        grouped[row.category].append(row.name);
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setNumericMode(true);
    for (QStringList &names : grouped)
        std::stable_sort(names.begin(), names.end(), collator);
    const QList<QIcon> images = nodeImages();

    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<QTreeWidget>();
        state.ResumeTiming();
        auto *root = new QTreeWidgetItem(QStringList{QStringLiteral("热量计算-食物分类")});
        root->setIcon(0, images[0]);
        QList<QTreeWidgetItem *> categories;
        for (const QString &name : data.set.categories) {
            auto *category = new QTreeWidgetItem(QStringList{name});
            category->setIcon(0, images[1]);
            category->setData(0, Qt::UserRole, name);
            QList<QTreeWidgetItem *> foods;
            for (const QString &food : grouped.value(name)) {
                auto *node = new QTreeWidgetItem(QStringList{food});
                node->setIcon(0, images[3]);
                foods.append(node);
            }
            category->addChildren(foods);
            categories.append(category);
        }
        root->addChildren(categories);
        tree->addTopLevelItem(root);
        root->setExpanded(true);
        tree->setCurrentItem(root);
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

constexpr int ClickFoods = 32767;
constexpr int ClickCategories = 1000;

const FoodRecord &clickTarget(const Fixture &data, int where)
{
    return where == 0 ? data.set.rows.last() : data.set.rows.at(ClickFoods / 2);
}

void FoodClick(benchmark::State &state)
{
    const Fixture &data = fixture(ClickFoods, ClickCategories);
    const FoodRecord &target = clickTarget(data, int(state.range(0)));
    Panel panel;
    CalorieLookup recipe(data.path, panel.controls());
    recipe.buildFoodTree();
    const QModelIndex node = findFood(panel.foodTree, target.category, target.name);
    for (auto _ : state) {
        panel.foodNameBox->clear();
        recipe.onTreeNodeClicked(node);
    }
    if (panel.foodNameBox->text() != target.name || panel.kcalFigure->text() != QString::number(target.kcal))
        state.SkipWithError("the click showed the wrong food");
}

// The lookup without a remembered row: open the file, walk the food table from
// the first row, reading and trimming category and name, until the match.
void FullWalkClick(benchmark::State &state)
{
    const Fixture &data = fixture(ClickFoods, ClickCategories);
    const FoodRecord &target = clickTarget(data, int(state.range(0)));
    Panel panel;
    for (auto _ : state) {
        panel.foodNameBox->clear();
        auto db = openDatabase(data.path);
        auto rs = db->openRecordset(QStringLiteral("01"));
        rs->moveFirst();
        const int count = rs->recordCount();
        for (int i = 0; i < count; ++i) {
            const Field category = rs->field(1);
            const Field food = rs->field(2);
            if (!category.isNull() && !food.isNull()
                && FoodText::trimmed(category.textOrEmpty()) == target.category
                && FoodText::trimmed(food.textOrEmpty()) == target.name) {
                panel.kcalFigure->setText(FoodText::trimmed(rs->field(4).textOrEmpty()));
                panel.kcalFigure->adjustSize();
                panel.foodNameBox->setText(FoodText::trimmed(food.textOrEmpty()));
                break;
            }
            rs->moveNext();
        }
        rs->close();
        db->close();
    }
    if (panel.foodNameBox->text() != target.name)
        state.SkipWithError("the walk did not find the food");
}

// The build's read of the food table, through the cursor.
void ReadFoodTable(benchmark::State &state)
{
    const Fixture &data = fixture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        auto db = openDatabase(data.path);
        auto rs = db->openRecordset(QStringLiteral("01"));
        benchmark::DoNotOptimize(FoodTables::readFoodIndex(*rs, data.set.categories));
    }
}

// The least a read of the food table costs: one query, two texts and the id per row.
void BareSelectFloor(benchmark::State &state)
{
    const Fixture &data = fixture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        check(sqlite3_open_v2(data.path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db);
        sqlite3_stmt *statement = nullptr;
        check(sqlite3_prepare_v2(db, "SELECT id, category, food FROM \"01\" ORDER BY id", -1,
                                 &statement, nullptr), db);
        QList<FoodRecord> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto text = [&](int column) {
                return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                                         sqlite3_column_bytes(statement, column));
            };
            rows.append({text(1), text(2), int(sqlite3_column_int64(statement, 0))});
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        benchmark::DoNotOptimize(rows);
    }
}

BENCHMARK(buildFoodTree)->Args({2000, 18})->Args({32767, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BuildAndOpen)->Args({2000, 18})->Args({32767, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(TreeInsertFloor)->Args({2000, 18})->Args({32767, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFoodTable)->Args({2000, 18})->Args({32767, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BareSelectFloor)->Args({2000, 18})->Args({32767, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(FoodClick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullWalkClick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
