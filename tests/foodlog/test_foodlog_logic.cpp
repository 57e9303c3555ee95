// SPDX-License-Identifier: GPL-3.0-or-later
// The food log without a window: the budget arithmetic, BMI bands, meals and
// days, the chart's series, and the log's tables in a real database file.

#include "datafile/DataLayout.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Schema.h"
#include "foodlog/BodyMassIndex.h"
#include "foodlog/EnergyBudget.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/IntakeSeries.h"
#include "foodlog/LogBounds.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/WeightTarget.h"
#include "foods/FoodChoices.h"
#include "foods/FoodText.h"
#include "support/TempDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtTest>

#include <limits>
#include <sqlite3.h>

namespace {

using Sex = Profile::Sex;

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Every value of the program's own tables, exactly as stored: quote() writes a
// value's type and bytes (text, integer, real, blob, NULL) as an SQL literal.
QStringList dumpOwnTables(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    auto rows = [db](const QString &sql) {
        QStringList out;
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return out;
    };
    QStringList dump;
    for (const QString &table : Schema::tableNames()) {
        QStringList quoted;
        for (const QString &column : rows(QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)))
            quoted << QStringLiteral("quote(\"%1\")").arg(column);
        for (const QString &row : rows(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY id")
                                           .arg(quoted.join(QStringLiteral("||','||")), table)))
            dump << table + QLatin1Char(':') + row;
    }
    sqlite3_close(db);
    return dump;
}

QStringList backupsBeside(const TempDatabase &db)
{
    return QDir(db.dir()).entryList({QStringLiteral("data.mdb.bak-*")}, QDir::Files);
}

// A file as an older version left it: foods and notebook records with awkward values.
void fillOldFile(TempDatabase &db)
{
    db.insertRows(QStringLiteral("02"), {QStringLiteral("category")}, {{QStringLiteral("谷薯")}});
    db.insertRows(QStringLiteral("01"),
                  {QStringLiteral("category"), QStringLiteral("food"), QStringLiteral("portion"), QStringLiteral("kcal")},
                  {{QStringLiteral("谷薯"), QStringLiteral("米饭"), QStringLiteral("100克"), 116},
                   {QStringLiteral("谷薯"), QStringLiteral("馒头"), QVariant(), 223.5}});
    db.insert(QStringLiteral("sp"), {{QStringLiteral("Name"), QStringLiteral("清炒西兰花")}, {QStringLiteral("demo"), QVariant()}});
    db.insert(QStringLiteral("rj"), {{QStringLiteral("time"), QStringLiteral("2026-01-01 08:00")},
                                     {QStringLiteral("Name"), QString()},
                                     {QStringLiteral("demo"), QByteArray("\x00\xff", 2)}});
}

FoodLogEntry entry(const QDate &day, int meal, const QString &food, double grams, double per100)
{
    FoodLogEntry e;
    e.day = day;
    e.meal = meal;
    e.food = food;
    e.category = QStringLiteral("谷薯");
    e.grams = grams;
    e.kcalPer100g = per100;
    return e;
}

} // namespace

class FoodLogLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void budget_data();
    void budget();
    void budgetExplains();
    void bmiBands_data();
    void bmiBands();
    void weightTarget_data();
    void weightTarget();
    void bmiOutOfRangeShowsNoFigure_data();
    void bmiOutOfRangeShowsNoFigure();
    void defaultMeal_data();
    void defaultMeal();
    void dayTitles_data();
    void dayTitles();
    void seriesGapsAndAverage();
    void loggableFoods_data();
    void loggableFoods();

    void readingNeverChangesAnOldFile();
    void firstWriteUpgradesAfterBackup();
    void storeTakesTimeFromItsClock();
    void fileWithSomeLogTablesGetsTheRest();
    void upgradeFromEveryEarlierLayout_data();
    void upgradeFromEveryEarlierLayout();
    void valuesAtTheEdgesOfTheRanges_data();
    void valuesAtTheEdgesOfTheRanges();
    void refusedUpgradeLeavesFileAlone_data();
    void refusedUpgradeLeavesFileAlone();
    void hugeNamesAreBounded();
    void recentFoodsMostRecentThenMostOften();
    void failedWritesNameTheirCause_data();
    void failedWritesNameTheirCause();
    void entriesKeepTheirDay();
    void deleteAndRestore();
    void weightReplacedAndProfileKept();
};

