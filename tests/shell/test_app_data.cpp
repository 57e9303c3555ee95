// SPDX-License-Identifier: GPL-3.0-or-later
// The data commands of the window menu on the real window: exporting notes, the food log and own
// foods, the report, backups and restores, imports.
#include "datafile/DataLayout.h"
#include "db/DailyBackup.h"
#include "db/CsvText.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/Recordset.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "report/LogReport.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/FoodChoices.h"
#include "foods/FoodCatalog.h"
#include "ownfoods/OwnFoodStore.h"
#include "foodlog/LogSchema.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foodlog/ui/FoodLogView.h"
#include "report/ui/ReportPeriodDialog.h"
#include "foods/ui/CalorieLookup.h"
#include "notebook/NoteExport.h"
#include "notebook/ui/NotebookController.h"
#include "resources/Pictures.h"
#include "db/FileLayout.h"
#include "datafile/DataLayout.h"
#include "shell/AboutPage.h"
#include "shell/DataCommands.h"
#include "shell/FatalError.h"
#include "skin/ui/MainForm.h"
#include "shell/MainWindow.h"
#include "skin/ui/SkinCaptions.h"
#include "shell/Startup.h"
#include "shell/StartupBackup.h"
#include "skin/ui/SkinButton.h"
#include "support/WindowParts.h"
#include "support/SmallDisk.h"
#include "support/TempDatabase.h"
#include "support/TypeText.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/FileDialog.h"
#include "widgets/ImageButton.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"
#include "widgets/UrlOpener.h"
#include "support/AppFixture.h"

#include <QAccessible>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QResource>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QSettings>
#include <QPainter>
#include <QSvgRenderer>
#include <QContextMenuEvent>
#include <QMenu>
#include <sqlite3.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>

#include <cmath>
#include <optional>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

using namespace AppFixture;

class TestAppData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void exportNotes_data();
    void exportNotes();
    void exportFoodLogAndExercise();
    void ownFoodsMoveToAnotherComputer();
    void reportOfTheLastDays_data();
    void reportOfTheLastDays();
    void backupToChosenPlace();
    void fullDiskOrSpecialFileChangesNothing_data();
    void fullDiskOrSpecialFileChangesNothing();
    void restoreGoodBackup();
    void restoreWhileFoodLogShown();
    void waistKeptThroughBackupRestoreAndExport();
    void everySearchSharesFoodsThatFollowTheFile();
    void restoreRefusesBadFiles_data();
    void restoreRefusesBadFiles();
    void restoreWaitsForNoOtherWriter();

private:
    QStringList m_fatalMessages;
};

void TestAppData::initTestCase()
{
    AppFixture::prepareApplication(m_fatalMessages);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Pellomir"));
}

void TestAppData::cleanup()
{
    m_fatalMessages.clear();
}

void TestAppData::exportNotes_data()
{
    QTest::addColumn<QString>("onShow");  // skin object of the section on show; empty: none
    QTest::addColumn<int>("filter");      // index of the filter chosen
    QTest::addColumn<QString>("name");    // the file name typed
    QTest::addColumn<QString>("file");    // the file written
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<bool>("csv");
    const QStringList all = {"瘦身食谱", "有氧运动", "瘦身心得", "瘦身日记"};
    QTest::newRow("all as Markdown") << "" << 0 << "notes.md" << "notes.md" << all << false;
    QTest::newRow("all as CSV, ending added") << "" << 1 << "notes" << "notes.csv" << all << true;
    QTest::newRow("all while a section is on show") << "b" << 0 << "all.md" << "all.md" << all << false;
    QTest::newRow("the section on show, Markdown") << "e" << 2 << "diary.md" << "diary.md"
                                                   << QStringList{"瘦身日记"} << false;
    QTest::newRow("the section on show, CSV") << "a" << 3 << "recipes" << "recipes.csv"
                                              << QStringList{"瘦身食谱"} << true;
    // The ending typed decides the format, whichever filter was left selected.
    QTest::newRow(".csv typed, Markdown filter") << "" << 0 << "notes.csv" << "notes.csv" << all << true;
    QTest::newRow(".md typed, CSV filter") << "" << 1 << "notes.md" << "notes.md" << all << false;
    QTest::newRow(".CSV typed, section on show in Markdown") << "a" << 2 << "recipes.CSV" << "recipes.CSV"
                                                             << QStringList{"瘦身食谱"} << true;
}

