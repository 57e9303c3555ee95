// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"
#include "db/Query.h"
#include "db/Recordset.h"
#include "db/Schema.h"
#include "support/TempDatabase.h"

#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// The cursor's position written as one word: "BOF", "EOF", "BOF+EOF", or the
// current row's Name.
QString where(const Recordset &rs)
{
    if (rs.isBOF() && rs.isEOF())
        return QStringLiteral("BOF+EOF");
    if (rs.isBOF())
        return QStringLiteral("BOF");
    if (rs.isEOF())
        return QStringLiteral("EOF");
    try {
        return rs.field(QStringLiteral("Name")).text();
    } catch (const DataError &) {
        return QStringLiteral("deleted");
    }
}

void fillNames(const TempDatabase &db, const QString &table, const QStringList &names)
{
    QList<QVariantList> rows;
    for (const QString &name : names)
        rows.append({name, name + QStringLiteral("-body")});
    db.insertRows(table, {QStringLiteral("Name"), QStringLiteral("demo")}, rows);
}

// Runs a script of cursor steps, one letter each, and records where the cursor
// is after every step ("!" marks a step that threw):
//   F first, L last, N next, P previous, D delete, A add a row named "new".
QStringList run(Recordset &rs, const QString &script)
{
    QStringList trace;
    for (const QChar step : script) {
        bool threw = false;
        try {
            switch (step.unicode()) {
            case 'F': rs.moveFirst(); break;
            case 'L': rs.moveLast(); break;
            case 'N': rs.moveNext(); break;
            case 'P': rs.movePrevious(); break;
            case 'D': rs.deleteCurrent(); break;
            case 'A':
                rs.addNew();
                rs.setField(QStringLiteral("Name"), QStringLiteral("new"));
                rs.setField(QStringLiteral("demo"), QStringLiteral("new-body"));
                rs.update();
                break;
            default: qFatal("unknown step");
            }
        } catch (const DataError &) {
            threw = true;
        }
        trace << (threw ? QStringLiteral("!") : QString()) + where(rs);
    }
    return trace;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets the file's modification time a day back, so that any later write shows in it without
// waiting for the clock to move on.
bool backdate(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite)
        && file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
}

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString &program, const QStringList &args, int timeoutMs = 60000)
{
    QProcess process;
    process.start(program, args);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

template <typename F>
QString errorOf(F &&f)
{
    try {
        f();
    } catch (const DataError &e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestData : public QObject
{
    Q_OBJECT

private slots:
    void cursorMoves_data();
    void cursorMoves();
    void recordCountFollowsAddAndDelete();
    void fieldsByPositionAndName();
    void numbersReadAsShortestText_data();
    void numbersReadAsShortestText();
    void nullIsNotEmpty();
    void missingTableOrField();
    void tableCheck_data();
    void tableCheck();
    void openFailures_data();
    void openFailures();
    void durableSettings();
    void lockedFileWaitsOncePerAction();
    void readOnlyFileOpensButRefusesWrites();
    void writeFailuresNameTheCause_data();
    void writeFailuresNameTheCause();
    void readingLeavesTheFileAlone();
    void twoConnectionsShareTheFile();
    void diaryTimeDefault();
    void closedHandlesFailCleanly();
    void walkAcrossReadAheadChunks_data();
    void walkAcrossReadAheadChunks();
    void readAheadMemoryIsBounded();
    void anotherProgramWritesDuringWalk();
    void rowSurvivesKillRightAfterUpdate();

    void makedbBuildsFoodTables();
    void makedbTakesMoreThan32767Foods();
    void makedbWritesAliases();
    void makedbWritesNutrients();
    void makedbWritesFibreAndSodium();
    void makedbRejectsBadCsv_data();
    void makedbRejectsBadCsv();
    void makedbNeverChangesExistingFile();
    void buildKeepsExistingDataFile();
};

void TestData::cursorMoves_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("opened");   // where the cursor is right after opening
    QTest::addColumn<QStringList>("trace");

    const QStringList none;
    const QStringList one{"a"};
    const QStringList three{"a", "b", "c"};
    auto t = [](const char *s) { return QString::fromLatin1(s).split(u' '); };

    QTest::newRow("empty: every move fails, both flags stay")
        << none << "FLNP" << "BOF+EOF" << t("!BOF+EOF !BOF+EOF !BOF+EOF !BOF+EOF");
    QTest::newRow("empty: delete fails")
        << none << "D" << "BOF+EOF" << t("!BOF+EOF");
    QTest::newRow("empty: add, then the row is reachable")
        << none << "AFNLP" << "BOF+EOF" << t("BOF+EOF new EOF new BOF");
    QTest::newRow("one row: past either end and back")
        << one << "NNPPPN" << "a" << t("EOF !EOF a BOF !BOF a");
    QTest::newRow("one row: first and last agree")
        << one << "LF" << "a" << t("a a");
    QTest::newRow("three rows: walk forward and back")
        << three << "NNNPPPP" << "a" << t("b c EOF c b a BOF");
    QTest::newRow("three rows: last then next fails only once past the end")
        << three << "LNNP" << "a" << t("c EOF !EOF c");
    QTest::newRow("delete middle then next")
        << three << "NDN" << "a" << t("b deleted c");
    QTest::newRow("delete middle then previous")
        << three << "NDP" << "a" << t("b deleted a");
    QTest::newRow("delete last then next sets EOF")
        << three << "LDNP" << "a" << t("c deleted EOF b");
    QTest::newRow("delete first then previous sets BOF")
        << three << "DPN" << "a" << t("deleted BOF b");
    QTest::newRow("delete twice fails the second time")
        << three << "DD" << "a" << t("deleted !deleted");
    QTest::newRow("delete the only row then next: both flags")
        << one << "DN" << "a" << t("deleted BOF+EOF");
    QTest::newRow("add keeps position; the new row comes last")
        << three << "ANNN" << "a" << t("a b c new");
    QTest::newRow("add at EOF, previous finds the new row")
        << three << "LNAP" << "a" << t("c EOF EOF new");
    QTest::newRow("delete last row then add: new row still after it")
        << three << "LDAN" << "a" << t("c deleted deleted new");
}

void TestData::cursorMoves()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, script);
    QFETCH(QString, opened);
    QFETCH(QStringList, trace);

    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), rows);
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("sp"));
    QCOMPARE(where(*rs), opened);
    QCOMPARE(run(*rs, script), trace);
}