void FoodLogLogicTest::budget_data()
{
    QTest::addColumn<int>("sex");
    QTest::addColumn<double>("kg");
    QTest::addColumn<double>("cm");
    QTest::addColumn<int>("age");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("kcal");
    QTest::addColumn<bool>("floored");

    const int F = int(Sex::Female), M = int(Sex::Male);
    // Woman, 70 kg, 165 cm, 30: resting 1420.25.
    QTest::newRow("woman sedentary, exactly at the floor") << F << 70.0 << 165.0 << 30 << 0 << 1200 << false;
    QTest::newRow("woman light") << F << 70.0 << 165.0 << 30 << 1 << 1450 << false;
    QTest::newRow("woman moderate") << F << 70.0 << 165.0 << 30 << 2 << 1700 << false;
    QTest::newRow("woman high") << F << 70.0 << 165.0 << 30 << 3 << 1950 << false;
    QTest::newRow("woman very high") << F << 70.0 << 165.0 << 30 << 4 << 2200 << false;
    // Man, 80 kg, 180 cm, 40: resting 1730.
    QTest::newRow("man sedentary") << M << 80.0 << 180.0 << 40 << 0 << 1580 << false;
    QTest::newRow("man light") << M << 80.0 << 180.0 << 40 << 1 << 1880 << false;
    QTest::newRow("man moderate") << M << 80.0 << 180.0 << 40 << 2 << 2180 << false;
    QTest::newRow("man high") << M << 80.0 << 180.0 << 40 << 3 << 2480 << false;
    QTest::newRow("man very high") << M << 80.0 << 180.0 << 40 << 4 << 2790 << false;
    // Floors: far below, and just below after rounding.
    QTest::newRow("small older woman: floor 1200") << F << 45.0 << 150.0 << 60 << 0 << 1200 << true;
    QTest::newRow("small older man: floor 1500") << M << 50.0 << 160.0 << 70 << 0 << 1500 << true;
    QTest::newRow("man at 1492: floor 1500") << M << 70.0 << 176.0 << 29 << 0 << 1500 << true;
    // Age moves the budget by 5 kcal a year before the factor.
    QTest::newRow("man 20 years younger") << M << 80.0 << 180.0 << 20 << 0 << 1700 << false;
    // 1615 exactly (resting 1762.5 × 1.2 − 500): half a step rounds up.
    QTest::newRow("half step rounds up") << M << 80.0 << 174.0 << 26 << 0 << 1620 << false;
    QTest::newRow("woman 1417.3 rounds down") << F << 84.0 << 175.0 << 35 << 0 << 1420 << false;
    // BMI 偏瘦 (45 kg at 165 cm is 16.5): no deficit, 1170.25 × 1.2 keeps the weight.
    QTest::newRow("underweight woman keeps her weight") << F << 45.0 << 165.0 << 30 << 0 << 1400 << false;
    // 18.5 is 正常 again: the deficit applies (53.4 kg at 170 cm: 1285.5 × 1.375 − 500).
    QTest::newRow("BMI 18.5 loses weight") << F << 53.4 << 170.0 << 30 << 1 << 1270 << false;
}

void FoodLogLogicTest::budget()
{
    QFETCH(int, sex);
    QFETCH(double, kg);
    QFETCH(double, cm);
    QFETCH(int, age);
    QFETCH(int, level);
    QFETCH(int, kcal);
    QFETCH(bool, floored);
    Profile p;
    p.sex = Sex(sex);
    p.heightCm = cm;
    p.activityLevel = level;
    const EnergyBudget::Result r = EnergyBudget::compute(p, kg, age);
    QCOMPARE(r.kcal, kcal);
    QCOMPARE(r.floored, floored);
    QCOMPARE(r.kcal % 10, 0);
}

void FoodLogLogicTest::budgetExplains()
{
    Profile woman;
    woman.sex = Sex::Female;
    woman.heightCm = 150;
    const EnergyBudget::Result low = EnergyBudget::compute(woman, 45, 60);
    QVERIFY2(low.explanation.contains(QStringLiteral("女性的下限")), qPrintable(low.explanation));
    QVERIFY(low.explanation.contains(QStringLiteral("1200 大卡")));
    QVERIFY(low.explanation.contains(QStringLiteral("− 161")));

    Profile man;
    man.sex = Sex::Male;
    man.heightCm = 180;
    man.activityLevel = 2;
    const EnergyBudget::Result r = EnergyBudget::compute(man, 80, 40);
    QVERIFY2(r.explanation.contains(QStringLiteral("1.55")), qPrintable(r.explanation));
    QVERIFY(r.explanation.contains(QStringLiteral("1730")));
    QVERIFY(r.explanation.contains(QStringLiteral("2180 大卡")));
    QCOMPARE(EnergyBudget::ageIn(1990, 2026), 36);

    Profile thin;
    thin.heightCm = 165;
    const EnergyBudget::Result keep = EnergyBudget::compute(thin, 45, 30);
    QVERIFY(keep.maintenance);
    QVERIFY2(keep.explanation.contains(QStringLiteral("偏瘦")), qPrintable(keep.explanation));
    QVERIFY2(!keep.explanation.contains(QStringLiteral("− 500")), qPrintable(keep.explanation));
    QVERIFY(!r.maintenance);

    // The units are the ones the rest of the window uses.
    for (const QString &text : {low.explanation, r.explanation, keep.explanation}) {
        QVERIFY2(text.contains(QStringLiteral(" 千克")) && text.contains(QStringLiteral(" 厘米")), qPrintable(text));
        QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("kg|cm|kcal"), QRegularExpression::CaseInsensitiveOption)),
                 qPrintable(text));
    }
}

void FoodLogLogicTest::bmiBands_data()
{
    QTest::addColumn<double>("index");
    QTest::addColumn<QString>("band");
    QTest::newRow("18.44") << 18.44 << QStringLiteral("偏瘦");
    QTest::newRow("18.45 shows 18.5") << 18.45 << QStringLiteral("正常");
    QTest::newRow("18.5") << 18.5 << QStringLiteral("正常");
    QTest::newRow("23.9") << 23.9 << QStringLiteral("正常");
    QTest::newRow("23.94") << 23.94 << QStringLiteral("正常");
    QTest::newRow("23.95 shows 24.0") << 23.95 << QStringLiteral("超重");
    QTest::newRow("24") << 24.0 << QStringLiteral("超重");
    QTest::newRow("27.9") << 27.9 << QStringLiteral("超重");
    QTest::newRow("27.95 shows 28.0") << 27.95 << QStringLiteral("肥胖");
    QTest::newRow("28") << 28.0 << QStringLiteral("肥胖");
    QTest::newRow("40") << 40.0 << QStringLiteral("肥胖");
    QTest::newRow("15") << 15.0 << QStringLiteral("偏瘦");
}