void TestAppData::exportNotes()
{
    QFETCH(QString, onShow);
    QFETCH(int, filter);
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QStringList, sections);
    QFETCH(bool, csv);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    copyProgram(dir);
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('早餐', '燕麦, \"牛奶\"\n两行');"
                 "INSERT INTO rj(time, Name, demo) VALUES ('2026-01-02 07:30', '第一天', '🎉');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    if (!onShow.isEmpty())
        window->hotSpotClicked(onShow);

    // Cancelled: nothing written, nothing said.
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QVERIFY(boxes.asked().isEmpty());

    const QStringList filters = files.asked().first().filters;
    QCOMPARE(filters.size(), onShow.isEmpty() ? 3 : 5); // the notes, then the food log
    files.answer(dir.filePath(name), filters.at(filter));
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(files.asked().size(), 2);
    QVERIFY(files.asked().last().save);
    QCOMPARE(boxes.asked().size(), 1);
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.startsWith(QStringLiteral("已把")), qPrintable(told));

    QFile written(dir.filePath(file));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    auto db = openDatabase(data);
    QList<ExportedSection> expected;
    for (const QString &section : sections)
        for (const QString &table : NoteExport::tables())
            if (NoteExport::sectionName(table) == section)
                expected << NoteExport::read(*db, {table});
    QCOMPARE(bytes, csv ? NoteExport::toCsv(expected) : NoteExport::toMarkdown(expected));
    QVERIFY(told.contains(QString::number(NoteExport::noteCount(expected))));
    QVERIFY(bytes.contains("燕麦") == sections.contains(QStringLiteral("瘦身食谱")));

    // Never over the data file.
    boxes.clear();
    files.answer(data, filters.at(0));
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("不能导出")));
    verifyDatabaseFile(data);
}

// 导出笔记… offers the food log and exercise as one CSV: every entry within range, one row each.
void TestAppData::exportFoodLogAndExercise()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    copyProgram(dir);
    {
        auto db = openDatabase(data);
        FoodLogStore store(*db, DataLayout::layout());
        FoodLogEntry rice;
        rice.day = QDate(2026, 12, 9);
        rice.meal = 1;
        rice.food = QStringLiteral("米饭");
        rice.grams = 150;
        rice.kcalPer100g = 116;
        store.addEntry(rice);
        ExerciseEntry walk;
        walk.day = QDate(2026, 12, 9);
        walk.activity = QStringLiteral("快走");
        walk.minutes = 30;
        walk.met = 4.3;
        walk.kcal = 99;
        ExerciseStore(store.schema()).addEntry(walk);
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    menuAction(*window, "exportNotes")->trigger(); // cancelled, to see the filters
    const QString logFilter = files.asked().first().filters.last();
    QCOMPARE(logFilter, QStringLiteral("饮食与运动记录 CSV (*.csv)"));
    files.answer(dir.filePath(QStringLiteral("log")), logFilter);
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把 1 条饮食记录和 1 条运动记录导出到")),
             qPrintable(boxes.asked().first().text));
    QFile written(dir.filePath(QStringLiteral("log.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvText::records(written.readAll());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(1), (QStringList{"2026-12-09", "饮食", "午餐", "米饭", "150", "克", "174"}));
    QCOMPARE(rows.at(2), (QStringList{"2026-12-09", "运动", "", "快走", "30", "分钟", "99"}));
}

// 导出自定义食物… on one computer, 导入自定义食物… on another: the foods arrive and are found; a
// second import asks about the clash, and 保留已有的 keeps the ones already there.
void TestAppData::ownFoodsMoveToAnotherComputer()
{
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    copyProgram(first);
    copyProgram(second);
    {
        auto db = openDatabase(first.filePath(QStringLiteral("data.mdb")));
        LogSchema schema(*db, DataLayout::layout());
        OwnFood tea;
        tea.name = QStringLiteral("我的奶茶");
        tea.category = OwnFood::defaultCategory();
        tea.kcalPer100g = 80;
        OwnFoodStore(schema).add(tea);
    }
    const QString file = first.filePath(QStringLiteral("foods.csv"));
    {
        auto window = Startup::openMainWindow(first.path());
        MessageBox::Recorder boxes;
        FileDialog::Recorder files;
        files.answer(file);
        menuAction(*window, "exportOwnFoods")->trigger();
        QCOMPARE(boxes.asked().size(), 1);
        QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把 1 种自定义食物导出到")),
                 qPrintable(boxes.asked().first().text));
    }
    auto window = Startup::openMainWindow(second.path());
    // Imported while the food log is on show: its search offers the foods at once.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->hotSpotClicked(QStringLiteral("f"));
    QVERIFY(foodLogShown(*window));
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(file);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("已导入 1 种自定义食物。"));
    QCOMPARE(FoodChoices(FoodCatalog::read(second.filePath(QStringLiteral("data.mdb")))).match(QStringLiteral("wdnc")).value(0).name,
             QStringLiteral("我的奶茶"));
    auto *logSearch = window->findChild<QLineEdit *>(QStringLiteral("logSearch"));
    QVERIFY(logSearch);
    logSearch->setFocus();
    typeText(logSearch, QStringLiteral("wdnc"));
    QAbstractItemView *found = logSearch->completer()->popup();
    QTRY_VERIFY(found->isVisible());
    QVERIFY2(!found->model()->match(found->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("我的奶茶"), 1,
                                    Qt::MatchStartsWith).isEmpty(),
             qPrintable(found->model()->index(0, 0).data().toString()));

    boxes.clear();
    MessageBox::setNextChoice(1); // 保留已有的
    files.answer(file);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 2);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("有 1 种自定义食物与已有的同名：我的奶茶")));
    QCOMPARE(boxes.asked().first().labels, (QStringList{"替换", "保留已有的", "取消"}));
    QCOMPARE(boxes.asked().last().text, QStringLiteral("已导入 0 种自定义食物，保留了 1 种已有的同名食物。"));
}