void TestData::recordCountFollowsAddAndDelete()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("yd"), {"a", "b"});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("yd"));
    QCOMPARE(rs->recordCount(), 2);
    run(*rs, QStringLiteral("AA"));
    QCOMPARE(rs->recordCount(), 4);
    run(*rs, QStringLiteral("D"));
    QCOMPARE(rs->recordCount(), 3);
    QCOMPARE(db.rowCount(QStringLiteral("yd")), 3);

    // A pending row is not counted until stored, and not stored when cancelled.
    rs->addNew();
    rs->setField(QStringLiteral("Name"), QStringLiteral("x"));
    QCOMPARE(rs->recordCount(), 3);
    rs->cancelUpdate();
    QVERIFY(!errorOf([&] { rs->update(); }).isEmpty());
    QCOMPARE(rs->recordCount(), 3);
}

void TestData::fieldsByPositionAndName()
{
    TempDatabase db;
    db.insert(QStringLiteral("01"), {{"category", "谷薯主食"}, {"food", "米饭"},
                                     {"portion", "100克"}, {"kcal", 116}});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("01"));
    QCOMPARE(rs->field(1).text(), QStringLiteral("谷薯主食"));
    QCOMPARE(rs->field(2).text(), QStringLiteral("米饭"));
    QCOMPARE(rs->field(3).text(), QStringLiteral("100克"));
    QCOMPARE(rs->field(4).text(), QStringLiteral("116"));
    QCOMPARE(rs->field(0).text(), QString::number(rs->id()));
    QCOMPARE(rs->field(QStringLiteral("food")).text(), QStringLiteral("米饭"));

    // Names are exact: SQLite would take "FOOD" for "food", the cursor does not.
    const QString wrongCase = errorOf([&] { rs->field(QStringLiteral("FOOD")); });
    QVERIFY2(wrongCase.contains(QStringLiteral("“FOOD”")), qPrintable(wrongCase));
    QVERIFY(!errorOf([&] { rs->field(5); }).isEmpty());
    QVERIFY(!errorOf([&] { rs->field(-1); }).isEmpty());
}

void TestData::numbersReadAsShortestText_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << QVariant(116) << "116";
    QTest::newRow("real with no fraction") << QVariant(116.0) << "116";
    QTest::newRow("real") << QVariant(49.3) << "49.3";
    QTest::newRow("text that looks like a number") << QVariant("49.30") << "49.3";
    QTest::newRow("text") << QVariant("约 50") << "约 50";
    QTest::newRow("negative") << QVariant(-0.5) << "-0.5";
    QTest::newRow("blob as UTF-8") << QVariant(QByteArray("大卡")) << "大卡";
}

void TestData::numbersReadAsShortestText()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, text);
    TempDatabase db;
    db.insert(QStringLiteral("01"), {{"food", "x"}, {"kcal", stored}});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("01"));
    QCOMPARE(rs->field(4).text(), text);
}

void TestData::nullIsNotEmpty()
{
    TempDatabase db;
    db.insert(QStringLiteral("sp"), {{"Name", ""}, {"demo", QVariant()}});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("sp"));

    const Field empty = rs->field(QStringLiteral("Name"));
    QVERIFY(!empty.isNull());
    QCOMPARE(empty.text(), QString());
    QVERIFY(!empty.text().isNull());

    const Field null = rs->field(QStringLiteral("demo"));
    QVERIFY(null.isNull());
    QCOMPARE(null.textOrEmpty(), QString());
    const QString message = errorOf([&] { null.text(); });
    QCOMPARE(message, QStringLiteral("字段“demo”（表“sp”）没有值。"));
}

void TestData::tableCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("schema");
    QTest::addColumn<bool>("present");
    QTest::newRow("table") << "sp" << "main" << true;
    QTest::newRow("dropped table") << "rj" << "main" << false;
    QTest::newRow("name in other case") << "SP" << "main" << false;
    QTest::newRow("view of the name") << "sp_view" << "main" << false;
    QTest::newRow("index of the name") << "sp_name" << "main" << false;
    QTest::newRow("name quoted as in SQL") << "'sp'" << "main" << false;
    QTest::newRow("attached file's table") << "only_there" << "other" << true;
    QTest::newRow("main's table, asked of the attached") << "sp" << "other" << false;
}

void TestData::tableCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, schema);
    QFETCH(bool, present);
    TempDatabase db;
    TempDatabase other(TempDatabase::Content::NoTables, QStringLiteral("other.mdb"));
    other.exec(QStringLiteral("CREATE TABLE only_there (x)"));
    db.dropTable(QStringLiteral("rj"));
    db.exec(QStringLiteral("CREATE VIEW sp_view AS SELECT * FROM sp; CREATE INDEX sp_name ON sp (Name)"));
    auto database = openDatabase(db.path());
    execute(*database, QStringLiteral("ATTACH DATABASE '%1' AS other").arg(other.path()).toUtf8().constData(),
            QStringLiteral("attach"));
    QCOMPARE(hasTable(database->openHandle(), name, QStringLiteral("check"), schema.toUtf8().constData()), present);
    if (schema == QLatin1String("main"))
        QCOMPARE(hasTable(*database, name, QStringLiteral("check")), present);
}

