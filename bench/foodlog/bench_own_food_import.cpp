// SPDX-License-Identifier: GPL-3.0-or-later
// Importing own foods from a CSV file of N rows (what 导入自定义食物… does once the file is read):
//   ReadCsv/N      the file's bytes checked and read into foods, as the dialog would take them;
//   ImportFoods/N  those foods written into a fresh file in one transaction.
// Both should grow in proportion to N: compare N = 20000 with N = 100000.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "foodlog/LogSchema.h"
#include "ownfoods/OwnFoodStore.h"
#include "ownfoods/OwnFoodCsv.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QByteArray csvOf(int rows)
{
    QByteArray csv = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\r\n";
    for (int i = 0; i < rows; ++i)
        csv += "食物,我的食物" + QByteArray::number(i) + ",我的食物,80,别名" + QByteArray::number(i) + ",1杯,250,,,,1,2,3\r\n";
    return csv;
}

void ReadCsv(benchmark::State &state)
{
    const QByteArray csv = csvOf(int(state.range(0)));
    for (auto _ : state) {
        const OwnFoodCsv::Reading reading = OwnFoodCsv::read(csv, [](const QString &) { return false; });
        benchmark::DoNotOptimize(reading.foods.size());
        if (!reading.problems.isEmpty())
            state.SkipWithError("the file was refused");
    }
    state.SetBytesProcessed(state.iterations() * csv.size());
}
BENCHMARK(ReadCsv)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ImportFoods(benchmark::State &state)
{
    const QVector<OwnFood> foods = OwnFoodCsv::read(csvOf(int(state.range(0)))).foods;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("data.mdb"));
        createDatabaseFile(path);
        auto db = openDatabase(path);
        LogSchema schema(*db, DataLayout::layout());
        schema.ensureTables();
        OwnFoodStore store(schema);
        state.ResumeTiming();
        benchmark::DoNotOptimize(store.importFoods(foods, false));
    }
}
BENCHMARK(ImportFoods)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
