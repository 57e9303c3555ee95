// SPDX-License-Identifier: GPL-3.0-or-later
// Exercise without a window: the energy arithmetic, the activity table that ships and its
// search, the custom activity's input, the exercise tables in a real file (upgrade from every
// earlier layout, ranges, minutes changed, undo), and the log as CSV.

#include "datafile/DataLayout.h"
#include "db/Clock.h"
#include "db/CsvText.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "exercise/ActivitySearch.h"
#include "exercise/ActivityTable.h"
#include "exercise/CustomActivityInput.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/LogBounds.h"
#include "report/LogExport.h"
#include "support/TempDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

int backupCount(const TempDatabase &file)
{
    return int(QDir(file.dir()).entryList({QStringLiteral("data.mdb.bak-*")}, QDir::Files).size());
}

// A small table of our own for the search and input tests (figures of the fixture, not data).
const char FixtureTable[] =
    "category,name,met,code,aliases\n"
    "步行与跑步,快走,4.3,17231,健步走\n"
    "步行与跑步,散步,2.8,17150,\n"
    "步行与跑步,慢跑,7.0,12020,\n"
    "骑行,骑自行车,6.8,01010,骑车、单车\n"
    "舞蹈与传统,广场舞,5.0,03015,\n";

ExerciseEntry walk(const QDate &day, double minutes, double kcal)
{
    ExerciseEntry e;
    e.day = day;
    e.activity = QStringLiteral("快走");
    e.category = QStringLiteral("步行与跑步");
    e.minutes = minutes;
    e.met = 4.3;
    e.kcal = kcal;
    return e;
}

const QDateTime Noon(QDate(2026, 12, 10), QTime(12, 0));

} // namespace

class ExerciseLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void netEnergy_data();
    void netEnergy();
    void shippedTableKeepsItsRules();
    void tableLinesThatBreakTheRules_data();
    void tableLinesThatBreakTheRules();
    void searchFindsActivitiesLikeFoods_data();
    void searchFindsActivitiesLikeFoods();
    void customActivityInput_data();
    void customActivityInput();
    void customActivityPreview_data();
    void customActivityPreview();
    void editionNamedPerRow();
    void upgradeFromEveryEarlierLayout_data();
    void upgradeFromEveryEarlierLayout();
    void entriesKeepTheirRateAndComeBack();
    void outOfRangeRowsAreRefusedOrSkipped();
    void customActivitiesAreKeptAndEdited();
    void logAsCsv();
};

void ExerciseLogicTest::netEnergy_data()
{
    QTest::addColumn<double>("met");
    QTest::addColumn<double>("kg");
    QTest::addColumn<double>("minutes");
    QTest::addColumn<qint64>("shown");
    QTest::newRow("brisk walk, 60 kg, 30 min: 3.3 × 60 × 0.5") << 4.3 << 60.0 << 30.0 << qint64(99);
    QTest::newRow("an hour at 70 kg") << 8.0 << 70.0 << 60.0 << qint64(490);
    QTest::newRow("half a kcal rounds up: 2.5 × 61 × 1/60 = 2.54…") << 3.5 << 61.0 << 1.0 << qint64(3);
    QTest::newRow("rounds down below half") << 2.0 << 50.0 << 5.0 << qint64(4); // 4.17
    QTest::newRow("rest burns nothing above rest") << 1.0 << 80.0 << 120.0 << qint64(0);
    QTest::newRow("the most one entry can reach") << 23.0 << 400.0 << 600.0 << qint64(88000);
}

// kcal = (MET − 1) × kg × minutes / 60: the energy above rest, as the day's totals count it.
void ExerciseLogicTest::netEnergy()
{
    QFETCH(double, met);
    QFETCH(double, kg);
    QFETCH(double, minutes);
    QFETCH(qint64, shown);
    ExerciseEntry e;
    e.kcal = ExerciseEntry::netKcal(met, kg, minutes);
    QCOMPARE(e.shownKcal(), shown);
    QVERIFY(LogBounds::exerciseKcalInRange(e.kcal));
}

