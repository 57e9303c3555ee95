// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DailyBackup.h"
#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "db/ProgramPresence.h"
#include "foodlog/LogSchema.h"
#include "ownfoods/OwnFoodStore.h"
#include "shell/DataLocation.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "widgets/FileDialog.h"
#include "widgets/LongWork.h"
#include "widgets/MessageBox.h"
#include "support/WindowParts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sqlite3.h>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

// The window's data commands and start against files that are not what they seem: pipes and
// devices, files too big or in another encoding, backups that carry views; copies that pile up;
// a window open over midnight.
class TestDataSafety : public QObject
{
    Q_OBJECT

private slots:
    void importRefusesWhatIsNoFile_data();
    void importRefusesWhatIsNoFile();
    void importReadsAChineseSpreadsheet();
    void importClashAnsweredByNamedButtons_data();
    void importClashAnsweredByNamedButtons();
    void importCancelledChangesNothing();
    void restoreCancelledLeavesTheFileAsItWas_data();
    void restoreCancelledLeavesTheFileAsItWas();
    void exportCancelledLeavesNoFile_data();
    void exportCancelledLeavesNoFile();
    void restoreRefusesSpecialFilesAndViews_data();
    void restoreRefusesSpecialFilesAndViews();
    void dataFileMustBeARegularFile();
    void restoresKeepTheNewestFiveCopiesBefore();
    void killedCopiesTemporariesGoAtTheNextStart();
    void windowOpenOverMidnightBacksUpTheNewDay();
    void systemCausesAreToldInChinese();
};

namespace {

const QString BinDir = QStringLiteral(PELLOMIR_BIN_DIR);
const QByteArray Header = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\r\n";

QString copyFixture(const QTemporaryDir &dir)
{
    for (const char *name : {"data.mdb", "Skin1.dat", "about.html"}) {
        const QString source = BinDir + QLatin1Char('/') + QLatin1String(name);
        if (!QFile::copy(source, dir.filePath(QLatin1String(name))))
            qFatal("cannot copy %s: build the program first", qPrintable(source));
    }
    return dir.path();
}

QAction *menuAction(MainWindow &w, const char *name)
{
    return windowMenuOf(w)->findChild<QAction *>(QLatin1String(name));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// What can stand where a file is expected: a named pipe with no writer, a link to an endless
// device. Empty when the system cannot make it.
QString specialFile(const QTemporaryDir &dir, const QString &kind)
{
#if defined(Q_OS_UNIX)
    const QString path = dir.filePath(QStringLiteral("special-") + kind);
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
    if (kind == QLatin1String("zero"))
        return QFile::link(QStringLiteral("/dev/zero"), path) ? path : QString();
    if (kind == QLatin1String("urandom"))
        return QFile::link(QStringLiteral("/dev/urandom"), path) ? path : QString();
#endif
    Q_UNUSED(dir);
    Q_UNUSED(kind);
    return QString();
}

QStringList ownFoodNames(const QString &dataFile)
{
    auto db = openDatabase(dataFile);
    QStringList names;
    for (const OwnFood &food : OwnFoods::read(*db))
        names << food.name;
    names.sort();
    return names;
}

void addOwnFood(const QString &dataFile, const QString &name, double kcal)
{
    auto db = openDatabase(dataFile);
    LogSchema schema(*db, DataLayout::layout());
    OwnFood food;
    food.name = name;
    food.category = OwnFood::defaultCategory();
    food.kcalPer100g = kcal;
    OwnFoodStore(schema).add(food);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList listing(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

void TestDataSafety::importRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    // Each read to its end would freeze the window for good or fill the memory.
    QTest::newRow("a pipe without a writer") << "fifo" << "不是普通文件";
    QTest::newRow("a link to /dev/zero") << "zero" << "不是普通文件";
    QTest::newRow("a link to /dev/urandom") << "urandom" << "不是普通文件";
    QTest::newRow("over the size limit") << "big" << "太大";
    QTest::newRow("a NUL in a name") << "nul" << "第 2 行含有空字符";
}

void TestDataSafety::importRefusesWhatIsNoFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    QString path = dir.filePath(QStringLiteral("foods.csv"));
    if (kind == QLatin1String("big")) {
        QByteArray rows = Header;
        while (rows.size() <= 8 * 1024 * 1024)
            rows += "食物,我的奶茶" + QByteArray::number(rows.size()) + ",我的食物,80,,,,,,,,,\r\n";
        writeFile(path, rows);
    } else if (kind == QLatin1String("nul")) {
        writeFile(path, Header + "食物,奶" + QByteArray(1, '\0') + "茶,我的食物,80,,,,,,,,,\r\n");
    } else {
        path = specialFile(dir, kind);
        if (path.isEmpty())
            QSKIP("this system cannot make that kind of file here");
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(path);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const QString text = boxes.asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("没有导入")) && text.contains(told), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("无法读取")) || kind == QLatin1String("nul"));
    QCOMPARE(ownFoodNames(window->dataFile()), QStringList());
}

