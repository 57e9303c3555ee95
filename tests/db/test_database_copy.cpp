// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/DatabaseRestore.h"
#include "db/DataError.h"
#include "db/Query.h"
#include "db/WorkProgress.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

// Whole-file copies: what a backup or a restore may rely on.
class TestDatabaseCopy : public QObject
{
    Q_OBJECT

private slots:
    void copyHoldsEveryRowAndLeavesNoTemporaryFile();
    void copyNeverReplacesOrLeavesAFileOnFailure_data();
    void copyNeverReplacesOrLeavesAFileOnFailure();
    void copyIsTakenWhileAnotherConnectionWrites();
    void restoredFileKeepsTheProgramsJournal();
    void restoreUpgradesInTheSameStep();
    void restoreCopiesEveryRowInSteps_data();
    void restoreCopiesEveryRowInSteps();
    void cancelledRestoreLeavesEveryByte();
    void lockedFileIsWaitedForOnce();
    void verifyAcceptsOnlyASoundProgramFile_data();
    void verifyAcceptsOnlyASoundProgramFile();
};

namespace {

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Name and demo of every row of table sp in the file at `path`, in row order.
QList<QStringList> rowsIn(const QString &path)
{
    sqlite3 *db = nullptr;
    QList<QStringList> names;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT Name, demo FROM sp ORDER BY id", -1, &stmt, nullptr);
        const auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)));
        };
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            names.append({text(0), text(1)});
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return names;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestDatabaseCopy::copyHoldsEveryRowAndLeavesNoTemporaryFile()
{
    TempDatabase db;
    const QList<QStringList> rows{{QStringLiteral("标题"), QStringLiteral("正文\n第二行 😀")},
                                  {QStringLiteral("大"), QString(1 << 20, QLatin1Char('x'))}};
    db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")},
                  {{rows[0][0], rows[0][1]}, {rows[1][0], rows[1][1]}});
    const QByteArray before = readAll(db.path());

    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("copy.mdb"));
    copyDatabaseFile(db.path(), target);

    QCOMPARE(folderEntries(out.path()), QStringList{QStringLiteral("copy.mdb")});
    QCOMPARE(readAll(db.path()), before); // the source is only read
    verifyDatabaseFile(target);
    QCOMPARE(rowsIn(target), rows);
}

void TestDatabaseCopy::copyNeverReplacesOrLeavesAFileOnFailure_data()
{
    QTest::addColumn<QString>("case_");
    QTest::newRow("target exists") << "exists";
    QTest::newRow("source missing") << "missing";
    QTest::newRow("source not a database") << "garbage";
    QTest::newRow("target folder missing") << "nofolder";
}

void TestDatabaseCopy::copyNeverReplacesOrLeavesAFileOnFailure()
{
    QFETCH(QString, case_);
    TempDatabase db;
    QTemporaryDir out;
    QString source = db.path();
    QString target = out.filePath(QStringLiteral("copy.mdb"));
    const QByteArray existing("an earlier backup");
    if (case_ == QLatin1String("exists")) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    } else if (case_ == QLatin1String("missing")) {
        source = db.filePath(QStringLiteral("gone.mdb"));
    } else if (case_ == QLatin1String("garbage")) {
        source = db.writeGarbageFile();
    } else {
        target = out.filePath(QStringLiteral("no/such/folder/copy.mdb"));
    }
    const QStringList entriesBefore = folderEntries(out.path());

    try {
        copyDatabaseFile(source, target);
        QFAIL("the copy should have failed");
    } catch (const DataError &error) {
        QVERIFY2(!error.message().isEmpty(), "a message for the user");
    }
    QCOMPARE(folderEntries(out.path()), entriesBefore);
    if (case_ == QLatin1String("exists"))
        QCOMPARE(readAll(target), existing);
}

void TestDatabaseCopy::copyIsTakenWhileAnotherConnectionWrites()
{
    TempDatabase db;
    db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name")}, {{QStringLiteral("已提交")}});
    // Another connection in the middle of a write transaction that has not
    // committed: the copy holds what was committed, and nothing else.
    sqlite3 *writer = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(db.path()).constData(), &writer,
                             SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    auto closeWriter = qScopeGuard([&] { sqlite3_close_v2(writer); });
    QCOMPARE(sqlite3_exec(writer, "BEGIN IMMEDIATE; INSERT INTO sp(Name) VALUES('未提交')",
                          nullptr, nullptr, nullptr), SQLITE_OK);

    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("copy.mdb"));
    copyDatabaseFile(db.path(), target);
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);

    QCOMPARE(rowsIn(target), (QList<QStringList>{{QStringLiteral("已提交"), QString()}}));
}