void FoodLogLogicTest::weightTarget_data()
{
    QTest::addColumn<double>("kg");
    QTest::addColumn<double>("targetKg");
    QTest::addColumn<QString>("said");
    QTest::newRow("no target") << 70.0 << 0.0 << "";
    QTest::newRow("above the target") << 70.0 << 65.0 << "目标体重 65.0 千克，还差 5.0 千克";
    QTest::newRow("a little above") << 65.06 << 65.0 << "目标体重 65.0 千克，还差 0.1 千克";
    QTest::newRow("reached, as shown") << 65.04 << 65.0 << "目标体重 65.0 千克，已经达到";
    QTest::newRow("target above the weight") << 60.0 << 65.0 << "目标体重 65.0 千克，已低于目标 5.0 千克";
}

void FoodLogLogicTest::weightTarget()
{
    QFETCH(double, kg);
    QFETCH(double, targetKg);
    QFETCH(QString, said);
    QCOMPARE(WeightTarget::describe(kg, targetKg), said);
}

void FoodLogLogicTest::bmiOutOfRangeShowsNoFigure_data()
{
    QTest::addColumn<double>("kg");
    QTest::addColumn<double>("heightCm");
    QTest::addColumn<bool>("figure");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("height 0, written by another program") << 70.0 << 0.0 << false;
    QTest::newRow("negative height") << 70.0 << -170.0 << false;
    QTest::newRow("height 49.9") << 70.0 << 49.9 << false;
    QTest::newRow("height 50") << 20.0 << 50.0 << true;
    QTest::newRow("height 250") << 400.0 << 250.0 << true;
    QTest::newRow("height 250.1") << 70.0 << 250.1 << false;
    QTest::newRow("height NaN") << 70.0 << nan << false;
    QTest::newRow("height infinite") << 70.0 << inf << false;
    QTest::newRow("weight 0") << 0.0 << 170.0 << false;
    QTest::newRow("weight 1e308") << 1e308 << 170.0 << false;
    QTest::newRow("weight NaN") << nan << 170.0 << false;
}

void FoodLogLogicTest::bmiOutOfRangeShowsNoFigure()
{
    QFETCH(double, kg);
    QFETCH(double, heightCm);
    QFETCH(bool, figure);
    const QString shown = BodyMassIndex::describe(kg, heightCm);
    QCOMPARE(BodyMassIndex::inRange(kg, heightCm), figure);
    if (figure)
        QVERIFY2(shown.front().isDigit(), qPrintable(shown));
    else
        QCOMPARE(shown, QStringLiteral("—（身高或体重超出范围）"));
}

void FoodLogLogicTest::bmiBands()
{
    QFETCH(double, index);
    QFETCH(QString, band);
    QCOMPARE(BodyMassIndex::bandName(BodyMassIndex::bandOfTenths(BodyMassIndex::tenthsOf(index))), band);
    // From weight and height: 170 cm; 69.2 kg is 23.94, 69.3 kg is 23.98.
    QCOMPARE(BodyMassIndex::describe(69.2, 170), QStringLiteral("23.9（正常）"));
    QCOMPARE(BodyMassIndex::describe(69.3, 170), QStringLiteral("24.0（超重）"));
    QCOMPARE(BodyMassIndex::describe(53.4, 170), QStringLiteral("18.5（正常）"));
    QCOMPARE(BodyMassIndex::describe(53.3, 170), QStringLiteral("18.4（偏瘦）"));
}

void FoodLogLogicTest::defaultMeal_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("meal");
    QTest::newRow("00:00") << QTime(0, 0) << QStringLiteral("加餐");
    QTest::newRow("03:59") << QTime(3, 59) << QStringLiteral("加餐");
    QTest::newRow("04:00") << QTime(4, 0) << QStringLiteral("早餐");
    QTest::newRow("09:59") << QTime(9, 59) << QStringLiteral("早餐");
    QTest::newRow("10:00") << QTime(10, 0) << QStringLiteral("午餐");
    QTest::newRow("13:59") << QTime(13, 59) << QStringLiteral("午餐");
    QTest::newRow("14:00") << QTime(14, 0) << QStringLiteral("加餐");
    QTest::newRow("16:59") << QTime(16, 59) << QStringLiteral("加餐");
    QTest::newRow("17:00") << QTime(17, 0) << QStringLiteral("晚餐");
    QTest::newRow("20:59") << QTime(20, 59) << QStringLiteral("晚餐");
    QTest::newRow("21:00") << QTime(21, 0) << QStringLiteral("加餐");
    QTest::newRow("23:59") << QTime(23, 59) << QStringLiteral("加餐");
}

void FoodLogLogicTest::defaultMeal()
{
    QFETCH(QTime, time);
    QFETCH(QString, meal);
    QCOMPARE(LogCalendar::mealName(LogCalendar::defaultMeal(time)), meal);
}

void FoodLogLogicTest::dayTitles_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("title");
    QTest::newRow("today") << QDate(2026, 12, 10) << QDate(2026, 12, 10) << QStringLiteral("12月10日 周四");
    QTest::newRow("new year's day") << QDate(2027, 1, 1) << QDate(2027, 1, 1) << QStringLiteral("1月1日 周五");
    QTest::newRow("last year's last day") << QDate(2026, 12, 31) << QDate(2027, 1, 1)
                                          << QStringLiteral("2026年12月31日 周四");
    QTest::newRow("sunday") << QDate(2026, 12, 13) << QDate(2026, 12, 10) << QStringLiteral("12月13日 周日");
}

