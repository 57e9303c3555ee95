// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/BackupRotation.h"
#include "db/DailyBackup.h"
#include "db/DataError.h"
#include "support/SmallDisk.h"
#include "support/TempDatabase.h"

#include <QDateTime>
#include <QDir>
#include <sqlite3.h>
#include <QFile>
#include <QTest>

#include <algorithm>

// Daily backups: which copies are kept over weeks of use, and what one start does on disk.
class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void rotationOverAMonth_data();
    void rotationOverAMonth();
    void aMonthOfStartsOnDisk();
    void laterStartsOfTheDayMakeNoCopy();
    void failedCopyRemovesNothing();
    void wrongClockKeepsEveryRealCopy();
    void fullDiskLeavesNoPartialCopy();
    void rotationRemovesOnlyItsOwnCopies();
    void linkedFolderIsNeverCleaned();
    void abandonedUpgradeCopiesAreCleanedAtStart();
    void namesOfDailyCopies_data();
    void namesOfDailyCopies();
};

namespace {

QDate march(int day)
{
    return QDate(2026, 3, day);
}

QList<QDate> sorted(QList<QDate> days)
{
    std::sort(days.begin(), days.end());
    return days;
}

// The first value of a query on the file at `path`, opened read-only.
QString valueIn(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QString value;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return value;
}

} // namespace

void TestBackup::rotationOverAMonth_data()
{
    QTest::addColumn<QList<QDate>>("present");   // copies in the folder before the first start
    QTest::addColumn<QList<QDate>>("startDays"); // the days the program was started, in order
    QTest::addColumn<QList<QDate>>("kept");      // the backups there after the last start

    QList<QDate> everyDay;
    for (int day = 1; day <= 31; ++day)
        everyDay << march(day);
    // 31 March is a Tuesday: the 7 newest days, and the Sundays of the three weeks before.
    QTest::newRow("every day of March")
        << QList<QDate>{} << everyDay
        << QList<QDate>{march(15), march(22), march(25), march(26), march(27), march(28),
                        march(29), march(30), march(31)};

    // Mondays and Thursdays: the 7 newest starts; the weekly ones are among them.
    const QList<QDate> twiceAWeek = {march(2),  march(5),  march(9),  march(12), march(16),
                                     march(19), march(23), march(26), march(30)};
    QTest::newRow("twice a week") << QList<QDate>{} << twiceAWeek << twiceAWeek.mid(2);

    // Weeks without a start do not push the older copies out.
    QList<QDate> withBreak;
    for (int day = 5; day <= 20; ++day)
        withBreak << QDate(2026, 1, day);
    withBreak << march(31);
    QTest::newRow("two months' break")
        << QList<QDate>{} << withBreak
        << QList<QDate>{QDate(2026, 1, 11), QDate(2026, 1, 15), QDate(2026, 1, 16),
                        QDate(2026, 1, 17), QDate(2026, 1, 18), QDate(2026, 1, 19),
                        QDate(2026, 1, 20), march(31)};

    // A copy dated in the future (the clock was set ahead once) is kept and takes no one's place.
    QTest::newRow("a copy from a clock set ahead")
        << QList<QDate>{QDate(2030, 1, 1), march(20)} << everyDay
        << QList<QDate>{march(15), march(22), march(25), march(26), march(27), march(28),
                        march(29), march(30), march(31), QDate(2030, 1, 1)};

    // One start with the clock years behind (a flat battery, a restored virtual machine): every
    // real copy is dated after its "today" and stays; the next start with the clock put right
    // rotates as before.
    const QList<QDate> aMonthKept = {march(15), march(22), march(25), march(26), march(27),
                                     march(28), march(29), march(30), march(31)};
    QTest::newRow("a clock years behind")
        << aMonthKept << QList<QDate>{QDate(2020, 1, 1)} << aMonthKept + QList<QDate>{QDate(2020, 1, 1)};
    QTest::newRow("a clock years behind, then put right")
        << aMonthKept << QList<QDate>{QDate(2020, 1, 1), QDate(2026, 4, 1)}
        << QList<QDate>{march(15), march(22), march(26), march(27), march(28), march(29),
                        march(30), march(31), QDate(2026, 4, 1)};
    // A clock a day ahead makes tomorrow's copy today; tomorrow finds it there.
    QTest::newRow("a clock a day ahead")
        << aMonthKept << QList<QDate>{QDate(2026, 4, 2), QDate(2026, 4, 1), QDate(2026, 4, 2)}
        << QList<QDate>{march(15), march(22), march(27), march(28), march(29), march(30),
                        march(31), QDate(2026, 4, 1), QDate(2026, 4, 2)};

    // Across a year's end the weeks still count Monday to Sunday (ISO weeks).
    QList<QDate> newYear;
    for (QDate day(2025, 12, 1); day <= QDate(2026, 1, 6); day = day.addDays(1))
        newYear << day;
    QTest::newRow("over the new year")
        << QList<QDate>{} << newYear
        << QList<QDate>{QDate(2025, 12, 21), QDate(2025, 12, 28), QDate(2025, 12, 31),
                        QDate(2026, 1, 1), QDate(2026, 1, 2), QDate(2026, 1, 3),
                        QDate(2026, 1, 4), QDate(2026, 1, 5), QDate(2026, 1, 6)};
}