// A backup written in WAL mode carries that mode in its header; restored as it is, data.mdb would
// stay in WAL mode for good, with its latest writes in a -wal file beside it that a copy of
// data.mdb alone misses. After a restore the file is in the program's rollback-journal mode.
void TestDatabaseCopy::restoredFileKeepsTheProgramsJournal()
{
    TempDatabase live;
    TempDatabase source;
    source.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    source.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")},
                      {{QStringLiteral("备份里的"), QStringLiteral("正文")}});
    QCOMPARE(source.queryRows(QStringLiteral("PRAGMA journal_mode")),
             (QList<QVariantList>{{QStringLiteral("wal")}}));

    {
        auto database = openDatabase(live.path());
        restoreDatabase(*database, source.path());
    }
    QCOMPARE(live.queryRows(QStringLiteral("PRAGMA journal_mode")),
             (QList<QVariantList>{{QStringLiteral("delete")}}));
    QCOMPARE(rowsIn(live.path()), (QList<QStringList>{{QStringLiteral("备份里的"), QStringLiteral("正文")}}));
    QVERIFY(!QFileInfo::exists(live.path() + QStringLiteral("-wal")));

    // Restored from a marked daily backup, the data file carries no mark of its own.
    TempDatabase marked;
    const QString daily = marked.dir() + QStringLiteral("/daily.mdb");
    copyDatabaseFile(source.path(), daily, 0x50454C4D);
    QCOMPARE(applicationIdOf(daily), std::optional<qint32>(0x50454C4D));
    {
        auto database = openDatabase(live.path());
        restoreDatabase(*database, daily);
    }
    QCOMPARE(applicationIdOf(live.path()), std::optional<qint32>(0));
}