void TestData::missingTableOrField()
{
    TempDatabase db;
    db.insert(QStringLiteral("xd"), {{"Name", "a"}});
    db.dropTable(QStringLiteral("rj"));
    auto database = openDatabase(db.path());

    QCOMPARE(errorOf([&] { database->openRecordset(QStringLiteral("rj")); }),
             QStringLiteral("数据库文件“%1”中没有表“rj”。").arg(db.path()));
    QVERIFY(!errorOf([&] { database->openRecordset(QStringLiteral("other")); }).isEmpty());

    auto rs = database->openRecordset(QStringLiteral("xd"));
    QCOMPARE(errorOf([&] { rs->field(QStringLiteral("time")); }),
             QStringLiteral("表“xd”中没有字段“time”。"));
    rs->addNew();
    QCOMPARE(errorOf([&] { rs->setField(QStringLiteral("title"), QStringLiteral("t")); }),
             QStringLiteral("表“xd”中没有字段“title”。"));
    QVERIFY(!errorOf([&] { rs->setField(QStringLiteral("id"), QStringLiteral("7")); }).isEmpty());

    // A table dropped while a cursor is open on it: clear errors, no stale rows.
    auto other = openDatabase(db.path());
    other->openRecordset(QStringLiteral("xd")).reset();
    db.dropTable(QStringLiteral("xd"));
    const QString gone = errorOf([&] { rs->moveFirst(); });
    QVERIFY2(gone.contains(QStringLiteral("没有表“xd”")), qPrintable(gone));

    // A table that is there but whose trigger writes to one that is not: the
    // failure is the trigger's, not a missing "sp".
    db.exec(QStringLiteral("CREATE TRIGGER log AFTER INSERT ON sp BEGIN "
                           "INSERT INTO missing VALUES (1); END"));
    auto sp = database->openRecordset(QStringLiteral("sp"));
    sp->addNew();
    sp->setField(QStringLiteral("Name"), QStringLiteral("a"));
    const QString refused = errorOf([&] { sp->update(); });
    QVERIFY2(refused.startsWith(QStringLiteral("无法保存到表“sp”：")), qPrintable(refused));
    QVERIFY2(!refused.contains(QStringLiteral("没有表“sp”")), qPrintable(refused));
}

void TestData::openFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing file") << "missing" << "文件不存在";
    QTest::newRow("not a database") << "garbage" << "文件不是数据库";
    QTest::newRow("empty text file") << "text" << "文件不是数据库";
    QTest::newRow("folder") << "folder" << "文件夹";
    QTest::newRow("empty (0-byte) file") << "empty" << "文件是空的（0 字节），不是数据库";
#ifdef Q_OS_UNIX
    QTest::newRow("symbolic link loop") << "loop" << "链接形成了循环";
    QTest::newRow("symbolic link to nothing") << "dangling" << "指向的文件";
#endif
}

void TestData::openFailures()
{
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    TempDatabase db;
    QString path = db.filePath(QStringLiteral("data2.mdb"));
    if (kind == QLatin1String("garbage"))
        path = db.writeGarbageFile();
    else if (kind == QLatin1String("text"))
        path = db.writeFile(QStringLiteral("notes.mdb"), QByteArray(200, 'x'));
    else if (kind == QLatin1String("folder"))
        path = db.dir();
    else if (kind == QLatin1String("empty"))
        path = db.writeFile(QStringLiteral("empty.mdb"), QByteArray());
    else if (kind == QLatin1String("loop")) {
        QVERIFY(QFile::link(db.filePath(QStringLiteral("b.mdb")), path));
        QVERIFY(QFile::link(path, db.filePath(QStringLiteral("b.mdb"))));
    } else if (kind == QLatin1String("dangling"))
        QVERIFY(QFile::link(db.filePath(QStringLiteral("gone.mdb")), path));

    const QByteArray before = QFileInfo(path).isFile() ? [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }() : QByteArray();

    const QString message = errorOf([&] { openDatabase(path); });
    QVERIFY2(message.startsWith(QStringLiteral("无法打开数据库文件“%1”").arg(path)), qPrintable(message));
    QVERIFY2(message.contains(cause), qPrintable(message));

    // Nothing is made or changed by a failed open.
    if (kind == QLatin1String("missing") || kind == QLatin1String("dangling")) {
        QVERIFY(!QFileInfo::exists(path));
    } else if (kind == QLatin1String("empty")) {
        QCOMPARE(QFileInfo(path).size(), 0);
    } else if (!before.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
    QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
}

void TestData::durableSettings()
{
    // The rollback journal, and EXTRA: the folder is synced after the journal
    // is deleted, so a commit that returned survives a power cut. The file is
    // left in or put back into the rollback journal.
    TempDatabase db;
    auto database = openDatabase(db.path());
    const auto pragma = [&](const char *name) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(database->handle(), name, -1, &stmt, nullptr);
        const QString value = sqlite3_step(stmt) == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)))
            : QStringLiteral("?");
        sqlite3_finalize(stmt);
        return value;
    };
    QCOMPARE(pragma("PRAGMA synchronous"), QStringLiteral("3")); // EXTRA
    QCOMPARE(pragma("PRAGMA journal_mode"), QStringLiteral("delete"));
    auto rs = database->openRecordset(QStringLiteral("sp"));
    run(*rs, QStringLiteral("A"));
    QCOMPARE(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
    rs.reset();
    database.reset();

    // A file another tool left in WAL mode is back in the rollback journal once opened, its
    // rows all there and no -wal file beside it after a write.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(db.path()).constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "PRAGMA journal_mode=WAL; INSERT INTO sp (Name) VALUES ('B')",
                          nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    database = openDatabase(db.path());
    QCOMPARE(pragma("PRAGMA journal_mode"), QStringLiteral("delete"));
    rs = database->openRecordset(QStringLiteral("sp"));
    run(*rs, QStringLiteral("A"));
    QCOMPARE(rs->recordCount(), 3);
    QCOMPARE(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
}

void TestData::lockedFileWaitsOncePerAction()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a", "b"});
    auto database = openDatabase(db.path());
    database->setLockWaitLimit(100);
    auto rs = database->openRecordset(QStringLiteral("sp"));
    QCOMPARE(where(*rs), QStringLiteral("a"));
    auto lock = db.holdExclusiveLock(); // another program in the middle of a commit

    // Every step fails saying the file is in use, and leaves the cursor as it was.
    const auto failsInUse = [&](const char *what, auto step) {
        try {
            step();
        } catch (const DataError &error) {
            QVERIFY2(error.isFileInUse(), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("数据库文件正被另一个程序使用")),
                     qPrintable(error.message()));
            return;
        }
        QFAIL(what);
    };
    failsInUse("moveFirst", [&] { rs->moveFirst(); });
    QCOMPARE(where(*rs), QStringLiteral("a"));

    // Within one action the steps wait once between them: the first waits,
    // the rest fail at once. An action begun inside it joins it.
    int waits = 0;
    {
        LockWaitAction action(*database, [&] { ++waits; });
        failsInUse("moveFirst", [&] { rs->moveFirst(); });
        failsInUse("recordCount", [&] { rs->recordCount(); });
        {
            LockWaitAction inner(*database, [&] { waits += 100; });
            failsInUse("Delete", [&] { rs->deleteCurrent(); });
        }
        rs->addNew();
        rs->setField(QStringLiteral("Name"), QStringLiteral("c"));
        failsInUse("Update", [&] { rs->update(); });
    }
    QCOMPARE(waits, 1);
    // The next action waits again.
    {
        LockWaitAction action(*database, [&] { ++waits; });
        failsInUse("moveLast", [&] { rs->moveLast(); });
    }
    QCOMPARE(waits, 2);

    // Once the other program lets go, the same steps work, without waiting.
    lock.reset();
    {
        LockWaitAction action(*database, [&] { ++waits; });
        run(*rs, QStringLiteral("LA"));
        QCOMPARE(rs->recordCount(), 3);
    }
    QCOMPARE(waits, 2);
    QCOMPARE(where(*rs), QStringLiteral("b"));
}