void FoodLogLogicTest::dayTitles()
{
    QFETCH(QDate, day);
    QFETCH(QDate, today);
    QFETCH(QString, title);
    QCOMPARE(LogCalendar::dayTitle(day, today), title);
}

void FoodLogLogicTest::seriesGapsAndAverage()
{
    const QDate last(2026, 3, 1); // across the end of February
    const QList<DayIntake> intake{{QDate(2026, 2, 28), 1500}, {last, 0.0}};
    const QList<DayWeight> weights{{QDate(2026, 1, 27), 90}, // before the chart, in the first day's week
                                   {QDate(2026, 2, 22), 70}, {QDate(2026, 2, 24), 72}};
    const QList<SeriesDay> s = IntakeSeries::build(last, 30, intake, weights);
    QCOMPARE(s.size(), 30);
    QCOMPARE(s.first().day, QDate(2026, 1, 31));
    QCOMPARE(s.last().day, last);
    QCOMPARE(s.at(0).kgWeekAverage.value_or(-1), 90.0); // 27 Jan lies within 25–31 Jan
    QVERIFY(!s.at(0).kg);
    QVERIFY(!s.at(4).kgWeekAverage); // 4 Feb: nothing within 29 Jan – 4 Feb
    QVERIFY(!s.at(1).kcal);          // a day without entries is a gap
    QCOMPARE(s.at(28).kcal.value_or(-1), 1500.0);
    QVERIFY(s.at(29).kcal.has_value()); // a logged day of 0 kcal is a value, not a gap
    QCOMPARE(s.at(29).kcal.value(), 0.0);
    const SeriesDay &feb24 = s.at(24);
    QCOMPARE(feb24.day, QDate(2026, 2, 24));
    QCOMPARE(feb24.kg.value_or(-1), 72.0);
    QCOMPARE(feb24.kgWeekAverage.value_or(-1), 71.0);
    QCOMPARE(s.at(29).kgWeekAverage.value_or(-1), 72.0); // 23 Feb – 1 Mar: only the 24th
    QVERIFY(!s.at(29).kg);
}

void FoodLogLogicTest::loggableFoods_data()
{
    QTest::addColumn<QString>("portion");
    QTest::addColumn<QString>("kcal");
    QTest::addColumn<double>("per100");   // -1: cannot be logged by weight
    QTest::newRow("100克") << QStringLiteral("100克") << QStringLiteral("116") << 116.0;
    QTest::newRow("每100克") << QStringLiteral("每100克") << QStringLiteral("49.3") << 49.3;
    QTest::newRow("50 g") << QStringLiteral("50 g") << QStringLiteral("100") << 200.0;
    QTest::newRow("per piece") << QStringLiteral("1个") << QStringLiteral("60") << -1.0;
    QTest::newRow("millilitres") << QStringLiteral("100毫升") << QStringLiteral("54") << -1.0;
    QTest::newRow("no portion") << QString() << QStringLiteral("54") << -1.0;
    QTest::newRow("no figure") << QStringLiteral("100克") << QString() << -1.0;
    QTest::newRow("not a number") << QStringLiteral("100克") << QStringLiteral("约50") << -1.0;
    QTest::newRow("zero grams") << QStringLiteral("0克") << QStringLiteral("50") << -1.0;
}

void FoodLogLogicTest::loggableFoods()
{
    QFETCH(QString, portion);
    QFETCH(QString, kcal);
    QFETCH(double, per100);
    SearchableFood food;
    food.category = QStringLiteral("谷薯主食");
    food.name = QStringLiteral("米饭");
    food.kcal = kcal;
    food.portion = portion;
    const std::optional<FoodChoice> choice = FoodChoices::loggable(food);
    QCOMPARE(choice.has_value(), per100 >= 0);
    if (choice) {
        QCOMPARE(choice->kcalPer100g, per100);
        QCOMPARE(choice->category, QStringLiteral("谷薯主食"));
    }
}

void FoodLogLogicTest::readingNeverChangesAnOldFile()
{
    TempDatabase file;
    fillOldFile(file);
    const QByteArray before = fileHash(file.path());
    {
        auto db = openDatabase(file.path());
        FoodLogStore store(*db, DataLayout::layout());
        QVERIFY(!store.hasTables());
        QVERIFY(store.entriesOn(QDate(2026, 1, 1)).isEmpty());
        QVERIFY(!store.weightOn(QDate(2026, 1, 1)));
        QVERIFY(!store.profile());
        QVERIFY(store.intakeBetween(QDate(2025, 1, 1), QDate(2026, 1, 1)).isEmpty());
    }
    QCOMPARE(fileHash(file.path()), before);
    QVERIFY(backupsBeside(file).isEmpty());
}

// A file that has the log's food_log (restored from elsewhere) but not the other tables: the
// first write adds the missing ones and keeps the entry there, instead of failing on the one
// that exists.
void FoodLogLogicTest::fileWithSomeLogTablesGetsTheRest()
{
    TempDatabase file;
    fillOldFile(file);
    file.exec(LogSchema::createStatements().first());
    file.exec(QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                             "VALUES ('2026-12-09', 0, '豆浆', '饮料', 250, 16, '2026-12-09 07:30:00')"));
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    QVERIFY(!store.hasTables());
    store.setWeight(QDate(2026, 12, 10), 70.5);
    QVERIFY(store.hasTables());
    QCOMPARE(store.entriesOn(QDate(2026, 12, 9)).size(), 1);
    QCOMPARE(store.weightOn(QDate(2026, 12, 10)), std::optional<double>(70.5));
}

