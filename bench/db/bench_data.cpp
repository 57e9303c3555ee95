// SPDX-License-Identifier: GPL-3.0-or-later
// The cursor against bare SQLite on the same file, in the same run:
//  - a full walk of a 32,767-row food table reading positions 1 and 2 as text,
//    against one SELECT of the same two columns stepped to the end;
//  - addNew + setField + Update of one notebook row, against one bare INSERT
//    (autocommit, synchronous=EXTRA on both).
#include "db/Database.h"
#include "db/Recordset.h"
#include "db/Schema.h"

#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int kFoodRows = 32767;

struct Fixture
{
    QTemporaryDir dir;
    QString path;

    Fixture()
    {
        path = dir.filePath(QStringLiteral("data.mdb"));
        createDatabaseFile(path);
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt *insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO \"01\" (category, food, portion, kcal) VALUES (?, ?, '100克', ?)",
                           -1, &insert, nullptr);
        for (int i = 0; i < kFoodRows; ++i) {
            const QByteArray category = QStringLiteral("分类%1").arg(i / 300).toUtf8();
            const QByteArray food = QStringLiteral("食物名称%1").arg(i).toUtf8();
            sqlite3_bind_text(insert, 1, category.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, food.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 3, i % 900);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

// The bare side opens the file as the data layer does (one thread per
// connection, so no per-call locking inside SQLite).
sqlite3 *openBare();

Fixture &fixture()
{
    static Fixture f; // built once, on first use, for all benchmarks of the run
    return f;
}

sqlite3 *openBare()
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(fixture().path.toUtf8().constData(), &db,
                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    return db;
}

void CursorWalk(benchmark::State &state)
{
    auto database = openDatabase(fixture().path);
    qint64 chars = 0;
    for (auto _ : state) {
        auto rs = database->openRecordset(QStringLiteral("01"));
        rs->moveFirst();
        const int count = rs->recordCount();
        for (int i = 0; i < count; ++i) {
            const QString category = rs->field(1).text();
            const QString food = rs->field(2).text();
            chars += category.size() + food.size();
            rs->moveNext();
        }
        if (!rs->isEOF())
            state.SkipWithError("walk did not reach the end");
    }
    benchmark::DoNotOptimize(chars);
    state.SetItemsProcessed(state.iterations() * kFoodRows);
}
BENCHMARK(CursorWalk)->Unit(benchmark::kMillisecond);

void BareSelect(benchmark::State &state)
{
    sqlite3 *db = openBare();
    qint64 chars = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT category, food FROM \"01\" ORDER BY id", -1, &stmt, nullptr);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const QString category = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)),
                sqlite3_column_bytes(stmt, 0));
            const QString food = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)),
                sqlite3_column_bytes(stmt, 1));
            chars += category.size() + food.size();
            ++rows;
        }
        sqlite3_finalize(stmt);
        if (rows != kFoodRows)
            state.SkipWithError("select did not return every row");
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(chars);
    state.SetItemsProcessed(state.iterations() * kFoodRows);
}
BENCHMARK(BareSelect)->Unit(benchmark::kMillisecond);

void CursorAddRow(benchmark::State &state)
{
    auto database = openDatabase(fixture().path);
    auto rs = database->openRecordset(QStringLiteral("sp"));
    const QString title = QStringLiteral("今天的食谱");
    const QString body = QStringLiteral("早餐：燕麦粥一碗，鸡蛋一个。午餐：米饭半碗，青菜。");
    for (auto _ : state) {
        rs->addNew();
        rs->setField(QStringLiteral("Name"), title);
        rs->setField(QStringLiteral("demo"), body);
        rs->update();
    }
}
BENCHMARK(CursorAddRow)->Unit(benchmark::kMicrosecond);

void BareInsert(benchmark::State &state)
{
    sqlite3 *db = openBare();
    sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
    const QByteArray title = QStringLiteral("今天的食谱").toUtf8();
    const QByteArray body = QStringLiteral("早餐：燕麦粥一碗，鸡蛋一个。午餐：米饭半碗，青菜。").toUtf8();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO sp (Name, demo) VALUES (?, ?)", -1, &stmt, nullptr);
    for (auto _ : state) {
        sqlite3_bind_text(stmt, 1, title.constData(), int(title.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, body.constData(), int(body.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            state.SkipWithError("insert failed");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BareInsert)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
