#include "Database.h"
#include "Recordset.h"
#include "Schema.h"
#include "TempDatabase.h"

#include <QFileInfo>
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
        return rs.Fields(QStringLiteral("Name")).text();
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
            case 'F': rs.MoveFirst(); break;
            case 'L': rs.MoveLast(); break;
            case 'N': rs.MoveNext(); break;
            case 'P': rs.MovePrevious(); break;
            case 'D': rs.Delete(); break;
            case 'A':
                rs.AddNew();
                rs.SetField(QStringLiteral("Name"), QStringLiteral("new"));
                rs.SetField(QStringLiteral("demo"), QStringLiteral("new-body"));
                rs.Update();
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
    void openFailures_data();
    void openFailures();
    void readOnlyFileOpensButRefusesWrites();
    void twoConnectionsShareTheFile();
    void diaryTimeDefault();
    void closedHandlesFailCleanly();
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
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("sp"));
    QCOMPARE(where(*rs), opened);
    QCOMPARE(run(*rs, script), trace);
}

void TestData::recordCountFollowsAddAndDelete()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("yd"), {"a", "b"});
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("yd"));
    QCOMPARE(rs->RecordCount(), 2);
    run(*rs, QStringLiteral("AA"));
    QCOMPARE(rs->RecordCount(), 4);
    run(*rs, QStringLiteral("D"));
    QCOMPARE(rs->RecordCount(), 3);
    QCOMPARE(db.rowCount(QStringLiteral("yd")), 3);

    // A pending row is not counted until stored, and not stored when cancelled.
    rs->AddNew();
    rs->SetField(QStringLiteral("Name"), QStringLiteral("x"));
    QCOMPARE(rs->RecordCount(), 3);
    rs->CancelUpdate();
    QVERIFY(!errorOf([&] { rs->Update(); }).isEmpty());
    QCOMPARE(rs->RecordCount(), 3);
}

void TestData::fieldsByPositionAndName()
{
    TempDatabase db;
    db.insert(QStringLiteral("01"), {{"category", "谷薯主食"}, {"food", "米饭"},
                                     {"portion", "100克"}, {"kcal", 116}});
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("01"));
    QCOMPARE(rs->Fields(1).text(), QStringLiteral("谷薯主食"));
    QCOMPARE(rs->Fields(2).text(), QStringLiteral("米饭"));
    QCOMPARE(rs->Fields(3).text(), QStringLiteral("100克"));
    QCOMPARE(rs->Fields(4).text(), QStringLiteral("116"));
    QCOMPARE(rs->Fields(0).text(), QString::number(rs->Id()));
    QCOMPARE(rs->Fields(QStringLiteral("food")).text(), QStringLiteral("米饭"));

    // Names are exact: SQLite would take "FOOD" for "food", the cursor does not.
    const QString wrongCase = errorOf([&] { rs->Fields(QStringLiteral("FOOD")); });
    QVERIFY2(wrongCase.contains(QStringLiteral("“FOOD”")), qPrintable(wrongCase));
    QVERIFY(!errorOf([&] { rs->Fields(5); }).isEmpty());
    QVERIFY(!errorOf([&] { rs->Fields(-1); }).isEmpty());
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
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("01"));
    QCOMPARE(rs->Fields(4).text(), text);
}

void TestData::nullIsNotEmpty()
{
    TempDatabase db;
    db.insert(QStringLiteral("sp"), {{"Name", ""}, {"demo", QVariant()}});
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("sp"));

    const Field empty = rs->Fields(QStringLiteral("Name"));
    QVERIFY(!empty.isNull());
    QCOMPARE(empty.text(), QString());
    QVERIFY(!empty.text().isNull());

    const Field null = rs->Fields(QStringLiteral("demo"));
    QVERIFY(null.isNull());
    QCOMPARE(null.textOrEmpty(), QString());
    const QString message = errorOf([&] { null.text(); });
    QCOMPARE(message, QStringLiteral("字段“demo”（表“sp”）没有值。"));
}

void TestData::missingTableOrField()
{
    TempDatabase db;
    db.insert(QStringLiteral("xd"), {{"Name", "a"}});
    db.dropTable(QStringLiteral("rj"));
    auto database = OpenDatabase(db.path());

    QCOMPARE(errorOf([&] { database->OpenRecordset(QStringLiteral("rj")); }),
             QStringLiteral("数据库文件“%1”中没有表“rj”。").arg(db.path()));
    QVERIFY(!errorOf([&] { database->OpenRecordset(QStringLiteral("other")); }).isEmpty());

    auto rs = database->OpenRecordset(QStringLiteral("xd"));
    QCOMPARE(errorOf([&] { rs->Fields(QStringLiteral("time")); }),
             QStringLiteral("表“xd”中没有字段“time”。"));
    rs->AddNew();
    QCOMPARE(errorOf([&] { rs->SetField(QStringLiteral("title"), QStringLiteral("t")); }),
             QStringLiteral("表“xd”中没有字段“title”。"));
    QVERIFY(!errorOf([&] { rs->SetField(QStringLiteral("id"), QStringLiteral("7")); }).isEmpty());

    // A table dropped while a cursor is open on it: clear errors, no stale rows.
    auto other = OpenDatabase(db.path());
    other->OpenRecordset(QStringLiteral("xd")).reset();
    db.dropTable(QStringLiteral("xd"));
    const QString gone = errorOf([&] { rs->MoveFirst(); });
    QVERIFY2(gone.contains(QStringLiteral("没有表“xd”")), qPrintable(gone));
}