void TestBackup::rotationOverAMonth()
{
    QFETCH(QList<QDate>, present);
    QFETCH(QList<QDate>, startDays);
    QFETCH(QList<QDate>, kept);

    // What the folder holds, started day by day as DailyBackup does: add today's, then rotate.
    QList<QDate> folder = present;
    for (const QDate &today : startDays) {
        if (!folder.contains(today))
            folder << today;
        const QList<QDate> removed = BackupRotation::toRemove(folder, today);
        QVERIFY(!removed.contains(today));
        for (const QDate &day : removed) {
            QVERIFY(folder.contains(day));
            folder.removeAll(day);
        }
        const int current = int(std::count_if(folder.begin(), folder.end(),
                                              [&](QDate day) { return day <= today; }));
        QVERIFY2(current <= BackupRotation::DailyKept + BackupRotation::WeeklyKept,
                 qPrintable(today.toString()));
        // Rotating again changes nothing.
        QVERIFY(BackupRotation::toRemove(folder, today).isEmpty());
    }
    QCOMPARE(sorted(folder), sorted(kept));
}

void TestBackup::aMonthOfStartsOnDisk()
{
    TempDatabase db;
    db.insert(QStringLiteral("sp"), {{"Name", QStringLiteral("早餐")}, {"demo", QStringLiteral("燕麦")}});
    DailyBackup backup(db.path());
    QCOMPARE(backup.folder(), QDir(db.dir()).filePath(QStringLiteral("backups")));

    // Files of other names in the folder are never touched.
    QVERIFY(QDir().mkpath(backup.folder()));
    const QString own = QDir(backup.folder()).filePath(QStringLiteral("我的备份.mdb"));
    const QString beforeRestore = QDir(backup.folder()).filePath(QStringLiteral("data-before-restore-2026-02-01-120000.mdb"));
    for (const QString &path : {own, beforeRestore}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    // A copy interrupted long ago leaves its temporary file; one in progress now is kept.
    const QString abandoned = QDir(backup.folder()).filePath(QStringLiteral(".data-2026-02-01.mdb.AbCdEf"));
    const QString inProgress = QDir(backup.folder()).filePath(QStringLiteral(".data-2026-03-01.mdb.GhIjKl"));
    for (const QString &path : {abandoned, inProgress}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    {
        QFile file(abandoned);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }

    for (int day = 1; day <= 31; ++day) {
        db.insert(QStringLiteral("rj"), {{"Name", QStringLiteral("第%1天").arg(day)}, {"demo", QString()}});
        QCOMPARE(backup.run(march(day)), DailyBackup::Outcome::Made);
    }
    QCOMPARE(sorted(backup.days()),
             (QList<QDate>{march(15), march(22), march(25), march(26), march(27), march(28),
                           march(29), march(30), march(31)}));
    QVERIFY(QFile::exists(own));
    QVERIFY(QFile::exists(beforeRestore));
    QVERIFY(!QFile::exists(abandoned));
    QVERIFY(QFile::exists(inProgress));

    // Each copy holds the file as it was on its day.
    const QString fifteenth = backup.pathFor(march(15));
    QCOMPARE(valueIn(fifteenth, "SELECT count(*) FROM rj"), QStringLiteral("15"));
    QCOMPARE(valueIn(fifteenth, "SELECT Name FROM sp"), QStringLiteral("早餐"));
}

void TestBackup::laterStartsOfTheDayMakeNoCopy()
{
    TempDatabase db;
    DailyBackup backup(db.path());
    QCOMPARE(backup.run(march(3)), DailyBackup::Outcome::Made);
    const QFileInfo first(backup.pathFor(march(3)));
    const QDateTime madeAt = first.lastModified();
    db.insert(QStringLiteral("sp"), {{"Name", QStringLiteral("午餐")}, {"demo", QStringLiteral("米饭")}});
    QCOMPARE(backup.run(march(3)), DailyBackup::Outcome::AlreadyThere);
    QCOMPARE(QFileInfo(backup.pathFor(march(3))).lastModified(), madeAt);
    QCOMPARE(backup.days(), QList<QDate>{march(3)});
    QCOMPARE(QDir(backup.folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestBackup::failedCopyRemovesNothing()
{
    TempDatabase db;
    DailyBackup backup(db.path());
    for (int day = 1; day <= 20; ++day)
        QCOMPARE(backup.run(march(day)), DailyBackup::Outcome::Made);
    const QList<QDate> before = sorted(backup.days());

    // The data file is damaged: no copy of it, and the older copies all stay.
    db.writeFile(QStringLiteral("data.mdb"), QByteArray("not a database").repeated(100));
    QVERIFY_THROWS_EXCEPTION(DataError, backup.run(march(31)));
    QCOMPARE(sorted(backup.days()), before);
    QCOMPARE(QDir(backup.folder()).entryList(QDir::Files | QDir::Hidden).size(), before.size());

    // No folder can be made where a file has the name.
    TempDatabase other;
    QFile blocker(QDir(other.dir()).filePath(QStringLiteral("backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        DailyBackup(other.path()).run(march(1));
        QFAIL("no error");
    } catch (const DataError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("备份")), qPrintable(error.message()));
    }
}

// Starts with a wrong clock on disk: one years behind deletes none of the real copies, and one a
// month ahead leaves its copy, which pushes none of the real ones out.
void TestBackup::wrongClockKeepsEveryRealCopy()
{
    TempDatabase db;
    DailyBackup backup(db.path());
    QList<QDate> real;
    for (int day = 1; day <= 9; ++day) {
        QCOMPARE(backup.run(march(day)), DailyBackup::Outcome::Made);
        real << march(day);
    }
    const QList<QDate> rotated = sorted(backup.days());
    QCOMPARE(rotated.size(), 8); // the 7 newest days and the newest of the week before

    QCOMPARE(backup.run(QDate(2020, 1, 1)), DailyBackup::Outcome::Made); // the clock years behind
    QCOMPARE(sorted(backup.days()), sorted(rotated + QList<QDate>{QDate(2020, 1, 1)}));

    QCOMPARE(backup.run(march(30)), DailyBackup::Outcome::Made); // a month ahead
    QCOMPARE(backup.run(march(10)), DailyBackup::Outcome::Made); // and put right
    QVERIFY(backup.days().contains(march(30)));
    // The week's seven newest real days stay.
    for (QDate day = march(4); day <= march(10); day = day.addDays(1))
        QVERIFY2(backup.days().contains(day), qPrintable(day.toString()));
}

// The disk fills up during the day's copy: the start is told, the older copies all stay, and
// nothing half-written is left in the folder.
void TestBackup::fullDiskLeavesNoPartialCopy()
{
    SmallDisk disk(512);
    if (!disk.isMounted())
        QSKIP("cannot mount a small tmpfs here (needs the right to mount)");
    TempDatabase db;
    QList<QVariantList> rows;
    for (int i = 0; i < 400; ++i)
        rows.append({QStringLiteral("记录%1").arg(i), QString(400, QLatin1Char('z'))});
    db.insertRows(QStringLiteral("sp"), {QStringLiteral("Name"), QStringLiteral("demo")}, rows);
    const QString data = disk.filePath(QStringLiteral("data.mdb"));
    QVERIFY(QFile::copy(db.path(), data));
    DailyBackup backup(data);
    QVERIFY(QDir().mkpath(backup.folder()));
    QVERIFY(disk.leaveFree(64 * 1024));
    const QStringList before = QDir(backup.folder()).entryList(QDir::Files | QDir::Hidden);

    try {
        backup.run(march(3));
        QFAIL("the copy should have failed");
    } catch (const DataError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("磁盘已满")), qPrintable(error.message()));
    }
    QCOMPARE(QDir(backup.folder()).entryList(QDir::Files | QDir::Hidden), before);
    QCOMPARE(QDir(disk.path()).entryList(QDir::Files), QStringList{"data.mdb"});
}

// A copy a user keeps in the folder under a daily name, and a hidden file of a name like a copy
// in progress, outlive a month of starts: only copies carrying the program's mark are rotated.
void TestBackup::rotationRemovesOnlyItsOwnCopies()
{
    TempDatabase db;
    DailyBackup backup(db.path());
    QVERIFY(QDir().mkpath(backup.folder()));
    const QString keptByHand = backup.pathFor(QDate(2026, 2, 1));
    QVERIFY(QFile::copy(db.path(), keptByHand));
    const QString hidden = QDir(backup.folder()).filePath(QStringLiteral(".data-notes.mdb.old"));
    {
        QFile file(hidden);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("mine");
        file.close();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
    }
    QVERIFY(!DailyBackup::isOwnCopy(keptByHand));

    for (int day = 1; day <= 31; ++day)
        QCOMPARE(backup.run(march(day)), DailyBackup::Outcome::Made);
    QVERIFY(QFile::exists(keptByHand));
    QVERIFY(QFile::exists(hidden));
    QVERIFY(DailyBackup::isOwnCopy(backup.pathFor(march(31))));
    QVERIFY(!QFile::exists(backup.pathFor(march(1))));
    QVERIFY(!backup.days().contains(QDate(2026, 2, 1)));
}

// A backups folder that is a link to another folder: the copies behind it are never removed.
void TestBackup::linkedFolderIsNeverCleaned()
{
    TempDatabase elsewhere;
    DailyBackup earlier(elsewhere.path());
    for (int day = 1; day <= 12; ++day)
        QCOMPARE(earlier.run(march(day)), DailyBackup::Outcome::Made);
    QFile::remove(earlier.pathFor(march(12)));
    const QList<QDate> behindLink = sorted(earlier.days());

    TempDatabase db;
    QVERIFY(QFile::link(earlier.folder(), QDir(db.dir()).filePath(QStringLiteral("backups"))));
    DailyBackup backup(db.path());
    QCOMPARE(backup.run(march(20)), DailyBackup::Outcome::Made);
    QCOMPARE(sorted(earlier.days()), sorted(behindLink + QList<QDate>{march(20)}));
}

// A copy before an upgrade that the program was killed while writing leaves a hidden temporary
// file beside data.mdb; the next start removes it once it is clearly abandoned, and nothing else.
void TestBackup::abandonedUpgradeCopiesAreCleanedAtStart()
{
    TempDatabase db;
    const QDir folder(db.dir());
    const auto make = [&](const QString &name, int ageSeconds) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("partial copy");
        file.close();
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
    };
    make(QStringLiteral(".data.mdb.bak-20261201-101010.Ab12Cd"), 2 * 3600);
    make(QStringLiteral(".data.mdb.bak-20261201-101010.Ab12Cd-journal"), 2 * 3600);
    make(QStringLiteral(".data.mdb.bak-20261210-090000.Zz99Yy"), 60);   // still being written
    make(QStringLiteral(".data.mdb.notes"), 2 * 3600);                 // not a name of ours
    make(QStringLiteral("data.mdb.bak-20261201-101010"), 2 * 3600);    // a finished copy

    QCOMPARE(DailyBackup(db.path()).run(march(3)), DailyBackup::Outcome::Made);
    QStringList left = folder.entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, QStringList({".data.mdb.bak-20261210-090000.Zz99Yy", ".data.mdb.notes", "data.mdb",
                                "data.mdb.bak-20261201-101010"}));
}

void TestBackup::namesOfDailyCopies_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QDate>("day");
    QTest::newRow("daily") << "data-2026-03-01.mdb" << march(1);
    QTest::newRow("no such day") << "data-2026-02-30.mdb" << QDate();
    QTest::newRow("before restore") << "data-before-restore-2026-03-01-101010.mdb" << QDate();
    QTest::newRow("temporary") << ".data-2026-03-01.mdb.AbCdEf" << QDate();
    QTest::newRow("journal") << "data-2026-03-01.mdb-journal" << QDate();
    QTest::newRow("user's own") << "data-2026-03-01 (1).mdb" << QDate();
}

void TestBackup::namesOfDailyCopies()
{
    QFETCH(QString, name);
    QFETCH(QDate, day);
    const auto found = DailyBackup::dayOf(name);
    QCOMPARE(found.has_value(), day.isValid());
    if (found) {
        QCOMPARE(*found, day);
        QCOMPARE(DailyBackup::fileNameFor(day), name);
    }
}

QTEST_GUILESS_MAIN(TestBackup)
#include "test_backup.moc"