void TestAppData::reportOfTheLastDays_data()
{
    QTest::addColumn<int>("choice"); // 0 最近 7 天, 1 最近 30 天, 2 two dates
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("told");
    QTest::newRow("7 days") << 0 << 7 << "Pellomir-报告-最近7天-2026-12-04至2026-12-10.pdf" << "已把最近 7 天的报告导出到";
    QTest::newRow("30 days") << 1 << 30 << "Pellomir-报告-最近30天-2026-11-11至2026-12-10.pdf" << "已把最近 30 天的报告导出到";
    QTest::newRow("two dates") << 2 << 10 << "Pellomir-报告-2026-11-21至2026-11-30.pdf"
                               << "已把2026年11月21日至2026年11月30日的报告导出到";
}

// 导出报告… asks for the days by name (最近 7 天, 最近 30 天, two dates), then offers a file named
// after them, and writes the PDF; the report's figures are those of the log: each day's intake and
// budget, exercise, weights, the foods that gave most.
void TestAppData::reportOfTheLastDays()
{
    QFETCH(int, choice);
    QFETCH(int, days);
    QFETCH(QString, fileName);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QDate today(2026, 12, 10);
    const Clock clock([today] { return QDateTime(today, QTime(20, 0)); });
    {
        auto db = openDatabase(dir.filePath(QStringLiteral("data.mdb")));
        FoodLogStore store(*db, DataLayout::layout(), clock);
        Profile profile;
        profile.heightCm = 165;
        store.setProfile(profile);
        for (int d = 0; d < 40; ++d) {
            FoodLogEntry rice;
            rice.day = today.addDays(-d);
            rice.food = QStringLiteral("米饭");
            rice.category = QStringLiteral("谷薯主食");
            rice.grams = 300;
            rice.kcalPer100g = 116;
            rice.nutrientsPer100g = Nutrients{2.6, 0.3, 25.9, 0};
            store.addEntry(rice);
            store.setWeight(today.addDays(-d), 70 + d * 0.1);
        }
        ExerciseEntry walk;
        walk.day = today;
        walk.activity = QStringLiteral("快走");
        walk.minutes = 30;
        walk.met = 4.3;
        walk.kcal = 99;
        ExerciseStore exercise(store.schema());
        exercise.addEntry(walk);
        const LogReport report = choice == 2 ? LogReport::read(store, exercise, QDate(2026, 11, 21), QDate(2026, 11, 30))
                                             : LogReport::read(store, exercise, today, days);
        QCOMPARE(report.days.size(), days);
        QCOMPARE(report.loggedDays(), days);
        QCOMPARE(qRound(report.meanIntake()), 348);
        QCOMPARE(report.days.last().figures.burnedKcal.value_or(0), choice == 2 ? 0.0 : 99.0);
        QVERIFY(report.days.last().budget.has_value());
        QCOMPARE(report.topFoods.size(), 1);
        QCOMPARE(report.topFoods.first().kcal, qint64(348) * days);
        QCOMPARE(report.shares.carbohydrate.verdictText(), QStringLiteral("偏高"));
    }
    auto window = Startup::openMainWindow(dir.path());
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    ReportPeriodDialog::Recorder periods;
    menuAction(*window, "exportReport")->trigger(); // the days not chosen: no file is asked for
    QCOMPARE(periods.asked().size(), 1);
    QVERIFY(files.asked().isEmpty());
    const ReportPeriod period = choice == 2
        ? ReportPeriod::between(QDate(2026, 11, 30), QDate(2026, 11, 21), LogReport::MaxDays)
        : ReportPeriod::lastDays(choice ? ReportPeriod::Kind::LastMonth : ReportPeriod::Kind::LastWeek, today);
    periods.answer(period);
    files.answer(dir.filePath(QStringLiteral("report")));
    menuAction(*window, "exportReport")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QCOMPARE(files.asked().first().filters, QStringList{QStringLiteral("PDF 文件 (*.pdf)")});
    QCOMPARE(QFileInfo(files.asked().first().path).fileName(), fileName);
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(told), qPrintable(boxes.asked().first().text));
    QFile pdf(dir.filePath(QStringLiteral("report.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
}

void TestAppData::backupToChosenPlace()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('心得', '坚持');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    const QString chosen = dir.filePath(QStringLiteral("我的备份"));
    files.answer(chosen);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把数据备份到")),
             qPrintable(boxes.asked().first().text));
    verifyDatabaseFile(chosen + QStringLiteral(".mdb"));
    QCOMPARE(titlesOn(chosen + QStringLiteral(".mdb"), "xd"), QStringList{"心得"});

    // Over an existing file (the chooser asked): the new copy takes its place.
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('早睡', '十一点');");
    files.answer(chosen + QStringLiteral(".mdb"));
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(titlesOn(chosen + QStringLiteral(".mdb"), "xd"), (QStringList{"心得", "早睡"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("我的备份")).size(), 1);

    // Never over the data file itself.
    boxes.clear();
    files.answer(data);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("不能")));
    QCOMPARE(titlesOn(data, "xd"), (QStringList{"心得", "早睡"}));

    // A name that cannot be replaced (a folder holding a file): nothing of it is lost, and no
    // copy is left behind.
    boxes.clear();
    const QString folder = dir.filePath(QStringLiteral("文件夹.mdb"));
    QVERIFY(QDir().mkpath(folder));
    QFile kept(folder + QStringLiteral("/留着.txt"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    files.answer(folder);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("没有备份")),
             qPrintable(boxes.asked().first().text));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/留着.txt")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("文件夹")).size(), 0);

    // The rename over the old copy fails (the file is protected): the old copy stays as it
    // was, the new one is not left beside it, and the message says so.
    const QString protectedCopy = chosen + QStringLiteral(".mdb");
    const QByteArray oldCopy = [&] {
        QFile file(protectedCopy);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), protectedCopy}) != 0)
        QSKIP("cannot protect a file here (chattr)");
    const auto unprotect = qScopeGuard([&] {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), protectedCopy});
    });
    boxes.clear();
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('第三条', '不会进旧备份');");
    files.answer(protectedCopy);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("没有备份")), qPrintable(boxes.asked().first().text));
    QVERIFY2(boxes.asked().first().text.contains(QStringLiteral("原来的文件未作改动")), qPrintable(boxes.asked().first().text));
    QFile after(protectedCopy);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), oldCopy);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("我的备份")).size(), 1);
}