// What a spreadsheet on a Chinese system saves is read as GB18030 and said so.
void TestDataSafety::importReadsAChineseSpreadsheet()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    QStringEncoder gbk("GB18030");
    QVERIFY(gbk.isValid());
    const QString path = dir.filePath(QStringLiteral("foods.csv"));
    writeFile(path, gbk.encode(QString::fromUtf8(Header + "食物,我的豆浆,我的食物,30,,,,,,,,,\r\n")));
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(path);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text,
             QStringLiteral("文件不是 UTF-8 编码，已按 GB18030（GBK）编码读取。\n已导入 1 种自定义食物。"));
    QCOMPARE(ownFoodNames(window->dataFile()), QStringList{"我的豆浆"});
}

void TestDataSafety::importClashAnsweredByNamedButtons_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<double>("teaKcal");
    QTest::newRow("替换") << 0 << QStringList{"我的奶茶", "我的豆浆"} << 70.0;
    QTest::newRow("保留已有的") << 1 << QStringList{"我的奶茶", "我的豆浆"} << 80.0;
    QTest::newRow("取消, or Escape") << 2 << QStringList{"我的奶茶"} << 80.0;
}

void TestDataSafety::importClashAnsweredByNamedButtons()
{
    QFETCH(int, choice);
    QFETCH(QStringList, names);
    QFETCH(double, teaKcal);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    addOwnFood(data, QStringLiteral("我的奶茶"), 80);
    const QString path = dir.filePath(QStringLiteral("foods.csv"));
    writeFile(path, Header + "食物,我的奶茶,我的食物,70,,,,,,,,,\r\n食物,我的豆浆,我的食物,30,,,,,,,,,\r\n");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(path);
    MessageBox::setNextChoice(choice);
    menuAction(*window, "importOwnFoods")->trigger();
    QVERIFY(!boxes.asked().isEmpty());
    QCOMPARE(boxes.asked().first().labels, (QStringList{"替换", "保留已有的", "取消"}));
    QCOMPARE(boxes.asked().size(), choice == 2 ? 1 : 2); // 取消: nothing more to say
    QCOMPARE(ownFoodNames(data), names);
    auto db = openDatabase(data);
    for (const OwnFood &food : OwnFoods::read(*db))
        if (food.name == QStringLiteral("我的奶茶"))
            QCOMPARE(food.kcalPer100g, teaKcal);
}

// 取消 in the progress box of a long import: nothing of it is written.
void TestDataSafety::importCancelledChangesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    QByteArray rows = Header;
    for (int i = 0; i < 50; ++i)
        rows += "食物,我的食物" + QByteArray::number(i) + ",我的食物,80,,,,,,,,,\r\n";
    const QString path = dir.filePath(QStringLiteral("foods.csv"));
    writeFile(path, rows);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    LongWork::Recorder work;
    work.cancelAt(30);
    files.answer(path);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(work.labels(), QStringList{"正在导入自定义食物"});
    QCOMPARE(work.furthest(), 30);
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("已取消导入，没有导入任何食物。"));
    QCOMPARE(ownFoodNames(window->dataFile()), QStringList());
}