// The log's objects as the 1.1 release made them: the tables and index, no range triggers.
const int TablesOfRelease11 = 4;
// 1.2 added the range triggers.
const int TablesOfRelease12 = 10;

void FoodLogLogicTest::upgradeFromEveryEarlierLayout_data()
{
    QTest::addColumn<QStringList>("made");        // statements an earlier release ran
    QTest::addColumn<QStringList>("rows");        // and rows it wrote
    QTest::addColumn<int>("entriesKept");         // of 2026-12-09, in range
    QTest::addColumn<int>("entriesSkipped");      // of 2026-12-09, out of range
    QTest::addColumn<bool>("heightInRange");

    const QStringList release11 = LogSchema::createStatements().mid(0, TablesOfRelease11);
    const QString soyMilk = QStringLiteral(
        "INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
        "VALUES ('2026-12-09', 0, '豆浆', '饮料', 250, 16, '2026-12-09 07:30:00')");
    QTest::newRow("1.0: notes and foods only") << QStringList() << QStringList() << 0 << 0 << true;
    QTest::newRow("1.1: only food_log, restored from elsewhere")
        << release11.mid(0, 1) << QStringList{soyMilk} << 1 << 0 << true;
    // What 1.1 let through: an infinite portion, a portion stored as text, a height of 0.
    QTest::newRow("1.1: all tables, values out of range")
        << release11
        << QStringList{soyMilk,
                       QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                      "VALUES ('2026-12-09', 1, '米饭', '谷薯', 1e308, 116, '2026-12-09 12:00:00')"),
                       QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                                      "VALUES ('2026-12-09', 2, '面条', '谷薯', '１００', 110, '2026-12-09 18:00:00')"),
                       QStringLiteral("INSERT INTO weight_log (day, kg) VALUES ('2026-12-01', 70)"),
                       QStringLiteral("INSERT INTO profile (id, sex, birth_year, height_cm, activity) "
                                      "VALUES (1, 'F', 1990, 0, 1)")}
        << 1 << 2 << false;
    // A meal that is none of the four is not 早餐: the row is skipped and counted like the others.
    const auto withMeal = [](const char *meal) {
        return QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                              "VALUES ('2026-12-09', %1, '米饭', '谷薯', 100, 116, '2026-12-09 12:00:00')")
            .arg(QLatin1String(meal));
    };
    QTest::newRow("another program's food_log: meals that are no meal")
        << QStringList{QStringLiteral("CREATE TABLE food_log (id INTEGER PRIMARY KEY AUTOINCREMENT, day TEXT, meal INTEGER, "
                                      "food TEXT, category TEXT, grams REAL, kcal_per_100g REAL, created TEXT)")}
        << QStringList{soyMilk, withMeal("NULL"), withMeal("1.5"), withMeal("'午餐'"), withMeal("4")}
        << 1 << 4 << true;
    QTest::newRow("1.2: tables and ranges, no exercise")
        << LogSchema::createStatements().mid(0, TablesOfRelease12) << QStringList{soyMilk} << 1 << 0 << true;
}

// Whatever an earlier release left, the first write makes one checked copy, then brings the
// file to the current layout in one transaction, keeping every row; rows outside the ranges
// stay in the file, are skipped by the readers and counted, and no new one can be written.
void FoodLogLogicTest::upgradeFromEveryEarlierLayout()
{
    QFETCH(QStringList, made);
    QFETCH(QStringList, rows);
    QFETCH(int, entriesKept);
    QFETCH(int, entriesSkipped);
    QFETCH(bool, heightInRange);

    TempDatabase file;
    fillOldFile(file);
    for (const QString &sql : made + rows)
        file.exec(sql);
    const QByteArray before = fileHash(file.path());
    const QStringList ownBefore = dumpOwnTables(file.path());
    const QString countRows = QStringLiteral("SELECT count(*) FROM food_log");
    const int rowsBefore = rows.isEmpty() ? 0 : file.query(countRows).toInt();

    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    QVERIFY(!store.isUpToDate());
    const QDate day(2026, 12, 9);
    const FoodLogStore::DayEntries read = store.dayEntries(day);
    QCOMPARE(read.entries.size(), entriesKept);
    QCOMPARE(read.outOfRange, entriesSkipped);
    QCOMPARE(fileHash(file.path()), before); // reading changed nothing

    store.setWeight(QDate(2026, 12, 10), 68.5);
    QVERIFY(store.isUpToDate());
    const QStringList backups = backupsBeside(file);
    QCOMPARE(backups.size(), 1);
    {
        const QString copy = file.filePath(backups.first());
        QCOMPARE(dumpOwnTables(copy), ownBefore);
        auto copied = openDatabase(copy);
        FoodLogStore copyStore(*copied, DataLayout::layout());
        QVERIFY(!copyStore.isUpToDate());
        QCOMPARE(copyStore.dayEntries(day).entries.size(), entriesKept);
    }
    QCOMPARE(dumpOwnTables(file.path()), ownBefore);
    QCOMPARE(file.query(countRows).toInt(), rowsBefore);
    QCOMPARE(store.dayEntries(day).outOfRange, entriesSkipped);
    // The day's sum for the chart counts the same rows the list shows.
    const QList<DayIntake> intake = store.intakeBetween(day, day);
    QCOMPARE(intake.isEmpty() ? 0.0 : intake.first().kcal, entriesKept ? 40.0 : 0.0);
    QCOMPARE(store.profile().has_value() && !LogBounds::heightInRange(store.profile()->heightCm),
             !heightInRange);

    QVERIFY_THROWS_EXCEPTION(DataError, store.addEntry(entry(day, 0, QStringLiteral("米饭"), 1e308, 116)));
    QCOMPARE(store.dayEntries(day).entries.size(), entriesKept);
    QCOMPARE(store.ensureTables(), QString()); // nothing more to do, no second copy
    QCOMPARE(backupsBeside(file).size(), 1);
    QCOMPARE(file.query(QStringLiteral("SELECT integrity_check FROM pragma_integrity_check")).toString(),
             QStringLiteral("ok"));
}