void TestAppData::fullDiskOrSpecialFileChangesNothing_data()
{
    QTest::addColumn<QString>("command");  // exportNotes or backupData
    QTest::addColumn<QString>("target");   // new, existing, fifo, device
    QTest::addColumn<qint64>("free");      // bytes left free on the small disk
    for (const char *command : {"exportNotes", "backupData"}) {
        const QString said = QLatin1String(command);
        QTest::addRow("%s, new file, 4 KB free", command) << said << "new" << qint64(4096);
        QTest::addRow("%s, new file, disk full", command) << said << "new" << qint64(0);
        QTest::addRow("%s, over a good file, 4 KB free", command) << said << "existing" << qint64(4096);
        QTest::addRow("%s, onto a pipe", command) << said << "fifo" << qint64(-1);
        QTest::addRow("%s, onto a device", command) << said << "device" << qint64(-1);
    }
}

// Out of space, the commands say nothing was written, a good file of that name stays as it was
// and nothing half-written is left; a pipe or a device is refused, never replaced by a file.
void TestAppData::fullDiskOrSpecialFileChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QFETCH(qint64, free);
    SmallDisk disk(256);
    if (!disk.isMounted())
        QSKIP("cannot mount a small tmpfs here (needs the right to mount)");

    QTemporaryDir dir;
    const QString data = copyProgram(dir) + QStringLiteral("/data.mdb");
    // Notes enough that the export is larger than the space left.
    QByteArray notes = "BEGIN;";
    for (int i = 0; i < 60; ++i)
        notes += "INSERT INTO xd(Name, demo) VALUES ('心得" + QByteArray::number(i) + "', '"
            + QByteArray("坚持每天走一万步。").repeated(8) + "');";
    execOn(data, notes + "COMMIT;");
    const bool exporting = command == QLatin1String("exportNotes");
    const QString chosen = disk.filePath(exporting ? QStringLiteral("笔记.md") : QStringLiteral("备份.mdb"));
    const QByteArray good = "an earlier export or backup the user keeps\n";
    if (target == QLatin1String("existing")) {
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(good);
    } else if (target == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(chosen).constData(), 0600), 0);
    } else if (target == QLatin1String("device")) {
        // A node of the same kind as /dev/null, made in the test's own folder.
        if (::mknod(QFile::encodeName(chosen).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("cannot make a device node here");
    }
    if (free >= 0)
        QVERIFY(disk.leaveFree(free));
    const QStringList before = disk.names();

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(chosen);
    menuAction(*window, command.toLatin1().constData())->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.startsWith(exporting ? QStringLiteral("没有导出") : QStringLiteral("没有备份")), qPrintable(told));
    if (free >= 0)
        QVERIFY2(told.contains(QStringLiteral("磁盘")), qPrintable(told));
    QCOMPARE(disk.names(), before);
    const QFileInfo after(chosen);
    if (target == QLatin1String("existing")) {
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), good);
    } else if (target == QLatin1String("fifo")) {
        QVERIFY(!after.isFile() && after.exists());
    } else if (target == QLatin1String("device")) {
        struct stat node;
        QCOMPARE(::stat(QFile::encodeName(chosen).constData(), &node), 0);
        QVERIFY(S_ISCHR(node.st_mode));
    }
    verifyDatabaseFile(data);
}