void TestDataSafety::restoreCancelledLeavesTheFileAsItWas_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<qint64>("cancelAt");
    QTest::addColumn<qint64>("stoppedBy"); // the furthest the box can have got
    // Before the question, a box for the copy of the backup that is checked; after it, one whose
    // first half is the copy of the current data, its second the backup's rows (the fixture's
    // food table alone takes more than one step).
    QTest::newRow("while the backup is checked") << "正在检查备份" << qint64(1) << qint64(1000);
    QTest::newRow("while the current data is copied") << "正在恢复数据" << qint64(1) << qint64(500);
    QTest::newRow("while the backup's rows go in") << "正在恢复数据" << qint64(501) << qint64(999);
    QTest::newRow("at the last row, before the commit") << "正在恢复数据" << qint64(1000) << qint64(1000);
}

// 取消 in the progress box of a restore: the data file keeps every byte, and no copy of it is
// left behind in the backups folder.
void TestDataSafety::restoreCancelledLeavesTheFileAsItWas()
{
    QFETCH(QString, box);
    QFETCH(qint64, cancelAt);
    QFETCH(qint64, stoppedBy);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString source = dir.filePath(QStringLiteral("backup.mdb"));
    copyDatabaseFile(data, source);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    addOwnFood(data, QStringLiteral("恢复前的奶茶"), 80);
    const QByteArray bytes = bytesOf(data);
    QVERIFY(!bytes.isEmpty());
    const QString backups = DailyBackup(data).folder();
    const QStringList before = listing(backups);

    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    LongWork::Recorder work;
    work.cancelAt(cancelAt, box);
    files.answer(source);
    menuAction(*window, "restoreData")->trigger();
    const bool asked = box == QStringLiteral("正在恢复数据");
    QCOMPARE(work.labels(), (asked ? QStringList{"正在检查备份", "正在恢复数据"} : QStringList{"正在检查备份"}));
    QVERIFY2(work.furthest() >= cancelAt && work.furthest() <= stoppedBy, qPrintable(QString::number(work.furthest())));
    QCOMPARE(boxes.asked().size(), asked ? 2 : 1); // the question, then what happened
    QCOMPARE(boxes.asked().last().text, QStringLiteral("已取消恢复，现在的数据未作改动。"));
    QVERIFY(bytesOf(data) == bytes);
    QVERIFY(!QFileInfo::exists(data + QStringLiteral("-journal")));
    QCOMPARE(listing(backups), before);
    QCOMPARE(ownFoodNames(data), QStringList{"恢复前的奶茶"});

    // Not cancelled, the same restore goes through to its end.
    work.cancelAt(-1);
    files.answer(source);
    menuAction(*window, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    QCOMPARE(work.furthest(), 1000);
    QCOMPARE(ownFoodNames(data), QStringList());
    QCOMPARE(listing(backups).size(), before.size() + 1);
}

void TestDataSafety::exportCancelledLeavesNoFile_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("existing");
    QTest::addColumn<QString>("label");
    const QString notes = QStringLiteral("全部栏目 Markdown (*.md)");
    const QString log = QStringLiteral("饮食与运动记录 CSV (*.csv)");
    QTest::newRow("notes, new file") << "exportNotes" << notes << "notes.md" << false << "正在导出";
    QTest::newRow("notes, over a file") << "exportNotes" << notes << "notes.md" << true << "正在导出";
    QTest::newRow("log CSV, new file") << "exportNotes" << log << "log.csv" << false << "正在导出";
    QTest::newRow("log CSV, over a file") << "exportNotes" << log << "log.csv" << true << "正在导出";
    QTest::newRow("backup, new file") << "backupData" << QString() << "copy.mdb" << false << "正在备份数据";
    QTest::newRow("backup, over a file") << "backupData" << QString() << "copy.mdb" << true << "正在备份数据";
}

