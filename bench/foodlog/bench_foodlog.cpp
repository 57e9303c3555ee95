// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the 饮食记录 view and drawing its chart, with a year of entries
// (365 days × 12 entries, 3 activities and a weight a day) against the same with an empty log.
//
//   OpenView/N      the view made on a file holding N entries (its day, the
//                   30-day series, weight and profile read), the day page and
//                   the chart painted; the food index is built once outside.
//   EnterSection/N  the whole first opening from the window: reading the
//                   foods and building their search index as well.
// The ratio N = 4380 to N = 0 is the figure that matters.
//   EnterSectionWithName/M  the first opening on a file with a month of entries, one of whose
//                   foods (in the food table and in today's log) is named with M megabytes of
//                   text, as a hand-made file may be: against M = 0, names being bounded.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foodlog/ui/FoodLogView.h"
#include "shell/ExerciseTab.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QDate Today(2026, 12, 10);
const QDateTime Noon(Today, QTime(12, 0));

// A data.mdb with the program's tables, the food log's tables, a profile and
// `days` days of 12 entries, 3 activities and a weight each, ending today.
struct LogFile
{
    QTemporaryDir dir;
    QString path;

    explicit LogFile(int days, int nameMegabytes = 0)
    {
        path = dir.filePath(QStringLiteral("data.mdb"));
        createDatabaseFile(path);
        auto db = openDatabase(path);
        FoodLogStore store(*db, DataLayout::layout());
        Profile p;
        p.heightCm = 165;
        store.setProfile(p); // adds the tables
        sqlite3 *h = db->handle();
        sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "INSERT INTO \"02\"(category) VALUES ('谷薯主食')", nullptr, nullptr, nullptr);
        sqlite3_exec(h, "INSERT INTO \"01\"(category, food, portion, kcal) VALUES ('谷薯主食', '米饭', '100克', 116)",
                     nullptr, nullptr, nullptr);
        for (int d = 0; d < days; ++d) {
            const QDate day = Today.addDays(-d);
            for (int i = 0; i < 12; ++i) {
                FoodLogEntry e;
                e.day = day;
                e.meal = i % 4;
                e.food = QStringLiteral("食物%1").arg(i);
                e.category = QStringLiteral("谷薯主食");
                e.grams = 50 + i * 10;
                e.kcalPer100g = 100 + i * 20;
                e.created = QDateTime(day, QTime(8 + i, 0));
                store.addEntry(e);
            }
            store.setWeight(day, 70 - d * 0.01);
            ExerciseStore exercise(store.schema());
            for (int i = 0; i < 3; ++i) {
                ExerciseEntry e;
                e.day = day;
                e.activity = QStringLiteral("运动%1").arg(i);
                e.minutes = 20 + i * 10;
                e.met = 3 + i;
                e.kcal = ExerciseEntry::netKcal(e.met, 70, e.minutes);
                e.created = QDateTime(day, QTime(18 + i, 0));
                exercise.addEntry(e);
            }
        }
        if (nameMegabytes > 0) {
            const QString huge(nameMegabytes * 1024 * 1024, QChar(0x85AF));
            const QByteArray sql = QStringLiteral(
                "INSERT INTO \"01\"(category, food, portion, kcal) VALUES ('谷薯主食', '%1', '100克', 300);"
                "INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                "VALUES ('2026-12-10', 0, '%1', '谷薯主食', 100, 300, '2026-12-10 08:00:00')").arg(huge).toUtf8();
            sqlite3_exec(h, sql.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr);
    }
};

LogFile &fileWith(int entries)
{
    static LogFile empty(0);
    static LogFile year(365);
    return entries == 0 ? empty : year;
}

void OpenView(benchmark::State &state)
{
    LogFile &file = fileWith(int(state.range(0)));
    auto db = openDatabase(file.path);
    FoodLogStore store(*db, DataLayout::layout());
    const FoodChoices foods = FoodChoices::read(file.path);
    QWidget window;
    window.resize(632, 443);
    window.show();
    for (auto _ : state) {
        auto *view = new FoodLogView(store, foods, Clock([] { return Noon; }), &window);
        addExerciseTab(*view, store.schema()); // as the window adds it
        view->setGeometry(28, 48, 450, 310);
        view->show();
        QPixmap day = view->grab();
        auto *tabs = view->findChild<QTabWidget *>(QStringLiteral("foodLogTabs"));
        tabs->setCurrentIndex(tabs->count() - 1); // 30天趋势
        QPixmap chart = tabs->currentWidget()->grab();
        benchmark::DoNotOptimize(day);
        benchmark::DoNotOptimize(chart);
        delete view;
    }
}

// The first opening of the section from the window, once per iteration.
void enterSectionRepeatedly(benchmark::State &state, LogFile &file)
{
    auto db = openDatabase(file.path);
    QWidget window;
    window.resize(632, 443);
    window.show();
    for (auto _ : state) {
        FoodLogSection section(*db, &window, {}, QRect(28, 48, 450, 310), Clock([] { return Noon; }));
        section.setViewMade([&section](FoodLogView &view) { addExerciseTab(view, section.schema()); });
        section.enter();
        // The first opening asks for a profile only when there is none; there is one here.
        QPixmap day = section.view()->grab();
        benchmark::DoNotOptimize(day);
    }
}

void EnterSection(benchmark::State &state)
{
    enterSectionRepeatedly(state, fileWith(int(state.range(0))));
}

void EnterSectionWithName(benchmark::State &state)
{
    static LogFile plain(30);
    static LogFile huge(30, 10);
    enterSectionRepeatedly(state, state.range(0) == 0 ? plain : huge);
}

} // namespace

BENCHMARK(EnterSectionWithName)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenView)->Arg(0)->Arg(4380)->Unit(benchmark::kMillisecond);
BENCHMARK(EnterSection)->Arg(0)->Arg(4380)->Unit(benchmark::kMillisecond);

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