void TestAppData::restoreGoodBackup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('备份里的食谱', '旧的');");
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    copyDatabaseFile(data, backup);
    execOn(data, "DELETE FROM sp; INSERT INTO sp(Name, demo) VALUES ('后来的食谱', '新的');"
                 "INSERT INTO \"02\"(category) VALUES ('后来的分类');");

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.finishStartAfterFirstFrame(); // today's backup, as at every start
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(QFileInfo(DailyBackup(data).folder()).isDir());
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    w.hotSpotClicked(QStringLiteral("a"));
    QCOMPARE(formOf(w).titleView->text(), QStringLiteral("后来的食谱"));
    const auto categories = [&w] { return formOf(w).foodTree->model()->rowCount(formOf(w).foodTree->model()->index(0, 0)); };
    const int categoriesBefore = categories();

    // Another program's connection, open all along.
    sqlite3 *other = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(data).constData(), &other) == SQLITE_OK);
    auto closeOther = qScopeGuard([&] { sqlite3_close(other); });

    MessageBox::setNextAnswer(MessageBox::NoButton);
    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QCOMPARE(files.asked().first().path, DailyBackup(data).folder());
    // Asked first (Cancel by default), naming all it replaces and the backup's date, then told.
    QCOMPARE(boxes.asked().size(), 2);
    QCOMPARE(boxes.asked().first().defaultButton, MessageBox::Cancel);
    const QString asked = boxes.asked().first().text;
    for (const QString &named : {QStringLiteral("笔记"), QStringLiteral("饮食记录"), QStringLiteral("体重"),
                                 QStringLiteral("个人资料"), QStringLiteral("食物表"),
                                 QFileInfo(backup).lastModified().toString(QStringLiteral("yyyy年M月d日"))})
        QVERIFY2(asked.contains(named), qPrintable(asked));
    const QString told = boxes.asked().last().text;
    QVERIFY2(told.startsWith(QStringLiteral("已从")), qPrintable(told));

    // The window shows the restored data at once: the section's record and the food tree.
    QCOMPARE(formOf(w).titleView->text(), QStringLiteral("备份里的食谱"));
    QCOMPARE(formOf(w).bodyView->toPlainText(), QStringLiteral("旧的"));
    QCOMPARE(categories(), categoriesBefore - 1);
    QCOMPARE(titlesOn(data, "sp"), QStringList{"备份里的食谱"});
    // The other connection reads the restored content too.
    sqlite3_stmt *stmt = nullptr;
    QCOMPARE(sqlite3_prepare_v2(other, "SELECT Name FROM sp", -1, &stmt, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
    QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
             QStringLiteral("备份里的食谱"));
    sqlite3_finalize(stmt);

    // What was there before is kept in the backups folder, and named in the message.
    const QStringList before = QDir(DailyBackup(data).folder())
                                   .entryList({QStringLiteral("data-before-restore-*.mdb")}, QDir::Files);
    QCOMPARE(before.size(), 1);
    const QString beforePath = QDir(DailyBackup(data).folder()).filePath(before.first());
    QCOMPARE(titlesOn(beforePath, "sp"), QStringList{"后来的食谱"});
    QVERIFY(told.contains(beforePath));
    // Writing works on after the restore, and the record is saved into the restored data.
    formOf(w).newButton->click();
    formOf(w).titleEdit->setText(QStringLiteral("恢复后写的"));
    formOf(w).bodyEdit->setPlainText(QStringLiteral("内容"));
    formOf(w).saveButton->click();
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"备份里的食谱", "恢复后写的"}));

    // Cancel on the question changes nothing.
    boxes.clear();
    files.answer(beforePath);
    MessageBox::setNextAnswer(MessageBox::Cancel);
    menuAction(w, "restoreData")->trigger();
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"备份里的食谱", "恢复后写的"}));
}