void TestData::readOnlyFileOpensButRefusesWrites()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a"});
    if (!db.makeReadOnly())
        QSKIP("cannot write-protect a file here");

    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("sp"));
    QCOMPARE(rs->field(QStringLiteral("Name")).text(), QStringLiteral("a"));

    rs->addNew();
    rs->setField(QStringLiteral("Name"), QStringLiteral("b"));
    const QString message = errorOf([&] { rs->update(); });
    QVERIFY2(message.startsWith(QStringLiteral("无法保存到表“sp”：数据库文件是只读的。")),
             qPrintable(message));
    // The refused row is dropped, not stored later.
    QVERIFY(!errorOf([&] { rs->update(); }).isEmpty());
    QVERIFY(errorOf([&] { rs->deleteCurrent(); }).contains(QStringLiteral("只读")));
    QCOMPARE(rs->recordCount(), 1);
    QCOMPARE(where(*rs), QStringLiteral("a"));
}

void TestData::writeFailuresNameTheCause_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("cause");
    QTest::newRow("file deleted") << "deleted" << "数据库文件在打开之后被删除、移走或替换了";
    QTest::newRow("file replaced") << "replaced" << "数据库文件在打开之后被删除、移走或替换了";
    QTest::newRow("folder read-only") << "folder" << "文件夹";
}

void TestData::writeFailuresNameTheCause()
{
    QFETCH(QString, fault);
    QFETCH(QString, cause);
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a", "b"});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("sp"));

    if (fault == QLatin1String("deleted")) {
        QVERIFY(QFile::remove(db.path()));
    } else if (fault == QLatin1String("replaced")) {
        TempDatabase other;
        QVERIFY(QFile::remove(db.path()));
        QVERIFY(QFile::copy(other.path(), db.path()));
    } else if (!db.makeFolderReadOnly()) {
        QSKIP("cannot write-protect a folder here");
    }

    rs->addNew();
    rs->setField(QStringLiteral("Name"), QStringLiteral("c"));
    const QString saved = errorOf([&] { rs->update(); });
    QVERIFY2(saved.startsWith(QStringLiteral("无法保存到表“sp”：")) && saved.contains(cause),
             qPrintable(saved));
    const QString deleted = errorOf([&] { rs->deleteCurrent(); });
    QVERIFY2(deleted.contains(cause), qPrintable(deleted));
    QVERIFY2(!saved.contains(QStringLiteral("数据库文件是只读的")), qPrintable(saved));
}

void TestData::readingLeavesTheFileAlone()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a", "b"});
    QVERIFY(backdate(db.path())); // so that a write would show in the modification time
    const QByteArray before = readAll(db.path());
    const QDateTime modified = QFileInfo(db.path()).lastModified();
    {
        auto database = openDatabase(db.path());
        auto rs = database->openRecordset(QStringLiteral("sp"));
        run(*rs, QStringLiteral("NNPLF"));
        QCOMPARE(rs->recordCount(), 2);
    }
    QCOMPARE(readAll(db.path()), before);
    QCOMPARE(QFileInfo(db.path()).lastModified(), modified);
    QCOMPARE(QDir(db.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
}

void TestData::twoConnectionsShareTheFile()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a", "b", "c"});
    auto first = openDatabase(db.path());
    auto second = openDatabase(db.path());
    auto reader = first->openRecordset(QStringLiteral("sp"));
    auto writer = second->openRecordset(QStringLiteral("sp"));

    // The reader has read ahead past "b" and "c"; a delete and an add through
    // the other connection still show at its next moves.
    QCOMPARE(where(*reader), QStringLiteral("a"));
    QVERIFY(writer->moveToId(reader->id() + 1));
    writer->deleteCurrent();
    run(*writer, QStringLiteral("A"));
    QCOMPARE(run(*reader, QStringLiteral("NNN")), QString("c new EOF").split(u' '));
    QCOMPARE(reader->recordCount(), 3);

    // A row the reader is on, deleted elsewhere, can no longer be read.
    run(*reader, QStringLiteral("P"));
    QVERIFY(writer->moveToId(reader->id()));
    writer->deleteCurrent();
    QCOMPARE(errorOf([&] { reader->field(QStringLiteral("Name")); }),
             QStringLiteral("当前记录已被删除。"));
    QCOMPARE(run(*reader, QStringLiteral("P")), QStringList{"c"});
}

void TestData::diaryTimeDefault()
{
    TempDatabase db;
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("rj"));
    const QDateTime before = QDateTime::currentDateTime();
    run(*rs, QStringLiteral("A"));
    rs->moveFirst();
    const QString time = rs->field(QStringLiteral("time")).text();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$")).match(time).hasMatch(),
             qPrintable(time));
    const QDateTime stored = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd HH:mm"));
    QVERIFY(qAbs(stored.secsTo(before)) < 120); // local time, not UTC
    QCOMPARE(rs->field(1).text(), time);
}