void FoodLogLogicTest::valuesAtTheEdgesOfTheRanges_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("accepted");
    const double infinity = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("grams 0") << "grams" << 0.0 << false;
    QTest::newRow("grams 0.1") << "grams" << 0.1 << true;
    QTest::newRow("grams 5000") << "grams" << 5000.0 << true;
    QTest::newRow("grams 5000.1") << "grams" << 5000.1 << false;
    QTest::newRow("grams 1e308") << "grams" << 1e308 << false;
    QTest::newRow("grams infinite") << "grams" << infinity << false;
    QTest::newRow("grams NaN") << "grams" << nan << false;
    QTest::newRow("kcal -1") << "kcal" << -1.0 << false;
    QTest::newRow("kcal 0") << "kcal" << 0.0 << true;
    QTest::newRow("kcal 900") << "kcal" << 900.0 << true;
    QTest::newRow("kcal 900.5") << "kcal" << 900.5 << false;
    QTest::newRow("meal 4") << "meal" << 4.0 << false;
    QTest::newRow("changed grams 5000") << "set grams" << 5000.0 << true;
    QTest::newRow("changed grams 5001") << "set grams" << 5001.0 << false;
    QTest::newRow("changed meal -1") << "set meal" << -1.0 << false;
    QTest::newRow("weight 19.9") << "kg" << 19.9 << false;
    QTest::newRow("weight 20") << "kg" << 20.0 << true;
    QTest::newRow("weight 400") << "kg" << 400.0 << true;
    QTest::newRow("weight 400.1") << "kg" << 400.1 << false;
    QTest::newRow("height 49.9") << "height" << 49.9 << false;
    QTest::newRow("height 50") << "height" << 50.0 << true;
    QTest::newRow("height 250") << "height" << 250.0 << true;
    QTest::newRow("height 0") << "height" << 0.0 << false;
}

// The file itself refuses a value outside the ranges, whoever writes it; the edges are in.
void FoodLogLogicTest::valuesAtTheEdgesOfTheRanges()
{
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(bool, accepted);
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    const FoodLogEntry kept = store.addEntry(entry(day, 1, QStringLiteral("米饭"), 150, 116));
    const auto write = [&] {
        if (field == QLatin1String("grams"))
            store.addEntry(entry(day, 0, QStringLiteral("苹果"), value, 53));
        else if (field == QLatin1String("kcal"))
            store.addEntry(entry(day, 0, QStringLiteral("苹果"), 200, value));
        else if (field == QLatin1String("meal"))
            store.addEntry(entry(day, int(value), QStringLiteral("苹果"), 200, 53));
        else if (field == QLatin1String("set grams"))
            store.setGrams(kept.id, value);
        else if (field == QLatin1String("set meal"))
            store.setMeal(kept.id, int(value));
        else if (field == QLatin1String("kg"))
            store.setWeight(day, value);
        else if (field == QLatin1String("height"))
            store.setProfile(Profile{Sex::Female, 1990, value, 1, 0});
    };
    bool wrote = true;
    try {
        write();
    } catch (const DataError &error) {
        wrote = false;
        QVERIFY2(error.message().startsWith(QStringLiteral("无法保存")), qPrintable(error.message()));
    }
    QCOMPARE(wrote, accepted);
    // Whatever was refused, the entry already there is as it was.
    const FoodLogStore::DayEntries read = store.dayEntries(day);
    QCOMPARE(read.outOfRange, 0);
    QVERIFY(std::any_of(read.entries.begin(), read.entries.end(), [&](const FoodLogEntry &e) {
        return e.id == kept.id && (e.grams == 150 || (field == QLatin1String("set grams") && accepted));
    }));
}

// The store's clock names the upgrade's backup and times an entry given no time; one given a
// time keeps it.
void FoodLogLogicTest::storeTakesTimeFromItsClock()
{
    TempDatabase file;
    fillOldFile(file);
    auto db = openDatabase(file.path());
    const QDateTime fixed(QDate(2026, 3, 4), QTime(5, 6, 7));
    FoodLogStore store(*db, DataLayout::layout(), Clock([fixed] { return fixed; }));
    FoodLogEntry untimed = entry(QDate(2026, 3, 4), LogCalendar::Breakfast, QStringLiteral("豆浆"), 250, 16);
    untimed.created = QDateTime();
    FoodLogEntry timed = untimed;
    timed.created = QDateTime(QDate(2026, 3, 3), QTime(22, 0));
    store.addEntry(untimed);
    store.addEntry(timed);

    QCOMPARE(backupsBeside(file), QStringList{QStringLiteral("data.mdb.bak-20260304-050607")});
    QCOMPARE(file.queryRows(QStringLiteral("SELECT created FROM food_log ORDER BY id")),
             (QList<QVariantList>{{QStringLiteral("2026-03-04 05:06:07")}, {QStringLiteral("2026-03-03 22:00:00")}}));
}