// Every row of resources/activities.csv: MET 1–23, five-digit codes given once, no name or other
// name twice, at least a hundred activities, and the everyday ones people look for.
void ExerciseLogicTest::shippedTableKeepsItsRules()
{
    const ActivityTable table = ActivityTable::builtIn();
    QVERIFY2(table.problems().isEmpty(), qPrintable(table.problems().join(QLatin1Char('\n'))));
    QVERIFY2(table.activities().size() >= 100, qPrintable(QString::number(table.activities().size())));
    const ActivitySearch search(table.activities());
    for (const char *name : {"快走", "散步", "慢跑", "跑步（8公里/小时）", "爬楼梯", "跳绳", "骑自行车", "动感单车",
                             "游泳", "羽毛球", "乒乓球", "篮球", "足球", "广场舞", "太极拳", "八段锦", "瑜伽",
                             "健身操", "俯卧撑", "深蹲", "登山", "拖地", "带孩子", "健步走", "骑车", "单车"})
        QVERIFY2(search.isKnownName(QString::fromUtf8(name)), name);
}

void ExerciseLogicTest::tableLinesThatBreakTheRules_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("problem");
    QTest::newRow("MET below rest") << QByteArray("骑行,躺着,0.9,07010,") << "MET \"0.9\"";
    QTest::newRow("MET above 23") << QByteArray("骑行,冲刺,23.5,01066,") << "MET \"23.5\"";
    QTest::newRow("MET not a number") << QByteArray("骑行,冲刺,快,01066,") << "MET \"快\"";
    QTest::newRow("code given twice") << QByteArray("骑行,冲刺,9,17231,") << "code \"17231\"";
    QTest::newRow("code of four digits") << QByteArray("骑行,冲刺,9,1723,") << "code \"1723\"";
    QTest::newRow("name is another's alias") << QByteArray("骑行,单车,9,01067,") << "\"单车\"";
    QTest::newRow("alias is another's name") << QByteArray("骑行,冲刺,9,01068,散步") << "\"散步\"";
    QTest::newRow("four fields") << QByteArray("骑行,冲刺,9,01068") << "4 fields";
}

void ExerciseLogicTest::tableLinesThatBreakTheRules()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, problem);
    const ActivityTable table = ActivityTable::parse(QByteArray(FixtureTable) + line + '\n');
    QCOMPARE(table.activities().size(), 5); // the good lines stay
    QCOMPARE(table.problems().size(), 1);
    QVERIFY2(table.problems().first().startsWith(QStringLiteral("line 7: "))
                 && table.problems().first().contains(problem),
             qPrintable(table.problems().first()));
}

void ExerciseLogicTest::searchFindsActivitiesLikeFoods_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("matchedAlias");
    QTest::newRow("pinyin") << "kuaizou" << "快走" << "";
    QTest::newRow("initials") << "gcw" << "广场舞" << "";
    QTest::newRow("characters") << "骑" << "骑自行车" << "";
    QTest::newRow("other name") << "danche" << "骑自行车" << "单车";
    QTest::newRow("other name in characters") << "健步" << "快走" << "健步走";
    QTest::newRow("one typo") << "kuaizuo" << "快走" << "";
}

void ExerciseLogicTest::searchFindsActivitiesLikeFoods()
{
    QFETCH(QString, query);
    QFETCH(QString, first);
    QFETCH(QString, matchedAlias);
    const ActivitySearch search(ActivityTable::parse(FixtureTable).activities());
    const QList<ActivityMatch> found = search.match(query);
    QVERIFY(!found.isEmpty());
    QCOMPARE(found.first().activity.name, first);
    QCOMPARE(found.first().matchedAlias, matchedAlias);
}