void TestAppData::restoreWhileFoodLogShown()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    copyDatabaseFile(data, backup);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!skinEngineOf(w).object(QStringLiteral("f")))
        QSKIP("the skin has no food log button");
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    w.hotSpotClicked(QStringLiteral("a"));
    skinEngineOf(w).clickObject(QStringLiteral("f"));
    QVERIFY(foodLogShown(w));

    // No notebook section is on show: only the whole notebook (and the food log) is offered.
    menuAction(w, "exportNotes")->trigger();
    QCOMPARE(files.asked().last().filters.size(), 3);

    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    // The backup had no food log yet: it arrived with the log's tables, in the same step.
    {
        auto restored = openDatabase(data);
        QVERIFY(FoodLogStore(*restored, DataLayout::layout()).isUpToDate());
    }
    // The food log stays on show over the notebook's controls.
    QVERIFY(foodLogShown(w));
    for (QWidget *covered : {static_cast<QWidget *>(formOf(w).previousButton), static_cast<QWidget *>(formOf(w).bodyView),
                             static_cast<QWidget *>(formOf(w).titleView)})
        QVERIFY2(!covered->isVisible(), qPrintable(covered->objectName()));
    // Back in the section, the notebook shows the restored data.
    skinEngineOf(w).clickObject(QStringLiteral("a"));
    QVERIFY(!foodLogShown(w));
    QVERIFY(formOf(w).previousButton->isVisible());
}