void FoodLogLogicTest::firstWriteUpgradesAfterBackup()
{
    TempDatabase file;
    fillOldFile(file);
    const QStringList ownBefore = dumpOwnTables(file.path());

    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    store.addEntry(entry(day, LogCalendar::Lunch, QStringLiteral("米饭"), 150, 116));
    QVERIFY(store.hasTables());

    // The copy: named by its time, beside the file, the file as it was.
    const QStringList backups = backupsBeside(file);
    QCOMPARE(backups.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^data\\.mdb\\.bak-\\d{8}-\\d{6}$")).match(backups.first()).hasMatch(),
             qPrintable(backups.first()));
    const QString backupPath = file.filePath(backups.first());
    {
        auto copy = openDatabase(backupPath);
        QVERIFY(!FoodLogStore(*copy, DataLayout::layout()).hasTables());
    }
    QCOMPARE(dumpOwnTables(backupPath), ownBefore);
    QCOMPARE(ownBefore.size(), 5);

    // The program's own rows untouched, value for value and type for type.
    QCOMPARE(dumpOwnTables(file.path()), ownBefore);
    QCOMPARE(file.queryRows(QStringLiteral("SELECT food, grams, kcal_per_100g, meal, day FROM food_log")),
             (QList<QVariantList>{{QStringLiteral("米饭"), 150.0, 116.0, qint64(1), QStringLiteral("2026-12-10")}}));

    // Later writes need no further copy.
    store.setWeight(day, 65.4);
    QCOMPARE(backupsBeside(file).size(), 1);
    QCOMPARE(file.query(QStringLiteral("SELECT integrity_check FROM pragma_integrity_check")).toString(), QStringLiteral("ok"));
}

void FoodLogLogicTest::refusedUpgradeLeavesFileAlone_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("read-only") << QStringLiteral("readonly") << QStringLiteral("只读");
    QTest::newRow("locked") << QStringLiteral("locked") << QStringLiteral("正被另一个程序使用");
    QTest::newRow("full") << QStringLiteral("full") << QStringLiteral("磁盘已满");
}

void FoodLogLogicTest::refusedUpgradeLeavesFileAlone()
{
    QFETCH(QString, how);
    QFETCH(QString, message);
    TempDatabase file;
    fillOldFile(file);
    const QByteArray before = fileHash(file.path());
    std::unique_ptr<TempDatabase::WriteLock> lock;
    if (how == QLatin1String("readonly") && !file.makeReadOnly())
        QSKIP("cannot make the file read-only here (running as root without chattr?)");
    auto db = openDatabase(file.path());
    if (how == QLatin1String("locked")) {
        lock = file.holdWriteLock();
        sqlite3_busy_timeout(db->handle(), 50);
    }
    if (how == QLatin1String("full"))
        TempDatabase::stopGrowth(db->handle());

    FoodLogStore store(*db, DataLayout::layout());
    ExerciseStore exercise(store.schema());
    ExerciseEntry walk;
    walk.day = QDate(2026, 12, 10);
    walk.activity = QStringLiteral("快走");
    walk.minutes = 30;
    walk.met = 4.3;
    walk.kcal = 99;
    // Tried three times, as a user would (a food, an activity, an own activity): each try is
    // refused the same way and leaves no copy.
    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            if (attempt == 0)
                store.addEntry(entry(QDate(2026, 12, 10), 0, QStringLiteral("米饭"), 100, 116));
            else if (attempt == 1)
                exercise.addEntry(walk);
            else
                exercise.addCustomActivity(QStringLiteral("飞盘"), 3);
            QFAIL("the write should have been refused");
        } catch (const DataError &error) {
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("未作改动")), qPrintable(error.message()));
        }
    }
    lock.reset();
    db.reset();
    QCOMPARE(fileHash(file.path()), before);
    if (how != QLatin1String("full")) // a full file's copy lies in another folder's space
        QVERIFY(backupsBeside(file).isEmpty());
}

// The user's own foods for the searches: the latest day first; on one day the most often first.
void FoodLogLogicTest::recentFoodsMostRecentThenMostOften()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    QVERIFY(store.recentFoods(10).isEmpty());
    const QDate day(2026, 12, 10);
    store.addEntry(entry(day.addDays(-3), 0, QStringLiteral("燕麦"), 50, 367));
    store.addEntry(entry(day.addDays(-1), 0, QStringLiteral("米饭"), 150, 116));
    store.addEntry(entry(day.addDays(-1), 1, QStringLiteral("苹果"), 200, 53));
    store.addEntry(entry(day.addDays(-2), 1, QStringLiteral("苹果"), 200, 53));
    store.addEntry(entry(day, 0, QStringLiteral("鸡蛋"), 50, 144));
    QCOMPARE(store.recentFoods(10), (QStringList{"鸡蛋", "苹果", "米饭", "燕麦"}));
    QCOMPARE(store.recentFoods(2), (QStringList{"鸡蛋", "苹果"}));
}

// A name of a megabyte is cut to the longest name where it is written, and where a hand-made
// file holds one, only that much of it is read.
void FoodLogLogicTest::hugeNamesAreBounded()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    const QString huge = QString(1024 * 1024, QChar(0x85AF));
    FoodLogEntry written = store.addEntry(entry(day, 0, huge, 30, 500));
    QCOMPARE(written.food, FoodText::name(huge));
    QCOMPARE(file.query(QStringLiteral("SELECT length(food) FROM food_log")).toInt(), int(FoodText::MaxNameLength));

    file.exec(QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) "
                             "VALUES ('2026-12-10', 1, '%1', '%1', 30, 500, '2026-12-10 12:00:00')").arg(huge));
    const QList<FoodLogEntry> read = store.entriesOn(day);
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.last().food, FoodText::name(huge));
    QCOMPARE(read.last().category, FoodText::name(huge));
}

