// SPDX-License-Identifier: GPL-3.0-or-later
// The start: a data file that cannot be used, one another program holds, one of a newer release,
// and the day's backup made at the start.
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
#include "widgets/AutoSizeLabel.h"
#include "widgets/FileDialog.h"
#include "widgets/ImageButton.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"
#include "widgets/UrlOpener.h"
#include "support/AppFixture.h"

#include <QAccessible>
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

class TestAppStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void startupFailure_data();
    void startupFailure();
    void startupWaitsForLockedFile();
    void startMakesTheDaysBackup();
    void failingBackupIsToldOnce();
    void newerFileOpensReadOnly();

private:
    QStringList m_fatalMessages;
};

void TestAppStart::initTestCase()
{
    AppFixture::prepareApplication(m_fatalMessages);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Pellomir"));
}

void TestAppStart::cleanup()
{
    m_fatalMessages.clear();
}

void TestAppStart::startupFailure_data()
{
    QTest::addColumn<QStringList>("remove");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QString>("named");

    const QByteArray garbage = QByteArray("This is not what the program keeps here.\n").repeated(40);
    QTest::newRow("data.mdb missing") << QStringList{"data.mdb"} << "" << QByteArray() << "data.mdb";
    QTest::newRow("data.mdb garbage") << QStringList{} << "data.mdb" << garbage << "data.mdb";
    // An empty file is refused as empty before the engine takes it for a database.
    QTest::newRow("data.mdb empty") << QStringList{} << "data.mdb" << QByteArray() << "data.mdb";
    QTest::newRow("data.mdb is a folder") << QStringList{"data.mdb"} << "data.mdb/" << QByteArray()
                                          << "data.mdb";
    QTest::newRow("Skin1.dat missing") << QStringList{"Skin1.dat"} << "" << QByteArray() << "Skin1.dat";
    QTest::newRow("Skin1.dat garbage") << QStringList{} << "Skin1.dat" << garbage << "Skin1.dat";
    QTest::newRow("Skin1.dat empty") << QStringList{} << "Skin1.dat" << QByteArray() << "Skin1.dat";
    QTest::newRow("Skin1.dat cut short") << QStringList{} << "Skin1.dat" << QByteArray("half")
                                         << "Skin1.dat";
    // The skin is loaded first; the database is never opened then.
    QTest::newRow("both missing") << QStringList{"Skin1.dat", "data.mdb"} << "" << QByteArray()
                                  << "Skin1.dat";
}

void TestAppStart::startupFailure()
{
    QFETCH(QStringList, remove);
    QFETCH(QString, replace);
    QFETCH(QByteArray, replacement);
    QFETCH(QString, named);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    for (const QString &name : remove)
        QVERIFY(QFile::remove(dir.filePath(name)));
    if (replace.endsWith('/')) {
        QVERIFY(QDir(dir.path()).mkdir(replace.chopped(1)));
    } else if (!replace.isEmpty()) {
        QFile file(dir.filePath(replace));
        if (QTest::currentDataTag() == QByteArray("Skin1.dat cut short")) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            replacement = file.read(file.size() / 2);
            file.close();
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(replacement);
    }
    const QStringList before = listing(dir.path());
    const auto visibleWindows = [] {
        QWidgetList visible;
        for (QWidget *topLevel : QApplication::topLevelWidgets())
            if (topLevel->isVisible())
                visible << topLevel;
        return visible;
    };
    const QWidgetList visibleBefore = visibleWindows();

    const auto window = Startup::openMainWindow(dir.path());

    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    const QString &message = m_fatalMessages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Pellomir 无法启动。")), qPrintable(message));
    QVERIFY2(message.contains(dir.filePath(named)), qPrintable(message));
    QCOMPARE(listing(dir.path()), before);
    QCOMPARE(visibleWindows(), visibleBefore);
}