void ExerciseLogicTest::customActivityInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("figure");
    QTest::addColumn<bool>("perHour");
    QTest::addColumn<double>("kg"); // 0: no weight logged
    QTest::addColumn<double>("met");
    QTest::addColumn<QString>("problem");
    QTest::newRow("a MET") << "飞盘" << "3.0" << false << 0.0 << 3.0 << "";
    QTest::newRow("full-width digits") << "飞盘" << "３．５" << false << 0.0 << 3.5 << "";
    QTest::newRow("kcal per hour at 60 kg") << "飞盘" << "300" << true << 60.0 << 5.0 << "";
    QTest::newRow("kcal per hour rounds to a tenth") << "飞盘" << "250" << true << 60.0 << 4.2 << "";
    QTest::newRow("empty name") << "  " << "3" << false << 0.0 << 0.0 << "请输入运动名称";
    QTest::newRow("41 characters") << QString(41, QChar(0x8DD1)) << "3" << false << 0.0 << 0.0 << "最多 40 个字";
    QTest::newRow("a shipped name") << "快走" << "3" << false << 0.0 << 0.0 << "已经有名为“快走”";
    QTest::newRow("a shipped other name") << "单车" << "3" << false << 0.0 << 0.0 << "已经有名为“单车”";
    QTest::newRow("MET below rest") << "飞盘" << "0.5" << false << 0.0 << 0.0 << "运动强度至少 1 MET";
    QTest::newRow("MET above 23") << "飞盘" << "24" << false << 0.0 << 0.0 << "运动强度最多 23 MET";
    QTest::newRow("letters") << "飞盘" << "abc" << false << 0.0 << 0.0 << "请输入 1 到 23 之间的数";
    QTest::newRow("negative") << "飞盘" << "-3" << false << 0.0 << 0.0 << "请输入 1 到 23 之间的数";
    QTest::newRow("kcal per hour without a weight") << "飞盘" << "300" << true << 0.0 << 0.0 << "先记录体重";
    QTest::newRow("kcal per hour below rest") << "飞盘" << "50" << true << 60.0 << 0.0 << "应在 60–1380 大卡之间";
}

void ExerciseLogicTest::customActivityInput()
{
    QFETCH(QString, name);
    QFETCH(QString, figure);
    QFETCH(bool, perHour);
    QFETCH(double, kg);
    QFETCH(double, met);
    QFETCH(QString, problem);
    const ActivitySearch known(ActivityTable::parse(FixtureTable).activities());
    const CustomActivityInput::Reading reading = CustomActivityInput::read(
        name, figure, perHour, kg > 0 ? std::optional<double>(kg) : std::nullopt, known);
    QVERIFY2(problem.isEmpty() ? reading.problem.isEmpty() : reading.problem.contains(problem),
             qPrintable(reading.problem));
    if (problem.isEmpty())
        QCOMPARE(reading.met, met);
    // Editing an activity may keep its own name.
    QVERIFY(CustomActivityInput::read(QStringLiteral("快走"), QStringLiteral("3"), false, std::nullopt, known,
                                      QStringLiteral("快走"))
                .problem.isEmpty());
}

void ExerciseLogicTest::customActivityPreview_data()
{
    QTest::addColumn<QString>("figure");
    QTest::addColumn<bool>("perHour");
    QTest::addColumn<double>("kg"); // 0: no weight logged
    QTest::addColumn<QString>("preview"); // empty: nothing to show yet
    // 390 kcal an hour at 60 kg is 6.5 MET; 30 minutes log (6.5 − 1) × 60 / 2 = 165 kcal.
    QTest::newRow("kcal per hour") << "390" << true << 60.0
                                   << "相当于 6.5 MET；按体重 60 千克，运动 30 分钟记 165 大卡（已扣除这段时间的静息消耗 30 大卡）。"
                                      "这里要填含静息的总消耗；运动手表的“活动消耗”已经不含静息，填写前请每小时加上约 60 大卡。";
    QTest::newRow("a MET, with a weight") << "4" << false << 75.0
                                          << "相当于 4.0 MET；按体重 75 千克，运动 30 分钟记 113 大卡（已扣除这段时间的静息消耗 38 大卡）。";
    QTest::newRow("a MET, no weight") << "4" << false << 0.0 << "相当于 4.0 MET。";
    QTest::newRow("kcal per hour, no weight") << "390" << true << 0.0 << "";
    QTest::newRow("not a number yet") << "3." << false << 60.0 << "";
}