void FoodLogLogicTest::failedWritesNameTheirCause_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("cause");
    QTest::newRow("read-only folder") << QStringLiteral("folder") << QStringLiteral("文件夹");
    QTest::newRow("locked, readers shut out") << QStringLiteral("locked") << QStringLiteral("正被另一个程序使用");
}

// A write to a log that has its tables fails as a save, naming why: the folder where no journal
// can be made, or another program's lock, even where the write's first step is a read.
void FoodLogLogicTest::failedWritesNameTheirCause()
{
    QFETCH(QString, how);
    QFETCH(QString, cause);
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    store.addEntry(entry(day, 0, QStringLiteral("豆浆"), 250, 16));
    std::unique_ptr<TempDatabase::WriteLock> lock;
    if (how == QLatin1String("folder") && !file.makeFolderReadOnly())
        QSKIP("cannot make the folder read-only here");
    if (how == QLatin1String("locked")) {
        lock = file.holdExclusiveLock();
        db->setLockWaitLimit(50);
    }
    try {
        store.addEntry(entry(day, 1, QStringLiteral("米饭"), 150, 116));
        QFAIL("the write should have failed");
    } catch (const DataError &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("无法保存饮食记录：")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(cause), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(QStringLiteral("读取")), qPrintable(error.message()));
    }
}

void FoodLogLogicTest::entriesKeepTheirDay()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDateTime lastMinute(QDate(2025, 12, 31), QTime(23, 59));
    const QDateTime firstMinute(QDate(2026, 1, 1), QTime(0, 0));
    store.addEntry(entry(LogCalendar::logDay(lastMinute), LogCalendar::defaultMeal(lastMinute.time()),
                         QStringLiteral("苹果"), 200, 53));
    store.addEntry(entry(LogCalendar::logDay(firstMinute), LogCalendar::defaultMeal(firstMinute.time()),
                         QStringLiteral("饺子"), 100, 240));
    QCOMPARE(store.entriesOn(QDate(2025, 12, 31)).size(), 1);
    QCOMPARE(store.entriesOn(QDate(2025, 12, 31)).first().food, QStringLiteral("苹果"));
    QCOMPARE(store.entriesOn(QDate(2026, 1, 1)).size(), 1);
    QCOMPARE(store.entriesOn(QDate(2026, 1, 1)).first().kcal(), 240.0);
    const QList<DayIntake> days = store.intakeBetween(QDate(2025, 12, 2), QDate(2026, 1, 1));
    QCOMPARE(days.size(), 2);
    QCOMPARE(days.at(0).day, QDate(2025, 12, 31));
    QCOMPARE(days.at(0).kcal, 106.0);
    // Editing the food table later never changes the day's figures.
    file.exec(QStringLiteral("INSERT INTO \"01\" (category, food, portion, kcal) VALUES ('水果', '苹果', '100克', 999)"));
    QCOMPARE(store.entriesOn(QDate(2025, 12, 31)).first().kcalPer100g, 53.0);
}

void FoodLogLogicTest::deleteAndRestore()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    const FoodLogEntry a = store.addEntry(entry(day, 0, QStringLiteral("牛奶"), 250, 54));
    const FoodLogEntry b = store.addEntry(entry(day, 0, QStringLiteral("鸡蛋"), 50, 144));
    store.removeEntry(a.id);
    QCOMPARE(store.entriesOn(day).size(), 1);
    store.restoreEntry(a);
    const QList<FoodLogEntry> back = store.entriesOn(day);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back.first().id, a.id);
    QCOMPARE(back.first().food, a.food);
    QCOMPARE(back.first().created.toString(Qt::ISODate), a.created.toString(Qt::ISODate));
    store.setGrams(b.id, 100);
    store.setMeal(b.id, LogCalendar::Snack);
    QCOMPARE(store.entriesOn(day).last().grams, 100.0);
    QCOMPARE(store.entriesOn(day).last().meal, int(LogCalendar::Snack));
}

void FoodLogLogicTest::weightReplacedAndProfileKept()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    store.setWeight(day, 70.2);
    store.setWeight(day, 69.8);
    QCOMPARE(store.weightOn(day).value_or(0), 69.8);
    QCOMPARE(store.weightsBetween(day.addDays(-1), day).size(), 1);
    QCOMPARE(store.latestWeight(day.addDays(5))->kg, 69.8);
    QVERIFY(!store.latestWeight(day.addDays(-1)));
    try {
        store.setWeight(day, 401);
        QFAIL("401 kg should be refused");
    } catch (const DataError &) {
    }
    QCOMPARE(store.weightOn(day).value_or(0), 69.8);

    Profile p;
    p.sex = Profile::Sex::Male;
    p.birthYear = 1985;
    p.heightCm = 178;
    p.activityLevel = 3;
    p.targetKg = 72.5;
    store.setProfile(p);
    const std::optional<Profile> read = store.profile();
    QVERIFY(read);
    QCOMPARE(read->sex, Profile::Sex::Male);
    QCOMPARE(read->birthYear, 1985);
    QCOMPARE(read->activityLevel, 3);
    QCOMPARE(read->targetKg, 72.5);
}

QTEST_GUILESS_MAIN(FoodLogLogicTest)
#include "test_foodlog_logic.moc"