// 取消 in the progress box of an export or a backup: no file where none was, a file that was
// there keeps its bytes, and no temporary is left beside it.
void TestDataSafety::exportCancelledLeavesNoFile()
{
    QFETCH(QString, command);
    QFETCH(QString, filter);
    QFETCH(QString, name);
    QFETCH(bool, existing);
    QFETCH(QString, label);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString out = dir.filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(out));
    const QString target = QDir(out).filePath(name);
    const QByteArray old = "the user's own file\n";
    if (existing)
        writeFile(target, old);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);

    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    LongWork::Recorder work;
    work.cancelAt(1);
    files.answer(target, filter);
    menuAction(*window, command.toLatin1().constData())->trigger();
    QCOMPARE(work.labels(), QStringList{label});
    QVERIFY(work.furthest() >= 1);
    QCOMPARE(boxes.asked().size(), 1);
    const QString text = boxes.asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("已取消")), qPrintable(text));
    QCOMPARE(text.contains(QStringLiteral("原来的文件未作改动")), existing);
    QCOMPARE(listing(out), existing ? QStringList{name} : QStringList());
    if (existing)
        QCOMPARE(bytesOf(target), old);

    // Not cancelled, the box goes to its end and the file is written.
    work.cancelAt(-1);
    files.answer(target, filter);
    menuAction(*window, command.toLatin1().constData())->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已")), qPrintable(boxes.asked().last().text));
    QVERIFY(!boxes.asked().last().text.startsWith(QStringLiteral("已取消")));
    QCOMPARE(listing(out), QStringList{name});
    QVERIFY(bytesOf(target) != old);
}

void TestDataSafety::restoreRefusesSpecialFilesAndViews_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    QTest::newRow("a pipe without a writer") << "fifo" << "不是普通文件";
    QTest::newRow("a link to /dev/zero") << "zero" << "不是普通文件";
    QTest::newRow("a notebook table that is a view") << "view sp" << "视图";
    QTest::newRow("a food log that is a view") << "view food_log" << "视图";
}

// Refused at once: before the question, before the copy of the current data.
void TestDataSafety::restoreRefusesSpecialFilesAndViews()
{
    QFETCH(QString, kind);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    QString path;
    if (kind.startsWith(QLatin1String("view"))) {
        path = dir.filePath(QStringLiteral("backup.mdb"));
        copyDatabaseFile(data, path);
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const char *sql = kind.endsWith(QLatin1String("sp"))
            ? "ALTER TABLE sp RENAME TO sp_rows; CREATE VIEW sp AS SELECT * FROM sp_rows;"
            : "CREATE TABLE log_rows(id INTEGER PRIMARY KEY, day TEXT, meal INTEGER, food TEXT, category TEXT,"
              " grams REAL, kcal_per_100g REAL, created TEXT); CREATE VIEW food_log AS SELECT * FROM log_rows;";
        QCOMPARE(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    } else {
        path = specialFile(dir, kind);
        if (path.isEmpty())
            QSKIP("this system cannot make that kind of file here");
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    const QString backups = DailyBackup(data).folder();
    const QStringList before = listing(backups);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(path);
    menuAction(*window, "restoreData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const QString text = boxes.asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("没有恢复")) && text.contains(told), qPrintable(text));
    QCOMPARE(listing(backups), before);
}

void TestDataSafety::dataFileMustBeARegularFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &kind : {QStringLiteral("fifo"), QStringLiteral("zero")}) {
        const QString path = specialFile(dir, kind);
        if (path.isEmpty())
            QSKIP("this system cannot make that kind of file here");
        try {
            openDatabase(path);
            QFAIL("opened");
        } catch (const DataError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("不是普通文件")), qPrintable(error.message()));
        }
    }
}