void TestData::openFailures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");
    QTest::newRow("missing file") << "missing" << "文件不存在";
    QTest::newRow("not a database") << "garbage" << "文件不是数据库";
    QTest::newRow("empty text file") << "text" << "文件不是数据库";
    QTest::newRow("folder") << "folder" << "文件夹";
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

    const QByteArray before = QFileInfo(path).isFile() ? [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }() : QByteArray();

    const QString message = errorOf([&] { OpenDatabase(path); });
    QVERIFY2(message.startsWith(QStringLiteral("无法打开数据库文件“%1”").arg(path)), qPrintable(message));
    QVERIFY2(message.contains(cause), qPrintable(message));

    // Nothing is made or changed by a failed open.
    if (kind == QLatin1String("missing")) {
        QVERIFY(!QFileInfo::exists(path));
    } else if (!before.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
    QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
}

void TestData::readOnlyFileOpensButRefusesWrites()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a"});
    db.makeReadOnly();
    if (QFileInfo(db.path()).isWritable())
        QSKIP("running as a user that can write any file");

    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("sp"));
    QCOMPARE(rs->Fields(QStringLiteral("Name")).text(), QStringLiteral("a"));

    rs->AddNew();
    rs->SetField(QStringLiteral("Name"), QStringLiteral("b"));
    const QString message = errorOf([&] { rs->Update(); });
    QVERIFY2(message.startsWith(QStringLiteral("无法保存到表“sp”：数据库文件是只读的。")),
             qPrintable(message));
    // The refused row is dropped, not stored later.
    QVERIFY(!errorOf([&] { rs->Update(); }).isEmpty());
    QVERIFY(errorOf([&] { rs->Delete(); }).contains(QStringLiteral("只读")));
    QCOMPARE(rs->RecordCount(), 1);
    QCOMPARE(where(*rs), QStringLiteral("a"));
}

void TestData::twoConnectionsShareTheFile()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a", "b", "c"});
    auto first = OpenDatabase(db.path());
    auto second = OpenDatabase(db.path());
    auto reader = first->OpenRecordset(QStringLiteral("sp"));
    auto writer = second->OpenRecordset(QStringLiteral("sp"));

    // The reader has read ahead past "b" and "c"; a delete and an add through
    // the other connection still show at its next moves.
    QCOMPARE(where(*reader), QStringLiteral("a"));
    QVERIFY(writer->MoveToId(reader->Id() + 1));
    writer->Delete();
    run(*writer, QStringLiteral("A"));
    QCOMPARE(run(*reader, QStringLiteral("NNN")), QString("c new EOF").split(u' '));
    QCOMPARE(reader->RecordCount(), 3);

    // A row the reader is on, deleted elsewhere, can no longer be read.
    run(*reader, QStringLiteral("P"));
    QVERIFY(writer->MoveToId(reader->Id()));
    writer->Delete();
    QCOMPARE(errorOf([&] { reader->Fields(QStringLiteral("Name")); }),
             QStringLiteral("当前记录已被删除。"));
    QCOMPARE(run(*reader, QStringLiteral("P")), QStringList{"c"});
}

void TestData::diaryTimeDefault()
{
    TempDatabase db;
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("rj"));
    const QDateTime before = QDateTime::currentDateTime();
    run(*rs, QStringLiteral("A"));
    rs->MoveFirst();
    const QString time = rs->Fields(QStringLiteral("time")).text();
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}$")).match(time).hasMatch(),
             qPrintable(time));
    const QDateTime stored = QDateTime::fromString(time, QStringLiteral("yyyy-MM-dd HH:mm"));
    QVERIFY(qAbs(stored.secsTo(before)) < 120); // local time, not UTC
    QCOMPARE(rs->Fields(1).text(), time);
}

void TestData::closedHandlesFailCleanly()
{
    TempDatabase db;
    fillNames(db, QStringLiteral("sp"), {"a"});
    auto database = OpenDatabase(db.path());
    auto rs = database->OpenRecordset(QStringLiteral("sp"));
    auto closedCursor = database->OpenRecordset(QStringLiteral("sp"));
    closedCursor->Close();
    QVERIFY(!errorOf([&] { closedCursor->MoveNext(); }).isEmpty());

    database.reset(); // the cursor outlives its connection
    QCOMPARE(errorOf([&] { rs->MoveNext(); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->Fields(1); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->RecordCount(); }), QStringLiteral("数据库连接已关闭。"));
    QCOMPARE(errorOf([&] { rs->AddNew(); }), QStringLiteral("数据库连接已关闭。"));
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"