void TestData::closedHandlesFailCleanly()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a"});
    auto database = openDatabase(db.path());
    auto rs = database->openRecordset(QStringLiteral("sp"));
    auto closedCursor = database->openRecordset(QStringLiteral("sp"));
    closedCursor->close();
    QVERIFY(!errorOf([&] { closedCursor->moveNext(); }).isEmpty());

    database.reset(); // the cursor outlives its connection
    QCOMPARE(errorOf([&] { rs->moveNext(); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->field(1); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->recordCount(); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->addNew(); }), QStringLiteral("数据库连接已关闭。"));
}

void TestData::walkAcrossReadAheadChunks_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("bodyBytes");
    QTest::newRow("1000 short rows: chunks bounded by rows") << 1000 << 10;
    QTest::newRow("40 rows of 100 KB: chunks bounded by bytes") << 40 << 100 * 1024;
}

void TestData::walkAcrossReadAheadChunks()
{
    QFETCH(int, rowCount);
    QFETCH(int, bodyBytes);
    TempDatabase db;
    QStringList names;
    QList<QVariantList> rows;
    for (int i = 0; i < rowCount; ++i) {
        names << QStringLiteral("r%1").arg(i, 4, 10, QLatin1Char('0'));
        rows.append({names.last(), QString(bodyBytes, QLatin1Char('x'))});
    }
    db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")}, rows);
    auto database = openDatabase(db.path());
    auto writerDb = openDatabase(db.path());
    auto writer = writerDb->openRecordset(QStringLiteral("sp"));
    auto rs = database->openRecordset(QStringLiteral("sp"));

    // Forward; a tenth of the way, another connection deletes a row ahead (the
    // middle one) and adds one.
    QStringList seen;
    while (!rs->isEOF()) {
        seen << rs->field(QStringLiteral("Name")).text();
        if (seen.last() != QLatin1String("new"))
            QCOMPARE(rs->field(QStringLiteral("demo")).text().size(), bodyBytes);
        if (seen.size() == rowCount / 10) {
            QVERIFY(writer->moveToId(rs->id() + rowCount / 2 - rowCount / 10 + 1));
            writer->deleteCurrent();
            run(*writer, QStringLiteral("A"));
        }
        rs->moveNext();
    }
    QStringList expected = names;
    expected.removeAt(rowCount / 2);
    expected << QStringLiteral("new");
    QCOMPARE(seen, expected);

    // Backward from past the end, every row once, in reverse.
    seen.clear();
    rs->movePrevious();
    while (!rs->isBOF()) {
        seen.prepend(rs->field(1).text());
        rs->movePrevious();
    }
    QCOMPARE(seen, expected);
    QCOMPARE(rs->recordCount(), rowCount);
}

// Another program on the same file: data_writer_child, driven line by line.
class WriterProcess
{
public:
    WriterProcess(const QString &path, const QString &table)
    {
        m_process.start(QStringLiteral(WRITER_CHILD), {path, table});
        m_ready = m_process.waitForStarted() && answer() == QLatin1String("ready");
    }
    ~WriterProcess()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    bool isReady() const { return m_ready; }