// Every restore keeps a copy of the data it replaced; the newest five stay. A file of the same
// kind of name that the program did not make stays too.
void TestDataSafety::restoresKeepTheNewestFiveCopiesBefore()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString source = dir.filePath(QStringLiteral("backup.mdb"));
    copyDatabaseFile(data, source);
    const DailyBackup backups(data);
    QVERIFY(QDir().mkpath(backups.folder()));
    const QString users = QDir(backups.folder()).filePath(QStringLiteral("data-before-restore-2000-01-01-000000-000.mdb"));
    copyDatabaseFile(data, users);

    QDateTime now(QDate(2026, 5, 1), QTime(12, 0));
    MainWindow window(ProgramFiles::inFolder(dir.path()), nullptr, Clock([&now] { return now; }));
    window.load();
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    QStringList made;
    for (int i = 0; i < 7; ++i) {
        now = now.addSecs(60);
        made << QFileInfo(backups.beforeRestorePath(now)).fileName();
        files.answer(source);
        menuAction(window, "restoreData")->trigger();
        QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    }
    QStringList left = QDir(backups.folder()).entryList({QStringLiteral("data-before-restore-*")}, QDir::Files, QDir::Name);
    QCOMPARE(left, QStringList{QFileInfo(users).fileName()} + made.mid(2));
}

// A copy of the program killed while it copied the data leaves hidden temporaries; the next start
// removes them at once when no other copy runs, and leaves them while one does.
void TestDataSafety::killedCopiesTemporariesGoAtTheNextStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backups = DailyBackup(data).folder();
    QVERIFY(QDir().mkpath(backups));
    const QStringList temporaries = {
        dir.filePath(QStringLiteral(".data.mdb.bak-20261201-101010.Ab12Cd")),
        dir.filePath(QStringLiteral(".data.mdb.bak-20261201-101010.Ab12Cd-journal")),
        QDir(backups).filePath(QStringLiteral(".data-2026-12-01.mdb.Xy34Zw")),
        QDir(backups).filePath(QStringLiteral(".data-before-restore-2026-12-01-101010-123.mdb.Qq12Rr")),
    };
    const QStringList others = {dir.filePath(QStringLiteral(".data.mdb.notes")),
                                QDir(backups).filePath(QStringLiteral(".hidden-of-the-user"))};
    for (const QString &path : temporaries + others)
        writeFile(path, "partial copy");

    {
        // Another copy of the program uses the file: a copy may be in progress.
        ProgramPresence running(data, {});
        auto window = Startup::openMainWindow(dir.path());
        QVERIFY(window);
        for (const QString &path : temporaries)
            QVERIFY2(QFile::exists(path), qPrintable(path));
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    for (const QString &path : temporaries)
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    for (const QString &path : others)
        QVERIFY2(QFile::exists(path), qPrintable(path));
}

void TestDataSafety::windowOpenOverMidnightBacksUpTheNewDay()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    QDateTime now(QDate(2026, 5, 1), QTime(23, 59, 30));
    MainWindow window(ProgramFiles::inFolder(dir.path()), nullptr, Clock([&now] { return now; }));
    window.load();
    window.finishStartAfterFirstFrame();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const DailyBackup backups(window.dataFile());
    QTRY_COMPARE(backups.days(), QList<QDate>{QDate(2026, 5, 1)});
    QTRY_VERIFY(!window.isBackupRunning());

    auto *timer = window.findChild<QTimer *>(QStringLiteral("backupDayTimer"));
    QVERIFY(timer);
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QCOMPARE(backups.days().size(), 1); // still the same day

    now = QDateTime(QDate(2026, 5, 2), QTime(0, 0, 30));
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
    QTRY_COMPARE(backups.days().size(), 2);
    QVERIFY(backups.days().contains(QDate(2026, 5, 2)));
    QTRY_VERIFY(!window.isBackupRunning());
}

// A write the system refuses is told with its cause in Chinese, not the system's English.
void TestDataSafety::systemCausesAreToldInChinese()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    addOwnFood(dir.filePath(QStringLiteral("data.mdb")), QStringLiteral("我的奶茶"), 80);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    const QString path = dir.filePath(QStringLiteral("no-such-folder/foods.csv"));
    files.answer(path);
    menuAction(*window, "exportOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QString text = boxes.asked().first().text;
    QVERIFY2(text.contains(QStringLiteral("不存在")), qPrintable(text));
    text.remove(QDir::toNativeSeparators(path));
    QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3,}"))), qPrintable(text));
}

QTEST_MAIN(TestDataSafety)
#include "test_data_safety.moc"
