// SPDX-License-Identifier: GPL-3.0-or-later
// How well the window answers while today's backup of a large data.mdb is made: the longest gap
// between two events the window processed during the first 3 s after its first frame.
//
//   BackupGap/1   the start as the program makes it: the backup (a checked copy of 200 MB)
//                 on its worker thread.
//   BackupGap/0   the floor: the same window and file, no backup.
//   BackupGap/2   for comparison, the same backup made on the window's own thread, as the
//                 program did before it moved to a worker.
// The reported time of each is that longest gap; the ratio of the two is the figure that matters.
#include "db/DailyBackup.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr int WatchedMs = 3000;

// The program's folder with a data.mdb grown to about 200 MB of diary records.
struct LargeProgram
{
    QTemporaryDir dir;

    LargeProgram()
    {
        for (const char *name : {"data.mdb", "Skin1.dat"})
            QFile::copy(QStringLiteral(PELLOMIR_BIN_DIR "/") + QLatin1String(name), dir.filePath(QLatin1String(name)));
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(dir.filePath(QStringLiteral("data.mdb"))).constData(), &db);
        sqlite3_exec(db,
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                     "INSERT INTO rj (Name, demo) SELECT 'x', hex(randomblob(50000)) FROM n",
                     nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

void BackupGap(benchmark::State &state)
{
    static LargeProgram program;
    const bool backup = state.range(0) == 1;
    const bool onWindowThread = state.range(0) == 2;
    for (auto _ : state) {
        QDir(DailyBackup(program.dir.filePath(QStringLiteral("data.mdb"))).folder()).removeRecursively();
        auto window = Startup::openMainWindow(program.dir.path());
        if (!window) {
            state.SkipWithError("the window did not open");
            return;
        }
        if (backup)
            window->finishStartAfterFirstFrame();
        window->show();

        // Events as fast as the loop turns: the longest time between two is how long the window
        // could not answer.
        qint64 longest = 0;
        QElapsedTimer watched;
        QElapsedTimer sinceLast;
        QTimer tick;
        tick.setInterval(0);
        QEventLoop loop;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (!watched.isValid()) {
                watched.start();
                sinceLast.start();
                return;
            }
            longest = std::max(longest, sinceLast.nsecsElapsed());
            sinceLast.start();
            if (watched.elapsed() >= WatchedMs)
                loop.quit();
        });
        tick.start();
        if (onWindowThread)
            QTimer::singleShot(100, window.get(), [&window] { window->runDailyBackup(); });
        loop.exec();
        state.SetIterationTime(double(longest) / 1e9);
        if (backup && window->isBackupRunning())
            state.counters["backup_still_running"] = 1;
        window.reset(); // waits for a backup still being made
    }
}

} // namespace

BENCHMARK(BackupGap)->Arg(0)->Arg(1)->Arg(2)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Startup::prepareApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