    // Sends one command; its answer ("done" once committed).
    QString send(const QString &command)
    {
        m_process.write(command.toUtf8() + '\n');
        return answer();
    }

private:
    QString answer()
    {
        while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    bool m_ready = false;
};

void TestData::anotherProgramWritesDuringWalk()
{
    TempDatabase db;
    QStringList names;
    for (int i = 0; i < 300; ++i)
        names << QStringLiteral("r%1").arg(i, 3, 10, QLatin1Char('0'));
    fillNames(db, QStringLiteral("sp"), names);
    WriterProcess other(db.path(), QStringLiteral("sp"));
    QVERIFY(other.isReady());

    // Each step of the walk, the other program's changes at given rows: rows
    // ahead in the chunk read already, ahead beyond it, behind, the current
    // row itself, and rows added at the end.
    const QMap<QString, QStringList> changesAt{
        {"r020", {"delete r040", "delete r150", "add new1"}},
        {"r100", {"delete r100"}},
        {"r200", {"delete r010", "delete r210", "add new2"}},
    };
    auto database = openDatabase(db.path());
    // Every move looks for the other program's commits, as a move does once 10 ms have passed.
    database->setRecheckInterval(0);
    auto rs = database->openRecordset(QStringLiteral("sp"));
    QStringList seen;
    for (; !rs->isEOF(); rs->moveNext()) {
        const QString name = rs->field(QStringLiteral("Name")).text();
        seen << name;
        QCOMPARE(rs->field(QStringLiteral("demo")).text(), name + QStringLiteral("-body"));
        // Another program's commit shows at the next move.
        for (const QString &change : changesAt.value(name))
            QCOMPARE(other.send(change), QStringLiteral("done"));
    }
    QStringList expected = names;
    for (const char *gone : {"r040", "r150", "r210"})
        expected.removeOne(QString::fromLatin1(gone));
    expected << QStringLiteral("new1") << QStringLiteral("new2");
    QCOMPARE(seen, expected);

    // Backward, every row left once, in reverse.
    expected.removeOne(QStringLiteral("r010"));
    expected.removeOne(QStringLiteral("r100"));
    seen.clear();
    for (rs->movePrevious(); !rs->isBOF(); rs->movePrevious())
        seen.prepend(rs->field(QStringLiteral("Name")).text());
    QCOMPARE(seen, expected);
    QCOMPARE(rs->recordCount(), int(expected.size()));
    QCOMPARE(db.query(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

// What data_walk_child printed: "read <characters>", "peak <resident KB> <virtual KB>".
struct WalkRun
{
    ToolRun run;
    qint64 characters = -1;
    qint64 residentKb = -1;
    qint64 virtualKb = -1;
};

WalkRun walkChild(const QStringList &args)
{
    WalkRun walk;
    walk.run = runTool(QStringLiteral(WALK_CHILD), args);
    for (const QString &line : walk.run.out.split(u'\n')) {
        const QStringList words = line.split(u' ');
        if (words.value(0) == QLatin1String("read"))
            walk.characters = words.value(1).toLongLong();
        if (words.value(0) == QLatin1String("peak")) {
            walk.residentKb = words.value(1).toLongLong();
            walk.virtualKb = words.value(2).toLongLong();
        }
    }
    return walk;
}

void TestData::readAheadMemoryIsBounded()
{
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("AddressSanitizer reserves terabytes of address space: the figures say nothing here");
#endif
    // One row with a 10 MB body, then 5,000 small rows: the read-ahead must not
    // size the chunks after it by the large row.
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QString path = scratch.filePath(QStringLiteral("data.mdb"));
    const int bigMegabytes = 10;
    QCOMPARE(runTool(QStringLiteral(WALK_CHILD), {"make", path, QString::number(bigMegabytes), "5000"})
                 .exitCode,
             0);
    const qint64 bigKb = bigMegabytes * 1024;

    // The floor reads the large row alone; the walk reads every row after it too.
    const WalkRun floor = walkChild({"floor", path});
    const WalkRun walk = walkChild({"walk", path});
    QVERIFY2(floor.run.exitCode == 0 && walk.run.exitCode == 0, qPrintable(floor.run.err + walk.run.err));
    QCOMPARE(floor.characters, 3 + bigKb * 1024);
    QCOMPARE(walk.characters, floor.characters + 5000 * 100 + 33890); // bodies and "row0".."row4999"
    QVERIFY2(walk.residentKb <= floor.residentKb + 2 * bigKb,
             qPrintable(QStringLiteral("resident %1 KB, floor %2 KB").arg(walk.residentKb).arg(floor.residentKb)));
    // Storage reserved but not yet touched shows only in the address space.
    if (walk.virtualKb > 0) {
        QVERIFY2(walk.virtualKb <= floor.virtualKb + 2 * bigKb,
                 qPrintable(QStringLiteral("virtual %1 KB, floor %2 KB").arg(walk.virtualKb).arg(floor.virtualKb)));
    }

#ifdef Q_OS_LINUX
    // Too little memory for the large row: the usual message, not a crash.
    const WalkRun starved = walkChild({"walk", path, QString::number(bigMegabytes * 2)});
    QCOMPARE(starved.run.exitCode, 1);
    QVERIFY2(starved.run.err.startsWith(QStringLiteral("无法读取表“sp”：内存不足。")),
             qPrintable(starved.run.err));
#endif
}

void TestData::rowSurvivesKillRightAfterUpdate()
{
    TempDatabase db;
    auto database = openDatabase(db.path());
    auto watcher = database->openRecordset(QStringLiteral("rj"));
    QVERIFY(watcher->isEOF());

    const int rounds = 3;
    for (int i = 0; i < rounds; ++i) {
        QProcess child;
        child.start(QStringLiteral(UPDATE_CHILD),
                    {db.path(), QStringLiteral("rj"), QStringLiteral("标题%1").arg(i),
                     QStringLiteral("正文%1").arg(i)});
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        QByteArray output;
        while (!output.contains("done\n") && child.waitForReadyRead(10000))
            output += child.readAllStandardOutput();
        QVERIFY2(output.contains("done\n"), child.readAllStandardError().constData());
        child.kill(); // SIGKILL: no destructors, no closing of the file
        QVERIFY(child.waitForFinished());
    }

    QCOMPARE(db.query(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    QCOMPARE(db.rowCount(QStringLiteral("rj")), rounds);
    QCOMPARE(db.query(QStringLiteral("SELECT demo FROM rj ORDER BY id DESC LIMIT 1")).toString(),
             QStringLiteral("正文%1").arg(rounds - 1));
    QVERIFY(!QFileInfo::exists(db.path() + QStringLiteral("-journal")));

    // The cursor of this program, open all along, sees the other program's rows.
    watcher->moveFirst();
    QCOMPARE(run(*watcher, QStringLiteral("NN")), QString("标题1 标题2").split(u' '));
    QVERIFY(!watcher->field(QStringLiteral("time")).text().isEmpty());
}

void TestData::makedbBuildsFoodTables()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QByteArray csv = "\xEF\xBB\xBF" // a byte-order mark is allowed
                           "category,name,portion,kcal\r\n"
                           "谷薯主食,米饭,100克,116\r\n"
                           "\r\n"
                           "蔬菜, 西红柿 ,100克,15\r\n"
                           "\"谷薯主食\",\"馒头, \"\"老面\"\"\",\"100克\",223.0\r\n"
                           "水果,苹果,\"1个\n(中等)\",49.3";
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"), csv);
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));

    const ToolRun made = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QCOMPARE(QDir(scratch.dir()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"data.mdb", "foods.csv", "unused.mdb"}));

    auto database = openDatabase(target);
    QStringList categories;
    for (auto rs = database->openRecordset(QStringLiteral("02")); !rs->isEOF(); rs->moveNext())
        categories << rs->field(1).text();
    QCOMPARE(categories, QString("谷薯主食 蔬菜 水果").split(u' '));

    QStringList foods;
    for (auto rs = database->openRecordset(QStringLiteral("01")); !rs->isEOF(); rs->moveNext()) {
        foods << QStringList{rs->field(1).text(), rs->field(2).text(), rs->field(3).text(),
                             rs->field(4).text()}
                     .join(u'|');
    }
    QCOMPARE(foods, QStringList({"谷薯主食|米饭|100克|116", "蔬菜|西红柿|100克|15",
                                 "谷薯主食|馒头, \"老面\"|100克|223", "水果|苹果|1个\n(中等)|49.3"}));

    // The notebook tables are there, empty.
    for (const QString &table : Schema::notebookTables())
        QCOMPARE(database->openRecordset(table)->recordCount(), 0);
}

void TestData::makedbTakesMoreThan32767Foods()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const int foods = 40000;
    const int categories = 1100;
    QByteArray csv = "category,name,portion,kcal\n";
    for (int i = 0; i < foods; ++i)
        csv += QStringLiteral("分类%1,食物%2,100克,%3\n").arg(i % categories).arg(i).arg(i % 900).toUtf8();
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"), csv);
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));

    const ToolRun made = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    auto database = openDatabase(target);
    QCOMPARE(database->openRecordset(QStringLiteral("02"))->recordCount(), categories);
    auto rs = database->openRecordset(QStringLiteral("01"));
    QCOMPARE(rs->recordCount(), foods);
    rs->moveLast();
    QCOMPARE(rs->field(2).text(), QStringLiteral("食物%1").arg(foods - 1));
}

