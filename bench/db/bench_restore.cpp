// SPDX-License-Identifier: GPL-3.0-or-later
// What copying in steps costs, so that a box can show how far a copy or a restore got and take
// 取消: on a file of 100,000 notebook rows (about 25 MB),
//  - the restore's content put in 500 rows at a time with a progress told after each step,
//    against the same statements with one INSERT … SELECT per table;
//  - SQLite's backup in steps of 256 pages with a progress, against one step of all pages.
#include "db/Database.h"
#include "db/DatabaseRestore.h"
#include "db/Schema.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kRows = 100000;

struct Fixture
{
    QTemporaryDir dir;
    QString source;
    QString live;

    Fixture()
    {
        source = dir.filePath(QStringLiteral("backup.mdb"));
        live = dir.filePath(QStringLiteral("data.mdb"));
        createDatabaseFile(source);
        createDatabaseFile(live);
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(source).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray fill = QStringLiteral(
                                    "BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                    "INSERT INTO sp (Name, demo) SELECT '标题' || i, printf('%.*c', 200, '记') FROM n; COMMIT;")
                                    .arg(kRows)
                                    .toUtf8();
        sqlite3_exec(db, fill.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void RestoreInSteps(benchmark::State &state)
{
    const PreparedRestore prepared(fixture().source, {});
    auto live = openDatabase(fixture().live);
    qint64 told = 0;
    for (auto _ : state)
        prepared.replace(*live, {}, [&told](qint64, qint64) {
            ++told;
            return true;
        });
    benchmark::DoNotOptimize(told);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(RestoreInSteps)->Unit(benchmark::kMillisecond);

// The same content by the statements a restore ran before it went in steps.
void RestoreAtOnce(benchmark::State &state)
{
    const PreparedRestore prepared(fixture().source, {});
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(fixture().live).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
    const QByteArray attach = "ATTACH DATABASE '" + QFile::encodeName(prepared.scratchPath()) + "' AS restored";
    sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
    for (auto _ : state) {
        const int rc = sqlite3_exec(db,
                                    "BEGIN IMMEDIATE; DROP TABLE sp; DROP TABLE yd; DROP TABLE xd; DROP TABLE rj;"
                                    "CREATE TABLE sp AS SELECT * FROM restored.sp WHERE 0;"
                                    "INSERT INTO sp SELECT * FROM restored.sp;"
                                    "CREATE TABLE yd AS SELECT * FROM restored.yd;"
                                    "CREATE TABLE xd AS SELECT * FROM restored.xd;"
                                    "CREATE TABLE rj AS SELECT * FROM restored.rj; COMMIT; PRAGMA integrity_check;",
                                    nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            state.SkipWithError(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(RestoreAtOnce)->Unit(benchmark::kMillisecond);

void backup(benchmark::State &state, int pagesPerStep)
{
    sqlite3 *source = nullptr;
    sqlite3_open_v2(QFile::encodeName(fixture().source).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray target = QFile::encodeName(fixture().dir.filePath(QStringLiteral("copy.mdb")));
    qint64 told = 0;
    for (auto _ : state) {
        QFile::remove(QString::fromLocal8Bit(target));
        sqlite3 *copy = nullptr;
        sqlite3_open_v2(target.constData(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        sqlite3_exec(source, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_backup *step = sqlite3_backup_init(copy, "main", source, "main");
        while (sqlite3_backup_step(step, pagesPerStep) == SQLITE_OK)
            told += sqlite3_backup_pagecount(step) - sqlite3_backup_remaining(step);
        if (sqlite3_backup_finish(step) != SQLITE_OK)
            state.SkipWithError("backup failed");
        sqlite3_exec(source, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(copy);
    }
    sqlite3_close(source);
    benchmark::DoNotOptimize(told);
}

void BackupInSteps(benchmark::State &state)
{
    backup(state, 256);
}
BENCHMARK(BackupInSteps)->Unit(benchmark::kMillisecond);

void BackupAtOnce(benchmark::State &state)
{
    backup(state, -1);
}
BENCHMARK(BackupAtOnce)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