void TestAppStart::startupWaitsForLockedFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = copyProgram(dir);
    std::optional<Qt::CursorShape> cursorWhileLoading;
    std::unique_ptr<MainWindow> window;
    {
        // Another program holds data.mdb for a moment: the start waits for it,
        // with the busy cursor, and then comes up.
        // (The lock's thread looks at the cursor while this thread sleeps in the wait.)
        TempDatabase::PassingLock lock(dir.filePath(QStringLiteral("data.mdb")), 300, [&] {
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                cursorWhileLoading = cursor->shape();
        });
        window = Startup::openMainWindow(folder);
    }
    QVERIFY(window);
    QCOMPARE(m_fatalMessages, QStringList());
    QCOMPARE(cursorWhileLoading, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    const QAbstractItemModel *tree = formOf(*window).foodTree->model();
    QVERIFY(tree->rowCount(tree->index(0, 0)) > 0); // the food tree was built
    window.reset();

    // Held all through the wait (cut short here): the message says the file is in use and what
    // to do, and does not send the user to reinstall a program that lacks nothing.
    {
        TempDatabase::WriteLock held(dir.filePath(QStringLiteral("data.mdb")), "BEGIN EXCLUSIVE");
        window = Startup::openMainWindow(folder, 100);
    }
    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    QVERIFY2(m_fatalMessages.first().contains(QStringLiteral("正被另一个程序使用")), qPrintable(m_fatalMessages.first()));
    QVERIFY2(!m_fatalMessages.first().contains(QStringLiteral("重新安装")), qPrintable(m_fatalMessages.first()));
}

void TestAppStart::startMakesTheDaysBackup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = copyProgram(dir);
    auto window = Startup::openMainWindow(folder);
    QVERIFY(window);
    DailyBackup backups(window->dataFile());
    MessageBox::Recorder boxes;
    // Not before the first frame: copying the file would hold the window back.
    window->finishStartAfterFirstFrame();
    QVERIFY(backups.days().isEmpty());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(backups.days(), QList<QDate>{QDate::currentDate()});
    QVERIFY(boxes.asked().isEmpty()); // a backup made is not told
    window.reset();
    // A second start the same day makes no second copy.
    window = Startup::openMainWindow(folder);
    QVERIFY(window);
    window->runDailyBackup();
    QCOMPARE(QDir(backups.folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestAppStart::failingBackupIsToldOnce()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString dataFile = dir.filePath(QStringLiteral("data.mdb"));
    QSettings memory(dir.filePath(QStringLiteral("memory.ini")), QSettings::IniFormat);
    const QDate day(2026, 3, 1);

    // No folder can be made where a file has its name.
    QFile blocker(dir.filePath(QStringLiteral("backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString told = StartupBackup::run(dataFile, day, memory);
    QVERIFY2(told.contains(QStringLiteral("备份")) && told.contains(QStringLiteral("backups")),
             qPrintable(told));
    // The same failure at the next starts: nothing more is said.
    QCOMPARE(StartupBackup::run(dataFile, day, memory), QString());
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(1), memory), QString());

    // It works again, then fails again: that is told.
    QVERIFY(blocker.remove());
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(2), memory), QString());
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("backups/data-2026-03-03.mdb"))));
    QVERIFY(QDir(dir.filePath(QStringLiteral("backups"))).removeRecursively());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(3), memory), told);
    // The data file itself is never changed by any of it.
    QVERIFY(QFileInfo(dataFile).isFile());

    // A failure whose message names the day's file: told once, not again each new day.
    QVERIFY(blocker.remove());
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool immutable = QFileInfo(folder).isWritable()
        && QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
    const auto writableAgain = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly))
        QSKIP("cannot make the backups folder read-only here");
    const QString toldOfFile = StartupBackup::run(dataFile, day.addDays(4), memory);
    QVERIFY2(toldOfFile.contains(DailyBackup::fileNameFor(day.addDays(4))), qPrintable(toldOfFile));
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(5), memory), QString());
}

// A file a newer release wrote: the window opens it read-only and says so, naming both layouts;
// nothing the user does changes it.
void TestAppStart::newerFileOpensReadOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyProgram(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "PRAGMA user_version = 99");
    QFile file(data);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    window->showStartupNotices();
    QCOMPARE(boxes.asked().size(), 1);
    const QString told = boxes.asked().constFirst().text;
    QVERIFY2(told.contains(QStringLiteral("第 99 版")), qPrintable(told));
    QVERIFY(told.contains(QStringLiteral("第 %1 版").arg(DataLayout::layout().version())));
    window->hotSpotClicked(QStringLiteral("a"));
    formOf(*window).newButton->click();
    formOf(*window).titleEdit->setText(QStringLiteral("写不进去"));
    formOf(*window).bodyEdit->setPlainText(QStringLiteral("内容"));
    formOf(*window).saveButton->click();
    QVERIFY2(boxes.asked().last().text.contains(QStringLiteral("只读")), qPrintable(boxes.asked().last().text));
    window.reset();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("data.mdb.bak-*")}).isEmpty());
}

QTEST_MAIN(TestAppStart)
#include "test_app_start.moc"