void TestData::makedbWritesAliases()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QByteArray csv = "category,name,portion,kcal,aliases\n"
                           "谷薯主食,土豆,100克,81, 马铃薯 、洋芋\n"
                           "蔬菜,西红柿,100克,15,番茄\n"
                           "蔬菜,黄瓜,100克,16,\n";
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"), csv);
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));
    const ToolRun made = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QVERIFY(made.out.contains(QStringLiteral("3 foods, 3 aliases")));

    auto database = openDatabase(target);
    QStringList aliases;
    for (auto rs = database->openRecordset(QStringLiteral("food_alias")); !rs->isEOF(); rs->moveNext())
        aliases << QStringList{rs->field(1).text(), rs->field(2).text(), rs->field(3).text()}.join(u'|');
    QCOMPARE(aliases, QStringList({"谷薯主食|土豆|马铃薯", "谷薯主食|土豆|洋芋", "蔬菜|西红柿|番茄"}));
    QCOMPARE(database->openRecordset(QStringLiteral("01"))->recordCount(), 3);
}

// Protein, fat, carbohydrate (and alcohol) go into a table of their own, keyed like the foods;
// a food without them has no row there.
void TestData::makedbWritesNutrients()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QByteArray csv = "category,name,portion,kcal,aliases,protein,fat,carbohydrate,alcohol\n"
                           "蛋类,鸡蛋,100克,144,,13.3,8.8,2.8,\n"
                           "酒类,啤酒,100克,32,,0.4,0.0,1.7,3.2\n"
                           "家常菜肴,宫保鸡丁,100克,197,,,,,\n";
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"), csv);
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));
    const ToolRun made = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QStringList rows;
    auto database = openDatabase(target);
    for (auto rs = database->openRecordset(QStringLiteral("food_nutrient")); !rs->isEOF(); rs->moveNext()) {
        QStringList row;
        for (int field = 1; field <= 6; ++field)
            row << (rs->field(field).isNull() ? QStringLiteral("—") : rs->field(field).text());
        rows << row.join(u'|');
    }
    QCOMPARE(rows, QStringList({"蛋类|鸡蛋|13.3|8.8|2.8|—", "酒类|啤酒|0.4|0|1.7|3.2"}));
}

// Fibre and sodium, where given, go beside them in two columns the table gains for them; a value
// outside its range (sodium above salt's) is refused with its line.
void TestData::makedbWritesFibreAndSodium()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QByteArray header = "category,name,portion,kcal,aliases,protein,fat,carbohydrate,alcohol,fibre,sodium\n";
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"),
                                              header + "蔬菜,西红柿,100克,15,,0.9,0.2,3.3,,,9.7\n"
                                                       "谷薯主食,小米,100克,361,,9.0,3.1,75.1,,1.6,4.3\n"
                                                       "家常菜肴,宫保鸡丁,100克,197,,,,,,,\n");
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));
    const ToolRun made = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QStringList rows;
    auto database = openDatabase(target);
    for (auto rs = database->openRecordset(QStringLiteral("food_nutrient")); !rs->isEOF(); rs->moveNext()) {
        QStringList row{rs->field(2).text()};
        for (int field = 7; field <= 8; ++field)
            row << (rs->field(field).isNull() ? QStringLiteral("—") : rs->field(field).text());
        rows << row.join(u'|');
    }
    QCOMPARE(rows, QStringList({"西红柿|—|9.7", "小米|1.6|4.3"}));

    const QString badPath = scratch.writeFile(QStringLiteral("bad.csv"), header + "调味品,食盐,100克,0,,0.0,0.0,0.0,,,45000\n");
    const ToolRun refused = runTool(QStringLiteral(MAKEDB), {badPath, scratch.filePath(QStringLiteral("bad.mdb"))});
    QVERIFY(refused.exitCode != 0);
    QVERIFY2(refused.err.contains(QStringLiteral("line 2: sodium \"45000\" is not a number from 0 to 40000")),
             qPrintable(refused.err));
}