// A waist figure goes into 备份数据…, comes back with 从备份恢复… after it was changed, and is in
// the log's CSV (导出笔记…, 饮食与运动记录).
void TestAppData::waistKeptThroughBackupRestoreAndExport()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QDate day(2026, 12, 9);
    {
        auto db = openDatabase(data);
        FoodLogStore store(*db, DataLayout::layout());
        store.setWeight(day, 80.2);
        store.setWaist(day, 86.5);
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    const QString chosen = dir.filePath(QStringLiteral("腰围备份.mdb"));
    files.answer(chosen);
    menuAction(w, "backupData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已把数据备份到")), qPrintable(boxes.asked().last().text));

    execOn(data, "UPDATE waist_log SET cm = 99;");
    {
        auto db = openDatabase(data);
        QCOMPARE(FoodLogStore(*db, DataLayout::layout()).waistOn(day).value_or(-1), 99.0);
    }
    MessageBox::setNextAnswer(MessageBox::NoButton);
    files.answer(chosen);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    {
        auto db = openDatabase(data);
        QCOMPARE(FoodLogStore(*db, DataLayout::layout()).waistOn(day).value_or(-1), 86.5);
    }

    const QString logFilter = QStringLiteral("饮食与运动记录 CSV (*.csv)");
    files.answer(dir.filePath(QStringLiteral("log")), logFilter);
    menuAction(w, "exportNotes")->trigger();
    QFile written(dir.filePath(QStringLiteral("log.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvText::records(written.readAll());
    QVERIFY(rows.contains(QStringList{"2026-12-09", "体重", "", "体重", "80.2", "千克", ""}));
    QVERIFY(rows.contains(QStringList{"2026-12-09", "腰围", "", "腰围", "86.5", "厘米", ""}));
}

// The calorie panel's search and the food log's read the foods once between them; a restored
// file with other foods reaches both; a log opened while the foods could not be read tries again
// at its next opening.
void TestAppData::everySearchSharesFoodsThatFollowTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("other.mdb"));
    copyDatabaseFile(data, backup);
    execOn(backup, "INSERT INTO \"01\"(category, food, portion, kcal) "
                   "SELECT category, '恢复后才有的饼', '100克', 321 FROM \"02\" LIMIT 1;");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!skinEngineOf(w).object(QStringLiteral("f")))
        QSKIP("the skin has no food log button");
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    // The foods cannot be read when the log first opens: said once, tried again next time.
    execOn(data, "ALTER TABLE \"02\" RENAME TO hidden_categories;");
    skinEngineOf(w).clickObject(QStringLiteral("f"));
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.contains(QStringLiteral("暂时不能添加食物")), qPrintable(boxes.asked().first().text));
    skinEngineOf(w).clickObject(QStringLiteral("a"));
    execOn(data, "ALTER TABLE hidden_categories RENAME TO \"02\";");
    skinEngineOf(w).clickObject(QStringLiteral("f"));
    QCOMPARE(boxes.asked().size(), 1);
    FoodLogView *view = foodLogViewOf(w);
    auto *logSearch = view->findChild<QLineEdit *>(QStringLiteral("logSearch"));
    auto *add = view->findChild<QPushButton *>(QStringLiteral("logAdd"));
    const auto logCount = [&] {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(data).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        int count = -1;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM food_log", -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW)
            count = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return count;
    };
    logSearch->setText(QStringLiteral("米饭"));
    add->click();
    QCOMPARE(logCount(), 1);
    QCOMPARE(boxes.asked().size(), 1);

    // Both searches, one reading of the foods.
    skinEngineOf(w).clickObject(QStringLiteral("a"));
    auto *panelSearch = w.findChild<QLineEdit *>(QStringLiteral("searchField"));
    auto *panelResults = w.findChild<QListWidget *>(QStringLiteral("searchResults"));
    const auto panelFinds = [&](const QString &text) {
        panelSearch->setText(text);
        return !panelResults->findItems(text, Qt::MatchStartsWith).isEmpty();
    };
    QVERIFY(panelFinds(QStringLiteral("米饭")));
    QVERIFY(!panelFinds(QStringLiteral("恢复后才有的饼")));
    const int readsBefore = w.sharedFoods().reads();
    QCOMPARE(readsBefore, 2); // the failed first reading, then the one both share

    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    skinEngineOf(w).clickObject(QStringLiteral("f"));
    logSearch->setText(QStringLiteral("恢复后才有的饼"));
    add->click();
    QCOMPARE(boxes.asked().last().text.contains(QStringLiteral("没有找到")), false);
    QCOMPARE(logCount(), 1); // the restored file had no entries; this is its first
    skinEngineOf(w).clickObject(QStringLiteral("a"));
    QVERIFY(panelFinds(QStringLiteral("恢复后才有的饼")));
    QCOMPARE(w.sharedFoods().reads(), readsBefore + 1);
}