// Before saving, the dialog shows what a figure becomes and what half an hour would log.
void ExerciseLogicTest::customActivityPreview()
{
    QFETCH(QString, figure);
    QFETCH(bool, perHour);
    QFETCH(double, kg);
    QFETCH(QString, preview);
    QCOMPARE(CustomActivityInput::preview(figure, perHour, kg > 0 ? std::optional<double>(kg) : std::nullopt), preview);
}

// Each row names the Compendium's edition of its code and MET; a code may appear once in each.
void ExerciseLogicTest::editionNamedPerRow()
{
    const ActivityTable table = ActivityTable::parse("category,name,met,code,aliases,compendium\n"
                                                     "舞蹈与传统,交谊舞,7.8,03031,,2011\n"
                                                     "舞蹈与传统,迪斯科,9.8,03031,,2024\n"
                                                     "舞蹈与传统,广场舞,5.5,03028,,2020\n"
                                                     "舞蹈与传统,排舞,7.8,03031,,2011\n");
    QCOMPARE(table.activities().size(), 2);
    QCOMPARE(table.problems().size(), 2);
    QVERIFY2(table.problems().at(0).contains(QStringLiteral("\"2020\" is not 2011 or 2024")), qPrintable(table.problems().at(0)));
    QVERIFY2(table.problems().at(1).contains(QStringLiteral("code \"03031\"")), qPrintable(table.problems().at(1)));
}

void ExerciseLogicTest::upgradeFromEveryEarlierLayout_data()
{
    QTest::addColumn<int>("statements"); // of DataLayout::logStatements() an earlier release ran
    QTest::newRow("1.0: no log tables") << 0;
    QTest::newRow("1.1: tables, no ranges") << 4;
    QTest::newRow("1.2: tables and ranges") << 10;
}

// The first exercise written to a file of any earlier release: one checked copy beside it, then
// every missing table in one step, the food log's rows kept; reading before changes nothing.
void ExerciseLogicTest::upgradeFromEveryEarlierLayout()
{
    QFETCH(int, statements);
    TempDatabase file;
    for (const QString &sql : DataLayout::logStatements().mid(0, statements))
        file.exec(sql);
    if (statements > 0)
        file.exec(QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                 "VALUES ('2026-12-09', 0, '豆浆', '饮料', 250, 16, '2026-12-09 07:30:00')"));
    const QByteArray before = fileHash(file.path());

    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout(), Clock([] { return Noon; }));
    ExerciseStore store(schema);
    QVERIFY(store.dayEntries(QDate(2026, 12, 9)).entries.isEmpty());
    QVERIFY(store.burnedBetween(QDate(2026, 1, 1), QDate(2026, 12, 31)).isEmpty());
    QVERIFY(store.customActivities().isEmpty());
    QVERIFY(store.recentActivities(10).isEmpty());
    QCOMPARE(fileHash(file.path()), before);
    QCOMPARE(backupCount(file), 0);

    const ExerciseEntry added = store.addEntry(walk(QDate(2026, 12, 9), 30, 99));
    QVERIFY(schema.isUpToDate());
    QCOMPARE(backupCount(file), 1);
    {
        auto copy = openDatabase(file.filePath(QStringLiteral("data.mdb.bak-20261210-120000")));
        LogSchema copied(*copy, DataLayout::layout());
        QVERIFY(!copied.hasTable("exercise_log"));
        QCOMPARE(FoodLogStore(*copy, DataLayout::layout()).entriesOn(QDate(2026, 12, 9)).size(), statements > 0 ? 1 : 0);
    }
    QCOMPARE(store.dayEntries(QDate(2026, 12, 9)).entries.size(), 1);
    QCOMPARE(store.dayEntries(QDate(2026, 12, 9)).entries.first().id, added.id);
    QCOMPARE(FoodLogStore(*db, DataLayout::layout()).entriesOn(QDate(2026, 12, 9)).size(), statements > 0 ? 1 : 0);
    store.addCustomActivity(QStringLiteral("飞盘"), 3);
    QCOMPARE(backupCount(file), 1); // one upgrade, one copy
}

