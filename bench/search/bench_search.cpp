// SPDX-License-Identifier: GPL-3.0-or-later
// Food search over 32,767 foods, against a floor measured in the same run.
//
//   SearchIndexBuild          making the index (sorting by pinyin, reading every name word by word)
//   FirstUse                  what opening the calorie panel costs the first time: reading the
//                             foods and their other names from a data.mdb, then the index
//   Keystrokes                every keystroke of the typed queries below, one search each;
//                             counters: the median and the slowest keystroke, in microseconds,
//                             each keystroke at its fastest over the iterations
//   SubstringFloorKeystrokes  the same keystrokes as a plain scan of the names for the text,
//                             case-insensitive, keeping the first 50: the least any search costs
//   Search/<n>, SubstringFloor/<n>   one typed query each (the names are printed at start)
//
// The foods are the names of resources/foods.csv, each also as dishes made with it
// (炒 …, 凉拌 …, … 汤, …), 32,767 in all, with the aliases of that file.
#include "db/Schema.h"
#include "foods/FoodCatalog.h"
#include "foods/FoodSearchIndex.h"

#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#ifndef PELLOMIR_FOODS_CSV
#error "PELLOMIR_FOODS_CSV must name resources/foods.csv"
#endif

namespace {

constexpr int FoodCount = 32767;

// What a user types, one keystroke at a time; the last two with tones (marks, numbers).
const QStringList TypedQueries = {
    QStringLiteral("xihongshi"), QStringLiteral("xhs"),     QStringLiteral("tudousi"),
    QStringLiteral("番茄"),      QStringLiteral("牛肉面"),  QStringLiteral("lvdou"),
    QStringLiteral("baohe"),     QStringLiteral("mlsh"),    QStringLiteral("zzzz"),
    QStringLiteral("hongshaoniurou"), QStringLiteral("xī hóng shì"), QStringLiteral("tang2cu4pai2gu3"),
};

QVector<SearchableFood> makeFoods()
{
    QFile file(QStringLiteral(PELLOMIR_FOODS_CSV));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", PELLOMIR_FOODS_CSV);
    QVector<SearchableFood> base;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u',');
        SearchableFood food;
        food.category = fields.value(0);
        food.name = fields.value(1);
        food.portion = fields.value(2);
        food.kcal = fields.value(3);
        const QString aliases = fields.value(4);
        if (!aliases.isEmpty())
            food.aliases = aliases.split(u'、');
        base.append(food);
    }
    static const QStringList before = {"", "炒", "凉拌", "红烧", "清蒸", "干煸", "油焖", "酱爆", "香煎",
                                       "水煮", "卤", "烤", "炖", "蒜蓉", "椒盐", "糖醋", "麻辣",
                                       "家常", "手撕", "鲜"};
    static const QStringList after = {"", "汤", "粥", "饼", "丝", "片", "丁", "泥", "羹", "卷", "包"};
    QVector<SearchableFood> foods;
    foods.reserve(FoodCount);
    for (const QString &suffix : after) {
        for (const QString &prefix : before) {
            for (const SearchableFood &food : base) {
                if (foods.size() == FoodCount)
                    return foods;
                SearchableFood made = food;
                made.name = prefix + food.name + suffix;
                made.rowId = foods.size() + 1;
                if (!prefix.isEmpty() || !suffix.isEmpty())
                    made.aliases.clear();
                foods.append(made);
            }
        }
    }
    return foods;
}

const QVector<SearchableFood> &foods()
{
    static const QVector<SearchableFood> made = makeFoods();
    return made;
}

const FoodSearchIndex &index()
{
    static const FoodSearchIndex built(foods());
    return built;
}

QStringList keystrokes()
{
    QStringList typed;
    for (const QString &query : TypedQueries)
        for (qsizetype n = 1; n <= query.size(); ++n)
            typed.append(query.left(n));
    return typed;
}

int substringScan(const QString &query)
{
    int found = 0;
    for (const SearchableFood &food : foods()) {
        if (food.name.contains(query, Qt::CaseInsensitive) && ++found == FoodSearchIndex::DefaultLimit)
            break;
    }
    return found;
}

template<typename Search>
void timeKeystrokes(benchmark::State &state, Search search)
{
    const QStringList typed = keystrokes();
    // Each keystroke's fastest time over the iterations: on a shared machine a single time
    // mostly measures what else ran then, the fastest one what the search costs.
    std::vector<double> micros(size_t(typed.size()), 1e300);
    for (auto _ : state) {
        for (qsizetype i = 0; i < typed.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(search(typed[i]));
            micros[size_t(i)] = std::min(micros[size_t(i)], std::chrono::duration<double, std::micro>(
                                                              std::chrono::steady_clock::now() - start).count());
        }
    }
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["slowest_us"] = micros.back();
    state.counters["keystrokes"] = double(typed.size());
}

void SearchIndexBuild(benchmark::State &state)
{
    for (auto _ : state) {
        FoodSearchIndex built(foods());
        benchmark::DoNotOptimize(built);
    }
    state.counters["foods"] = double(foods().size());
}
BENCHMARK(SearchIndexBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

// A data.mdb holding the foods, their categories and other names.
QString makeDatabase(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    createDatabaseFile(path);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const auto run = [db](const char *sql, const QStringList &values) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray utf8 = values[i].toUtf8();
            sqlite3_bind_text(stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(stmt);
        sqlite3_finalize(stmt);
    };
    QStringList categories;
    for (const SearchableFood &food : foods()) {
        if (!categories.contains(food.category)) {
            categories.append(food.category);
            run("INSERT INTO \"02\"(category) VALUES (?)", {food.category});
        }
        run("INSERT INTO \"01\"(category, food, portion, kcal) VALUES (?, ?, ?, ?)",
            {food.category, food.name, food.portion, food.kcal});
        for (const QString &alias : food.aliases)
            run("INSERT INTO food_alias(category, food, alias) VALUES (?, ?, ?)",
                {food.category, food.name, alias});
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return path;
}

void FirstUse(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeDatabase(dir);
    for (auto _ : state) {
        FoodSearchIndex built(FoodCatalog::read(path));
        benchmark::DoNotOptimize(built);
    }
}
BENCHMARK(FirstUse)->Unit(benchmark::kMillisecond)->Iterations(3);

void Keystrokes(benchmark::State &state)
{
    index();
    timeKeystrokes(state, [](const QString &query) { return index().search(query).size(); });
}
BENCHMARK(Keystrokes)->Unit(benchmark::kMillisecond);

void SubstringFloorKeystrokes(benchmark::State &state)
{
    timeKeystrokes(state, substringScan);
}
BENCHMARK(SubstringFloorKeystrokes)->Unit(benchmark::kMillisecond);

void Search(benchmark::State &state)
{
    const QString query = TypedQueries.at(state.range(0));
    index();
    for (auto _ : state)
        benchmark::DoNotOptimize(index().search(query));
    state.counters["results"] = double(index().search(query).size());
}
BENCHMARK(Search)->DenseRange(0, int(TypedQueries.size()) - 1)->Unit(benchmark::kMicrosecond);

void SubstringFloor(benchmark::State &state)
{
    const QString query = TypedQueries.at(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(substringScan(query));
}
BENCHMARK(SubstringFloor)->DenseRange(0, int(TypedQueries.size()) - 1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    for (int i = 0; i < TypedQueries.size(); ++i)
        std::printf("query %d: %s\n", i, TypedQueries[i].toUtf8().constData());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