void TestData::makedbRejectsBadCsv_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("problem");
    const QByteArray header = "category,name,portion,kcal\n";
    QTest::newRow("too few fields") << header + "a,b,100克,1\na,c,2\n" << "line 3: expected 4 fields";
    QTest::newRow("too many fields") << header + "a,b,100克,1,x\n" << "line 2: expected 4 fields";
    QTest::newRow("empty name") << header + "a, ,100克,1\n" << "line 2: the name is empty";
    QTest::newRow("empty category") << header + ",b,100克,1\n" << "line 2: the category is empty";
    QTest::newRow("kcal not a number") << header + "a,b,100克,很多\n" << "line 2: kcal \"很多\" is not a number";
    QTest::newRow("kcal empty") << header + "a,b,100克,\n" << "line 2: kcal \"\" is not a number";
    QTest::newRow("kcal above 900") << header + "a,b,100克,900.5\n" << "line 2: kcal 900.5 is outside";
    QTest::newRow("kcal negative") << header + "a,b,100克,-1\n" << "line 2: kcal -1 is outside";
    QTest::newRow("duplicate in category")
        << header + "a,b,100克,1\nc,b,100克,1\na,b,50克,2\n" << "line 4: \"b\" is already in category \"a\" (line 2)";
    QTest::newRow("quote never closed") << header + "a,\"b,100克,1\n" << "line 2: a quoted field is not closed";
    QTest::newRow("wrong header") << QByteArray("category,food,portion,kcal\na,b,c,1\n") << "line 1: the header";
    QTest::newRow("no header at all") << QByteArray() << "line 1: the header";
    QTest::newRow("not UTF-8") << header + "a,\xC3\x28,100g,1\n" << "not valid UTF-8";
    const QByteArray withAliases = "category,name,portion,kcal,aliases\n";
    QTest::newRow("aliases: a row without the field")
        << withAliases + "a,b,100克,1,x\na,c,100克,1\n" << "line 3: expected 5 fields";
    QTest::newRow("aliases: an empty one") << withAliases + "a,b,100克,1,x、、y\n" << "line 2: an empty alias";
    QTest::newRow("aliases: given twice") << withAliases + "a,b,100克,1,x、x\n" << "line 2: alias \"x\" is given twice";
    QTest::newRow("aliases: the food's own name")
        << withAliases + "a,b,100克,1,b\n" << "line 2: alias \"b\" is the food's own name";
    QTest::newRow("aliases: another food's name")
        << withAliases + "a,b,100克,1,\na,c,100克,1,b\n" << "line 3: alias \"b\" is the name of the food on line 2";
    QTest::newRow("aliases: two foods")
        << withAliases + "a,b,100克,1,x\na,c,100克,1,x\n" << "line 3: alias \"x\" is already given on line 2";
    const QByteArray withNutrients = "category,name,portion,kcal,aliases,protein,fat,carbohydrate,alcohol\n";
    QTest::newRow("nutrients: above 100") << withNutrients + "a,b,100克,1,,101,0,0,\n" << "line 2: protein \"101\"";
    QTest::newRow("nutrients: negative") << withNutrients + "a,b,100克,1,,1,-1,0,\n" << "line 2: fat \"-1\"";
    QTest::newRow("nutrients: words") << withNutrients + "a,b,100克,1,,1,1,少,\n" << "line 2: carbohydrate \"少\"";
    QTest::newRow("nutrients: more than 100 g together")
        << withNutrients + "a,b,100克,1,,40,40,30,\n" << "add up to 110 g";
    QTest::newRow("nutrients: one missing") << withNutrients + "a,b,100克,1,,4,,3,\n" << "given together";
}

void TestData::makedbRejectsBadCsv()
{
    QFETCH(QByteArray, csv);
    QFETCH(QString, problem);
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"), csv);
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));

    const ToolRun made = runTool(QStringLiteral(MAKEDB), {QStringLiteral("--if-missing"), csvPath, target});
    QCOMPARE(made.exitCode, 1);
    QVERIFY2(made.err.contains(problem), qPrintable(made.err));
    // Nothing is left behind, not even a temporary file.
    QCOMPARE(QDir(scratch.dir()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"foods.csv", "unused.mdb"}));
}

void TestData::makedbNeverChangesExistingFile()
{
    TempDatabase scratch(TempDatabase::Content::NoTables, QStringLiteral("unused.mdb"));
    const QString csvPath = scratch.writeFile(QStringLiteral("foods.csv"),
                                              "category,name,portion,kcal\na,b,100克,1\n");
    const QString target = scratch.filePath(QStringLiteral("data.mdb"));
    QCOMPARE(runTool(QStringLiteral(MAKEDB), {csvPath, target}).exitCode, 0);

    // The user writes in the notebook; the food list changes afterwards.
    {
        auto database = openDatabase(target);
        auto rs = database->openRecordset(QStringLiteral("sp"));
        run(*rs, QStringLiteral("A"));
    }
    scratch.writeFile(QStringLiteral("foods.csv"), "category,name,portion,kcal\nx,y,1个,2\n");
    QVERIFY(backdate(target)); // so that a rewrite would show in the modification time
    const QByteArray before = readAll(target);
    const QDateTime modified = QFileInfo(target).lastModified();

    const ToolRun kept = runTool(QStringLiteral(MAKEDB), {QStringLiteral("--if-missing"), csvPath, target});
    QCOMPARE(kept.exitCode, 0);
    QVERIFY2(kept.out.contains(QStringLiteral("kept")), qPrintable(kept.out));
    const ToolRun refused = runTool(QStringLiteral(MAKEDB), {csvPath, target});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("never overwritten")), qPrintable(refused.err));

    QCOMPARE(readAll(target), before);
    QCOMPARE(QFileInfo(target).lastModified(), modified);
    auto database = openDatabase(target);
    QCOMPARE(database->openRecordset(QStringLiteral("sp"))->recordCount(), 1);
    QCOMPARE(database->openRecordset(QStringLiteral("01"))->field(2).text(), QStringLiteral("b"));
}

void TestData::buildKeepsExistingDataFile()
{
    // The build's own rule, run on this build tree: the program's data.mdb,
    // once there, is never rewritten by building again.
    const QString target = QStringLiteral(PROGRAM_DIR "/data.mdb");
    const QStringList build{QStringLiteral("--build"), QStringLiteral(BUILD_DIR),
                            QStringLiteral("--target"), QStringLiteral("data_mdb")};
    if (!QFileInfo::exists(target)) {
        const ToolRun first = runTool(QStringLiteral(CMAKE_COMMAND), build, 300000);
        QVERIFY2(first.exitCode == 0, qPrintable(first.out + first.err));
    }
    const QByteArray before = readAll(target);
    QVERIFY(!before.isEmpty());
    const QFileInfo info(target);
    const QDateTime modified = info.lastModified();
    const qint64 inode = info.fileTime(QFileDevice::FileBirthTime).isValid()
        ? info.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch()
        : -1;

    for (int i = 0; i < 2; ++i) {
        const ToolRun again = runTool(QStringLiteral(CMAKE_COMMAND), build, 300000);
        QVERIFY2(again.exitCode == 0, qPrintable(again.out + again.err));
        QVERIFY2(again.out.contains(QStringLiteral("kept as it is")), qPrintable(again.out));
    }
    const QFileInfo after(target);
    QCOMPARE(readAll(target), before);
    QCOMPARE(after.lastModified(), modified);
    if (inode >= 0) // a replaced file would be a new file with a new birth time
        QCOMPARE(after.fileTime(QFileDevice::FileBirthTime).toMSecsSinceEpoch(), inode);
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"