// An entry keeps the energy per minute it was logged with: new minutes scale it, a later weight
// does not; removed and put back, it is the same row.
void ExerciseLogicTest::entriesKeepTheirRateAndComeBack()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout(), Clock([] { return Noon; }));
    ExerciseStore store(schema);
    FoodLogStore foods(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    const ExerciseEntry first = store.addEntry(walk(day, 30, 99));
    store.addEntry(walk(day.addDays(-1), 60, 198));
    foods.setWeight(day, 90); // heavier since: the past entries stay
    store.setMinutes(first.id, 45);
    ExerciseEntry changed = store.dayEntries(day).entries.first();
    QCOMPARE(changed.minutes, 45.0);
    QCOMPARE(changed.kcal, 148.5);
    QCOMPARE(changed.met, 4.3);
    QCOMPARE(changed.created, Noon);

    const QList<DayBurned> burned = store.burnedBetween(day.addDays(-6), day);
    QCOMPARE(burned.size(), 2);
    QCOMPARE(burned.at(0).kcal, 198.0);
    QCOMPARE(burned.at(1).kcal, 149.0); // the day's figure as its list shows it, 148.5 rounded once

    store.removeEntry(changed.id);
    QVERIFY(store.dayEntries(day).entries.isEmpty());
    store.restoreEntry(changed);
    const ExerciseEntry back = store.dayEntries(day).entries.first();
    QCOMPARE(back.id, changed.id);
    QCOMPARE(back.kcal, changed.kcal);
    QCOMPARE(store.recentActivities(5), QStringList{QStringLiteral("快走")});
}

// The file refuses an entry outside the ranges; a row another program wrote there is neither
// listed nor summed, but counted.
void ExerciseLogicTest::outOfRangeRowsAreRefusedOrSkipped()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout());
    ExerciseStore store(schema);
    const QDate day(2026, 12, 10);
    store.addEntry(walk(day, 600, 100));
    for (const ExerciseEntry &bad : {walk(day, 0, 10), walk(day, 601, 10), walk(day, 30, -1), walk(day, 30, 88001)})
        QVERIFY_THROWS_EXCEPTION(DataError, store.addEntry(bad));
    ExerciseEntry restful = walk(day, 30, 0);
    restful.met = 0.5;
    QVERIFY_THROWS_EXCEPTION(DataError, store.addEntry(restful));
    QVERIFY_THROWS_EXCEPTION(DataError, store.addCustomActivity(QStringLiteral("飞盘"), 24));

    // As another program could: without the triggers.
    file.exec(QStringLiteral("DROP TRIGGER exercise_log_in_range_insert"));
    file.exec(QStringLiteral("INSERT INTO exercise_log (day, activity, category, minutes, met, kcal, created) "
                             "VALUES ('2026-12-10', '快走', '', 30, 4.3, 1e300, ''), "
                             "('2026-12-10', '快走', '', '三十', 4.3, 99, '')"));
    const ExerciseStore::DayEntries read = store.dayEntries(day);
    QCOMPARE(read.entries.size(), 1);
    QCOMPARE(read.outOfRange, 2);
    QCOMPARE(store.burnedBetween(day, day).first().kcal, 100.0);
    QCOMPARE(store.allEntries().size(), 1);
}