void TestAppData::restoreRefusesBadFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("named");
    QTest::newRow("not a database") << "garbage" << "不是可用的数据库文件";
    QTest::newRow("another program's database") << "foreign" << "不是本程序的数据文件";
    QTest::newRow("fails integrity_check") << "corrupt" << "损坏";
    QTest::newRow("empty file") << "empty" << "空";
    QTest::newRow("the data file itself") << "self" << "正在使用的数据文件";
    QTest::newRow("a hard link to the data file") << "hard link" << "正在使用的数据文件";
    QTest::newRow("a food log of another shape") << "food log reshaped" << "表“food_log”缺少列";
}

void TestAppData::restoreRefusesBadFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('现在的食谱', '内容');");
    QString bad = dir.filePath(QStringLiteral("bad.mdb"));
    if (kind == QLatin1String("garbage")) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("This is no database at all.\n").repeated(200));
    } else if (kind == QLatin1String("empty")) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("foreign")) {
        execOn(bad, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);");
    } else if (kind == QLatin1String("corrupt")) {
        // A sound copy with an index that no longer matches its table.
        copyDatabaseFile(data, bad);
        execOn(bad, "CREATE INDEX byName ON sp(Name); PRAGMA writable_schema=ON;"
                    "UPDATE sqlite_schema SET sql='CREATE INDEX byName ON sp(demo)' WHERE name='byName';");
    } else if (kind == QLatin1String("food log reshaped")) {
        copyDatabaseFile(data, bad);
        execOn(bad, "CREATE TABLE food_log (day TEXT, food TEXT, grams REAL);");
    } else if (kind == QLatin1String("hard link")) {
#if defined(Q_OS_UNIX)
        QVERIFY(::link(QFile::encodeName(data).constData(), QFile::encodeName(bad).constData()) == 0);
#else
        QSKIP("hard links are made here with POSIX link()");
#endif
    } else {
        bad = data;
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    const QStringList backupsBefore = listing(DailyBackup(data).folder());

    files.answer(bad);
    menuAction(*window, "restoreData")->trigger();
    QCOMPARE(boxes.asked().size(), 1); // refused at once: no question first
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.contains(named), qPrintable(told));
    QCOMPARE(titlesOn(data, "sp"), QStringList{"现在的食谱"});
    QCOMPARE(listing(DailyBackup(data).folder()), backupsBefore);
}

// Another program writing when a restore begins: the restore takes the file's write lock before it
// copies the current data and holds it to the end, so it refuses, saying the file is in use, with
// nothing copied and nothing replaced; once the other program is done, it goes through.
void TestAppData::restoreWaitsForNoOtherWriter()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('备份里的食谱', '旧的');");
    copyDatabaseFile(data, backup);
    execOn(data, "DELETE FROM sp; INSERT INTO sp(Name, demo) VALUES ('现在的食谱', '新的');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    window->database()->setLockWaitLimit(100);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    sqlite3 *other = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(data).constData(), &other) == SQLITE_OK);
    auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO sp(Name, demo) VALUES ('另一个程序写的', '')", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    MessageBox::setNextAnswer(MessageBox::Ok);
    files.answer(backup);
    menuAction(*window, "restoreData")->trigger();
    QCOMPARE(boxes.asked().size(), 2); // the question, then the refusal
    QVERIFY2(boxes.asked().last().text.contains(QStringLiteral("正被另一个程序使用")), qPrintable(boxes.asked().last().text));
    QVERIFY(QDir(DailyBackup(data).folder()).entryList({QStringLiteral("data-before-restore-*")}, QDir::Files).isEmpty());
    QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"现在的食谱", "另一个程序写的"}));

    boxes.clear();
    MessageBox::setNextAnswer(MessageBox::Ok);
    files.answer(backup);
    menuAction(*window, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    QCOMPARE(titlesOn(data, "sp"), QStringList{"备份里的食谱"});
    const QStringList before = QDir(DailyBackup(data).folder()).entryList({QStringLiteral("data-before-restore-*")}, QDir::Files);
    QCOMPARE(before.size(), 1);
    // The copy is exactly what was replaced: the other program's write with it.
    QCOMPARE(titlesOn(QDir(DailyBackup(data).folder()).filePath(before.first()), "sp"),
             (QStringList{"现在的食谱", "另一个程序写的"}));
}

QTEST_MAIN(TestAppData)
#include "test_app_data.moc"