// A file of an earlier layout arrives with what the current one adds, in the same step as the
// restore; the source is never changed, and an upgrade that fails leaves the live file as it was.
void TestDatabaseCopy::restoreUpgradesInTheSameStep()
{
    TempDatabase live;
    live.insertRows(QStringLiteral("sp"), {QStringLiteral("Name")}, {{QStringLiteral("现在的")}});
    TempDatabase source;
    source.insertRows(QStringLiteral("sp"), {QStringLiteral("Name")}, {{QStringLiteral("备份里的")}});
    QFile sourceFile(source.path());
    QVERIFY(sourceFile.open(QIODevice::ReadOnly));
    const QByteArray sourceBytes = sourceFile.readAll();
    sourceFile.close();
    const QStringList upgrade = {QStringLiteral("CREATE TABLE IF NOT EXISTS added (x INTEGER)"),
                                 QStringLiteral("CREATE TRIGGER IF NOT EXISTS added_positive BEFORE INSERT ON added "
                                                "WHEN NEW.x <= 0 BEGIN SELECT RAISE(ABORT, 'x'); END")};

    auto database = openDatabase(live.path());
    QVERIFY_THROWS_EXCEPTION(DataError, restoreDatabase(*database, source.path(),
                                                        {upgrade.first(), QStringLiteral("CREATE TABLE sp (x)")}));
    QCOMPARE(rowsIn(live.path()), (QList<QStringList>{{QStringLiteral("现在的"), QString()}}));
    QCOMPARE(live.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'added'")).toInt(), 0);

    restoreDatabase(*database, source.path(), upgrade);
    QCOMPARE(rowsIn(live.path()), (QList<QStringList>{{QStringLiteral("备份里的"), QString()}}));
    QCOMPARE(live.query(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'added%'")).toInt(), 2);
    QVERIFY(sourceFile.open(QIODevice::ReadOnly));
    QCOMPARE(sourceFile.readAll(), sourceBytes);
    QCOMPARE(QDir(source.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
    QCOMPARE(QDir(live.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
}

void TestDatabaseCopy::restoreCopiesEveryRowInSteps_data()
{
    QTest::addColumn<QString>("create");
    QTest::addColumn<QString>("fill");
    // Tables a backup may carry besides ours: the rows go by rowid where they can, else at once.
    QTest::newRow("several steps") << "CREATE TABLE extra(id INTEGER PRIMARY KEY, v TEXT)"
                                   << "INSERT INTO extra(v) SELECT printf('行%d', value) FROM generate_series(1, 1201)";
    QTest::newRow("rowids at both ends of their range")
        << "CREATE TABLE extra(id INTEGER PRIMARY KEY, v TEXT)"
        << "INSERT INTO extra VALUES(-9223372036854775808, 'min'), (-1, 'a'), (0, 'b'), (9223372036854775807, 'max')";
    QTest::newRow("a text key, rowids not kept") << "CREATE TABLE extra(day TEXT PRIMARY KEY, v REAL)"
                                                << "INSERT INTO extra SELECT printf('d%04d', value), value FROM generate_series(1, 700)";
    QTest::newRow("WITHOUT ROWID") << "CREATE TABLE extra(k TEXT PRIMARY KEY, v TEXT) WITHOUT ROWID"
                                   << "INSERT INTO extra SELECT printf('k%d', value), 'x' FROM generate_series(1, 800)";
    QTest::newRow("a column named rowid") << "CREATE TABLE extra(rowid TEXT, v TEXT)"
                                          << "INSERT INTO extra SELECT 'r' || value, value FROM generate_series(1, 600)";
}

// The rows go in steps, and every one arrives, in order; the progress counts them all, rising.
void TestDatabaseCopy::restoreCopiesEveryRowInSteps()
{
    QFETCH(QString, create);
    QFETCH(QString, fill);
    TempDatabase live;
    TempDatabase source;
    source.exec(create);
    // generate_series is not in every SQLite: the numbers from a recursive query instead.
    source.exec(QString(fill).replace(
        QRegularExpression(QStringLiteral("FROM generate_series\\(1, (\\d+)\\)")),
        QStringLiteral("FROM (WITH RECURSIVE n(value) AS (SELECT 1 UNION ALL SELECT value + 1 FROM n WHERE value < \\1) "
                       "SELECT value FROM n)")));
    source.insertRows(QStringLiteral("sp"), {QStringLiteral("Name")}, {{QStringLiteral("备份里的")}});
    const QList<QVariantList> rows = source.queryRows(QStringLiteral("SELECT * FROM extra"));

    QList<qint64> reported;
    qint64 total = -1;
    {
        auto database = openDatabase(live.path());
        const PreparedRestore prepared(source.path(), {});
        prepared.replace(*database, {}, [&](qint64 done, qint64 of) {
            reported << done;
            total = of;
            return true;
        });
    }
    QCOMPARE(live.queryRows(QStringLiteral("SELECT * FROM extra")), rows);
    QCOMPARE(rowsIn(live.path()), (QList<QStringList>{{QStringLiteral("备份里的"), QString()}}));
    QCOMPARE(total, qint64(rows.size() + 1));
    QCOMPARE(reported.first(), 0);
    QCOMPARE(reported.last(), total);
    QVERIFY(std::is_sorted(reported.begin(), reported.end()));
    QVERIFY(reported.size() >= 3); // not one jump from nothing to all
}

// 取消 at the last step, with a cache so small that the restore's pages spilled into the file
// before the end: the rollback puts every byte back, the file's size included.
void TestDatabaseCopy::cancelledRestoreLeavesEveryByte()
{
    TempDatabase live;
    live.insertRows(QStringLiteral("sp"), {QStringLiteral("Name")}, {{QStringLiteral("现在的")}});
    TempDatabase source;
    QList<QVariantList> many;
    for (int i = 0; i < 3000; ++i)
        many.append({QStringLiteral("备份%1").arg(i), QString(400, QLatin1Char('x'))});
    source.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")}, many);
    const QByteArray before = readAll(live.path());

    auto database = openDatabase(live.path());
    execute(*database, "PRAGMA cache_size = 10", QString());
    const PreparedRestore prepared(source.path(), {});
    bool copied = false;
    QVERIFY_THROWS_EXCEPTION(WorkCancelled, prepared.replace(*database, [&] { copied = true; }, [](qint64 done, qint64 total) {
        return done < total;
    }));
    QVERIFY(copied);
    QCOMPARE(readAll(live.path()), before);
    QCOMPARE(QDir(live.dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"data.mdb"});
    QCOMPARE(rowsIn(live.path()), (QList<QStringList>{{QStringLiteral("现在的"), QString()}}));
}

// A copy or a restore that meets another program's lock waits once, up to its limit, then
// says the file is in use: not once in a connection's busy handler and again in the backup's
// own retries (twice the limit).
void TestDatabaseCopy::lockedFileIsWaitedForOnce()
{
    TempDatabase db;
    TempDatabase source;
    QTemporaryDir out;
    constexpr int limit = 400;
    const auto failsOnceInUse = [](const char *what, const std::function<void()> &step) {
        QElapsedTimer clock;
        clock.start();
        try {
            step();
            QFAIL(what);
        } catch (const DataError &error) {
            QVERIFY2(error.message().contains(QStringLiteral("正被另一个程序使用")), qPrintable(error.message()));
        }
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= limit && waited < limit * 3 / 2, qPrintable(QStringLiteral("%1: %2 ms").arg(what).arg(waited)));
    };
    {
        auto lock = db.holdExclusiveLock(); // readers shut out
        failsOnceInUse("copy", [&] { copyDatabaseFile(db.path(), out.filePath(QStringLiteral("copy.mdb")), 0, limit); });
    }
    auto live = openDatabase(db.path());
    live->setLockWaitLimit(limit);
    auto lock = db.holdWriteLock(); // another writer
    failsOnceInUse("restore", [&] { restoreDatabase(*live, source.path()); });
    QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestDatabaseCopy::verifyAcceptsOnlyASoundProgramFile_data()
{
    QTest::addColumn<QString>("case_");
    QTest::addColumn<QString>("expected"); // a word of the message, or empty for a sound file
    QTest::newRow("sound") << "sound" << "";
    QTest::newRow("missing") << "missing" << "不存在";
    QTest::newRow("empty") << "empty" << "空";
    QTest::newRow("garbage") << "garbage" << "不是数据库";
    QTest::newRow("another program's database") << "foreign" << "缺少表";
    QTest::newRow("damaged page") << "damaged" << "损坏";
    // The right names with other columns: the notes could not be read after a restore.
    QTest::newRow("notes of another shape") << "sp reshaped" << "表“sp”缺少列“demo”";
    QTest::newRow("diary without its time") << "rj reshaped" << "表“rj”缺少列“time”";
    QTest::newRow("other names of another shape") << "food_alias reshaped" << "表“food_alias”缺少列“category”";
    QTest::newRow("an extra column is fine") << "sp widened" << "";
    // Copied while another program was writing it: a journal beside it that must be rolled back
    // first, which is not the same as a read-only file.
    QTest::newRow("copied in the middle of a write") << "hot journal" << "日志文件";
}

void TestDatabaseCopy::verifyAcceptsOnlyASoundProgramFile()
{
    QFETCH(QString, case_);
    QFETCH(QString, expected);
    TempDatabase db;
    QString path = db.path();
    if (case_ == QLatin1String("missing")) {
        path = db.filePath(QStringLiteral("gone.mdb"));
    } else if (case_ == QLatin1String("empty")) {
        path = db.writeFile(QStringLiteral("empty.mdb"), QByteArray());
    } else if (case_ == QLatin1String("garbage")) {
        path = db.writeGarbageFile();
    } else if (case_ == QLatin1String("foreign")) {
        db.dropTable(QStringLiteral("rj"));
    } else if (case_ == QLatin1String("sp reshaped")) {
        db.exec(QStringLiteral("DROP TABLE sp; CREATE TABLE sp (id INTEGER PRIMARY KEY, Name TEXT, body TEXT)"));
    } else if (case_ == QLatin1String("rj reshaped")) {
        db.exec(QStringLiteral("DROP TABLE rj; CREATE TABLE rj (id INTEGER PRIMARY KEY, Name TEXT, demo TEXT)"));
    } else if (case_ == QLatin1String("food_alias reshaped")) {
        db.exec(QStringLiteral("DROP TABLE food_alias; CREATE TABLE food_alias (id INTEGER PRIMARY KEY, name TEXT)"));
    } else if (case_ == QLatin1String("sp widened")) {
        db.exec(QStringLiteral("ALTER TABLE sp ADD COLUMN mood TEXT"));
    } else if (case_ == QLatin1String("hot journal")) {
        QList<QVariantList> rows;
        for (int i = 0; i < 200; ++i)
            rows.append({QStringLiteral("记录%1").arg(i), QString(300, QLatin1Char('z'))});
        db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")}, rows);
        sqlite3 *writer = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(db.path()).constData(), &writer), SQLITE_OK);
        QCOMPARE(sqlite3_exec(writer, "PRAGMA cache_size = 1; BEGIN; UPDATE sp SET demo = upper(demo) || 'y'",
                              nullptr, nullptr, nullptr), SQLITE_OK);
        path = db.filePath(QStringLiteral("copied.mdb"));
        QVERIFY(QFile::copy(db.path(), path));
        QVERIFY(QFile::copy(db.path() + QStringLiteral("-journal"), path + QStringLiteral("-journal")));
        sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(writer);
    } else if (case_ == QLatin1String("damaged")) {
        // Rows over several pages, then the last page's cell count and cell
        // pointers overwritten: a leaf of table sp.
        QList<QVariantList> rows;
        for (int i = 0; i < 200; ++i)
            rows.append({QStringLiteral("记录%1").arg(i), QString(300, QLatin1Char('z'))});
        db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")}, rows);
        QByteArray bytes = readAll(path);
        QVERIFY(bytes.size() > 8 * 4096);
        const qsizetype page = bytes.size() - 4096;
        for (qsizetype i = 3; i < 64; ++i)
            bytes[page + i] = char(0xff);
        path = db.writeFile(QStringLiteral("damaged.mdb"), bytes);
    }
    const QByteArray before = readAll(path);

    try {
        verifyDatabaseFile(path);
        QVERIFY2(expected.isEmpty(), "the file should have been refused");
    } catch (const DataError &error) {
        QVERIFY2(!expected.isEmpty(), qPrintable(error.message()));
        QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
    }
    QCOMPARE(readAll(path), before);
}

QTEST_GUILESS_MAIN(TestDatabaseCopy)
#include "test_database_copy.moc"