void ExerciseLogicTest::customActivitiesAreKeptAndEdited()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout());
    ExerciseStore store(schema);
    const qint64 id = store.addCustomActivity(QStringLiteral("  飞盘 "), 3);
    store.addCustomActivity(QStringLiteral("跳舞机"), 6.5);
    QVERIFY_THROWS_EXCEPTION(DataError, store.addCustomActivity(QStringLiteral("飞盘"), 4));
    store.updateCustomActivity(id, QStringLiteral("极限飞盘"), 8);
    QVector<Activity> mine = store.customActivities();
    QCOMPARE(mine.size(), 2);
    const auto named = [&](const QString &name) {
        return std::find_if(mine.cbegin(), mine.cend(), [&](const Activity &a) { return a.name == name; });
    };
    QVERIFY(named(QStringLiteral("极限飞盘")) != mine.cend());
    QCOMPARE(named(QStringLiteral("极限飞盘"))->met, 8.0);
    QVERIFY(named(QStringLiteral("极限飞盘"))->isCustom());
    QCOMPARE(named(QStringLiteral("极限飞盘"))->category, ActivityTable::customCategory());

    // Searchable at once beside the shipped ones; removing one leaves its past entries.
    ExerciseEntry played = walk(QDate(2026, 12, 10), 20, 50);
    played.activity = QStringLiteral("极限飞盘");
    store.addEntry(played);
    const ActivitySearch search(ActivityTable::parse(FixtureTable).activities() + mine);
    QCOMPARE(search.match(QStringLiteral("jxfp")).first().activity.name, QStringLiteral("极限飞盘"));
    store.removeCustomActivity(id);
    QCOMPARE(store.customActivities().size(), 1);
    QCOMPARE(store.dayEntries(QDate(2026, 12, 10)).entries.first().activity, QStringLiteral("极限飞盘"));
}

// One row per entry, by day, a day's foods before its exercise; read back as written, with a
// name a spreadsheet would run as a formula guarded.
void ExerciseLogicTest::logAsCsv()
{
    FoodLogEntry rice;
    rice.day = QDate(2026, 12, 9);
    rice.meal = 1;
    rice.food = QStringLiteral("米饭");
    rice.grams = 150;
    rice.kcalPer100g = 116;
    FoodLogEntry formula = rice;
    formula.day = QDate(2026, 12, 11);
    formula.food = QStringLiteral("=HYPERLINK(\"x\")");
    formula.grams = 12.5;
    ExerciseEntry walked = walk(QDate(2026, 12, 9), 30, 99.4);
    ExerciseEntry earlier = walk(QDate(2026, 12, 8), 15, 49.5);
    ExerciseEntry later = walk(QDate(2026, 12, 12), 45, 148.5);

    const QByteArray csv = LogExport::toCsv({rice, formula}, {earlier, walked, later});
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = CsvText::records(csv);
    const QList<QStringList> expected = {
        {"日期", "类型", "餐次", "名称", "数量", "单位", "热量（大卡）"},
        {"2026-12-08", "运动", "", "快走", "15", "分钟", "50"},
        {"2026-12-09", "饮食", "午餐", "米饭", "150", "克", "174"},
        {"2026-12-09", "运动", "", "快走", "30", "分钟", "99"},
        {"2026-12-11", "饮食", "午餐", "=HYPERLINK(\"x\")", "12.5", "克", "15"},
        {"2026-12-12", "运动", "", "快走", "45", "分钟", "149"},
    };
    QCOMPARE(rows, expected);
    QVERIFY(csv.contains("\"'=HYPERLINK"));
}

QTEST_GUILESS_MAIN(ExerciseLogicTest)
#include "test_exercise_logic.moc"
