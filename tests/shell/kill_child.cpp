// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own data steps, for kill_loop.sh to kill at random moments. Each step prints
// one line once the program has confirmed it (as the window would tell the user), and nothing
// before:
//   data_kill_child <folder> <prefix> <seed>   the window on <folder>/data.mdb, offscreen: log
//       adds and note saves as the 饮食记录 view and the notebook make them, 导入自定义食物…
//       and 从备份恢复… through the window menu; the first write to an older file upgrades it.
//       Prints "LOG <food>", "NOTE <title>", "IMPORT <name> <name> <name>", "RESTORE <file>".
//   data_kill_child <folder> <prefix> <seed> writer   another program beside it: note saves
//       into 有氧运动 on a connection of its own, "WNOTE <title>" each.
//   data_kill_child <folder> <prefix> <seed> start   the window's start alone.
#include "datafile/DataLayout.h"
#include "db/DatabaseCopy.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Recordset.h"
#include "foodlog/FoodLogStore.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "support/WindowParts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>

namespace {

void confirm(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

int writer(const QString &dataFile, const QString &prefix)
{
    for (int n = 0;; ++n) {
        const QString title = QStringLiteral("%1w%2").arg(prefix).arg(n);
        try {
            auto db = openDatabase(dataFile);
            auto notes = db->openRecordset(QStringLiteral("yd"));
            notes->addNew();
            notes->setField(QStringLiteral("Name"), title);
            notes->setField(QStringLiteral("demo"), QStringLiteral("正文 ") + title);
            notes->update();
            confirm(QStringLiteral("WNOTE ") + title);
        } catch (const DataError &) {
            // Locked by a restore, or the file is being replaced: the next one tries again.
        }
        QThread::msleep(15);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    QRandomGenerator random(QByteArray(argv[3]).toUInt());
    const QString dataFile = QDir(folder).filePath(QStringLiteral("data.mdb"));
    if (argc > 4 && QByteArray(argv[4]) == "writer")
        return writer(dataFile, prefix);

    auto window = Startup::openMainWindow(folder);
    if (!window)
        return 1;
    if (argc > 4 && QByteArray(argv[4]) == "start")
        return 0;
    QMenu *menu = windowMenuOf(*window);
    MessageBox::Recorder boxes; // every question answered with its first button: 确定, 替换
    FileDialog::Recorder files;
    auto db = openDatabase(dataFile);
    FoodLogStore log(*db, DataLayout::layout());
    // At most two restores a run: the copies kept before restores (the newest five) then still
    // hold what each restore replaced when the script looks.
    int restoresLeft = 2;
    for (int n = 0;; ++n) {
        const QString name = QStringLiteral("%1x%2").arg(prefix).arg(n);
        int step = random.bounded(10);
        if (step == 9 && restoresLeft-- <= 0)
            step = 0;
        try {
            if (step < 4) {
                FoodLogEntry entry;
                entry.day = QDate(2026, 12, 10);
                entry.meal = n % 4;
                entry.food = name;
                entry.category = QStringLiteral("谷薯");
                entry.grams = 100;
                entry.kcalPer100g = 116;
                log.addEntry(entry);
                confirm(QStringLiteral("LOG ") + name);
            } else if (step < 8) {
                auto notes = db->openRecordset(QStringLiteral("sp"));
                notes->addNew();
                notes->setField(QStringLiteral("Name"), name);
                notes->setField(QStringLiteral("demo"), QStringLiteral("正文 ") + name);
                notes->update();
                confirm(QStringLiteral("NOTE ") + name);
            } else if (step < 9) {
                const QString csv = QDir(folder).filePath(name + QStringLiteral(".csv"));
                QFile file(csv);
                if (!file.open(QIODevice::WriteOnly))
                    return 3;
                file.write("类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\r\n");
                for (const char *part : {"a", "b", "c"})
                    file.write(QStringLiteral("食物,%1%2,我的食物,80,,,,,,,,,\r\n").arg(name, QLatin1String(part)).toUtf8());
                file.close();
                boxes.clear();
                files.answer(csv);
                menu->findChild<QAction *>(QStringLiteral("importOwnFoods"))->trigger();
                if (!boxes.asked().isEmpty() && boxes.asked().last().text.startsWith(QStringLiteral("已导入 3 种")))
                    confirm(QStringLiteral("IMPORT %1a %1b %1c").arg(name));
            } else {
                // A backup of the data as it is now, restored at once: everything confirmed so
                // far is in it, and the data before it in the copy the restore keeps.
                const QString backup = QDir(folder).filePath(name + QStringLiteral(".mdb"));
                copyDatabaseFile(dataFile, backup);
                boxes.clear();
                files.answer(backup);
                menu->findChild<QAction *>(QStringLiteral("restoreData"))->trigger();
                if (!boxes.asked().isEmpty() && boxes.asked().last().text.startsWith(QStringLiteral("已从")))
                    confirm(QStringLiteral("RESTORE ") + backup);
            }
        } catch (const DataError &) {
            // Not confirmed: the window would have said why.
        }
    }
}
