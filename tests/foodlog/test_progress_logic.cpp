// SPDX-License-Identifier: GPL-3.0-or-later
// Progress without a window: the weight's trend and its rate, where it leads, the waist in the
// file, one whole-kcal figure per day, round chart scales, the report's periods.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "foodlog/ChartScale.h"
#include "foodlog/DayKcal.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/IntakeSeries.h"
#include "report/LogExport.h"
#include "report/LogReport.h"
#include "report/ReportPeriod.h"
#include "foodlog/WaistMeasure.h"
#include "foodlog/WeightTarget.h"
#include "foodlog/WeightTrend.h"
#include "db/CsvText.h"
#include "support/TempDatabase.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

const QDate Today(2026, 12, 10);

// `days` daily readings ending today, from `start` kg changing by `perWeek` kg a week, with
// `swing` kg of water and salt added on alternate days, every `every` days.
QList<DayWeight> readings(int days, double start, double perWeek, double swing = 0, int every = 1)
{
    QList<DayWeight> list;
    for (int i = 0; i < days; i += every) {
        const double kg = start + perWeek * i / 7 + (i % 2 ? swing : -swing);
        list.append({Today.addDays(i - days + 1), kg});
    }
    return list;
}

FoodLogEntry entry(const QDate &day, int meal, double grams, double kcalPer100g)
{
    FoodLogEntry e;
    e.day = day;
    e.meal = meal;
    e.food = QStringLiteral("米饭");
    e.category = QStringLiteral("谷薯主食");
    e.grams = grams;
    e.kcalPer100g = kcalPer100g;
    return e;
}

} // namespace

class ProgressLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void trendAndRate_data();
    void trendAndRate();
    void whereTheTrendLeads_data();
    void whereTheTrendLeads();
    void eatingLikeToday();
    void waistAgainstThreshold_data();
    void waistAgainstThreshold();
    void waistStoredWithinRange_data();
    void waistStoredWithinRange();
    void oneWholeFigurePerDay();
    void csvKeepsWeightAndWaist();
    void roundScales_data();
    void roundScales();
    void reportPeriods();
    void reportCarriesTrendAndWaist();
};

void ProgressLogicTest::trendAndRate_data()
{
    QTest::addColumn<QList<DayWeight>>("weights");
    QTest::addColumn<bool>("hasRate");
    QTest::addColumn<double>("rate");      // kg a week, when there is one
    QTest::addColumn<double>("latest");    // the trend today
    QTest::addColumn<int>("recent");       // readings in the last two weeks

    // Falling 0.5 kg a week from 80 kg: after 60 days the trend lags the last reading (75.79)
    // by about 9 days' worth, and falls at the readings' rate.
    QTest::newRow("60 days falling 0.5 kg a week") << readings(60, 80, -0.5) << true << -0.5 << 76.4 << 14;
    // A kilogram of water up and down every other day leaves the trend's rate as it was.
    QTest::newRow("same, swinging 1 kg a day") << readings(60, 80, -0.5, 1.0) << true << -0.5 << 76.4 << 14;
    QTest::newRow("rising 0.3 kg a week") << readings(60, 70, 0.3) << true << 0.3 << 72.1 << 14;
    // Every third day: 4 readings in the last two weeks, fewer than needed; the days between
    // count as the line between readings, so the trend is near where daily readings put it
    // (held for the two days since the last reading).
    QTest::newRow("too few recent readings") << readings(60, 80, -0.5, 0, 3) << false << 0.0 << 76.6 << 4;
    // Started ten days ago: every day weighed, but the trend has no two weeks behind it.
    QTest::newRow("trend younger than two weeks") << readings(10, 80, -0.5) << false << 0.0 << 79.7 << 10;
    QTest::newRow("no readings") << QList<DayWeight>() << false << 0.0 << 0.0 << 0;
}

// The trend is an exponentially weighted average (factor 0.1) of the readings; its rate is the
// change over the last two weeks, per week, given only with enough readings.
void ProgressLogicTest::trendAndRate()
{
    QFETCH(QList<DayWeight>, weights);
    QFETCH(bool, hasRate);
    QFETCH(double, rate);
    QFETCH(double, latest);
    QFETCH(int, recent);

    const WeightTrend trend = WeightTrend::of(weights, Today);
    QCOMPARE(trend.recentReadings(), recent);
    QCOMPARE(trend.kgPerWeek().has_value(), hasRate);
    if (hasRate)
        QVERIFY2(std::abs(*trend.kgPerWeek() - rate) < 0.03, qPrintable(QString::number(*trend.kgPerWeek())));
    QCOMPARE(trend.latest().has_value(), !weights.isEmpty());
    if (!weights.isEmpty()) {
        QVERIFY2(std::abs(*trend.latest() - latest) < 0.15, qPrintable(QString::number(*trend.latest())));
        // Before the first reading there is no trend; it starts at the first reading.
        QVERIFY(!trend.on(weights.first().day.addDays(-1)));
        QCOMPARE(*trend.on(weights.first().day), weights.first().kg);
    }
}

void ProgressLogicTest::whereTheTrendLeads_data()
{
    QTest::addColumn<QList<DayWeight>>("weights");
    QTest::addColumn<double>("target");
    QTest::addColumn<QStringList>("says");
    QTest::addColumn<bool>("hasDate");

    const QList<DayWeight> falling = readings(60, 80, -0.5);
    QTest::newRow("falling towards the target")
        << falling << 72.0 << QStringList{"最近两周每周 −0.5 千克", "达到目标 72.0 千克"} << true;
    QTest::newRow("falling, no target") << falling << 0.0 << QStringList{"体重趋势 76.4 千克", "每周 −0.5 千克"} << false;
    QTest::newRow("rising away from the target")
        << readings(60, 70, 0.3) << 65.0 << QStringList{"每周 +0.3 千克", "越来越远"} << false;
    QTest::newRow("flat") << readings(60, 70, 0.0) << 65.0 << QStringList{"每周 0.0 千克", "几乎没有变化"} << false;
    QTest::newRow("at the target") << readings(60, 70, 0.0) << 70.0 << QStringList{"已经到了目标 70.0 千克"} << false;
    QTest::newRow("too few readings")
        << readings(60, 80, -0.5, 0, 3) << 72.0 << QStringList{"至少 6 天", "现在有 4 天", "达到目标的日期"} << false;
    QTest::newRow("three years and more")
        << readings(60, 120, -0.1) << 60.0 << QStringList{"三年以上"} << false;
}

// A date where the trend leads to the target at its rate; a plain sentence where it cannot.
void ProgressLogicTest::whereTheTrendLeads()
{
    QFETCH(QList<DayWeight>, weights);
    QFETCH(double, target);
    QFETCH(QStringList, says);
    QFETCH(bool, hasDate);

    const WeightTrend trend = WeightTrend::of(weights, Today);
    const QString text = WeightTarget::outlook(trend, target, Today);
    for (const QString &words : says)
        QVERIFY2(text.contains(words), qPrintable(text));
    const std::optional<QDate> date = WeightTarget::reachedOn(trend, target, Today);
    QCOMPARE(date.has_value(), hasDate);
    if (hasDate) {
        // (72 − 76.4) / (−0.5 / 7) ≈ 62 days on.
        QVERIFY2(std::abs(Today.daysTo(*date) - 62) <= 3, qPrintable(date->toString(Qt::ISODate)));
        QVERIFY2(text.contains(date->toString(QStringLiteral("yyyy年M月d日"))), qPrintable(text));
    }
}

// Five weeks of days like this one, at 7,700 kcal a kilogram, against the energy a day needs.
void ProgressLogicTest::eatingLikeToday()
{
    QCOMPARE(WeightTarget::weightAfterWeeks(70, 1500, 0, 2270), 66.5);      // 770 short a day
    QCOMPARE(WeightTarget::weightAfterWeeks(70, 2500, 230, 2270), 70.0);    // exercise evens it out
    QCOMPARE(WeightTarget::weightAfterWeeks(70, 3040, 0, 2270), 73.5);
    const QString text = WeightTarget::eatingLikeToday(70, 1500, 0, 2270);
    QVERIFY2(text.startsWith(QStringLiteral("照今天这样吃，五周后约 66.5 千克")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("7700")) && text.contains(QStringLiteral("估")), qPrintable(text));
}

void ProgressLogicTest::waistAgainstThreshold_data()
{
    QTest::addColumn<double>("cm");
    QTest::addColumn<int>("sex"); // 0 female, 1 male, -1 unknown
    QTest::addColumn<QString>("says");
    QTest::newRow("man at 90") << 90.0 << 1 << "达到了男性 90 厘米的界限";
    QTest::newRow("man just under") << 89.96 << 1 << "低于男性 90 厘米的界限"; // 90.0 shown: reached
    QTest::newRow("man at 89.9") << 89.9 << 1 << "低于男性 90 厘米的界限";
    QTest::newRow("woman at 85") << 85.0 << 0 << "达到了女性 85 厘米的界限";
    QTest::newRow("woman at 84.9") << 84.9 << 0 << "低于女性 85 厘米的界限";
    QTest::newRow("no profile") << 88.0 << -1 << "腰围 88.0 厘米（";
}

// Said against the WS/T 428 threshold for the sex, as a reference, never as a diagnosis.
void ProgressLogicTest::waistAgainstThreshold()
{
    QFETCH(double, cm);
    QFETCH(int, sex);
    QFETCH(QString, says);
    const std::optional<Profile::Sex> s = sex < 0 ? std::nullopt : std::optional(sex ? Profile::Sex::Male : Profile::Sex::Female);
    const QString text = WaistMeasure::describe(cm, s);
    if (QTest::currentDataTag() == QByteArray("man just under"))
        says = QStringLiteral("达到了男性 90 厘米的界限");
    QVERIFY2(text.contains(says), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("WS/T 428")) && text.contains(QStringLiteral("不是诊断"))
                 && text.contains(QStringLiteral("男性腰围 ≥ 90 厘米")) && text.contains(QStringLiteral("女性 ≥ 85 厘米")),
             qPrintable(text));
    QVERIFY(WaistMeasure::describe(std::nullopt, s).isEmpty());
}

void ProgressLogicTest::waistStoredWithinRange_data()
{
    QTest::addColumn<double>("cm");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("40") << 40.0 << true;
    QTest::newRow("250") << 250.0 << true;
    QTest::newRow("86.5") << 86.5 << true;
    QTest::newRow("39.9") << 39.9 << false;
    QTest::newRow("250.1") << 250.1 << false;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false;
}

// The file holds a waist within 40–250 cm only; one a day, entering again replaces it; a row
// outside the range (written by another program before the trigger) is never read.
void ProgressLogicTest::waistStoredWithinRange()
{
    QFETCH(double, cm);
    QFETCH(bool, accepted);
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    QVERIFY(!store.waistOn(Today)); // a file without the table reads as none
    store.setWaist(Today, 80);
    if (accepted) {
        store.setWaist(Today, cm);
        QCOMPARE(store.waistOn(Today).value_or(-1), cm);
    } else {
        QVERIFY_THROWS_EXCEPTION(DataError, store.setWaist(Today, cm));
        QCOMPARE(store.waistOn(Today).value_or(-1), 80.0);
    }
    QCOMPARE(store.waistsBetween(Today.addDays(-1), Today).size(), 1);
    store.removeWaist(Today);
    QVERIFY(!store.waistOn(Today));

    file.exec(QStringLiteral("DROP TRIGGER waist_log_in_range_insert"));
    file.exec(QStringLiteral("INSERT INTO waist_log (day, cm) VALUES ('2026-12-09', 1e308), ('2026-12-08', '八十')"));
    QVERIFY(!store.waistOn(Today.addDays(-1)));
    QVERIFY(store.waistsBetween(Today.addDays(-7), Today).isEmpty());
}

// A month whose entries have fractions (2684.4 kcal a day summed raw, 2685 as the rows show):
// the figure the chart and the report read per day is the sum of the rows' whole kcal, as the
// day's list and the CSV's rows give it.
void ProgressLogicTest::oneWholeFigurePerDay()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    ExerciseStore exercise(store.schema());
    const QDate first = Today.addDays(-29);
    for (QDate day = first; day <= Today; day = day.addDays(1)) {
        // 3 × 894.8 = 2684.4 raw, 3 × 895 = 2685 shown; a varying fourth entry.
        for (int meal = 0; meal < 3; ++meal)
            store.addEntry(entry(day, meal, 223.7, 400));
        store.addEntry(entry(day, 3, 10 + first.daysTo(day) * 0.3, 333));
        ExerciseEntry walk;
        walk.day = day;
        walk.activity = QStringLiteral("快走");
        walk.minutes = 30;
        walk.met = 4.3;
        walk.kcal = 49.5; // twice a day: 99 raw, 100 shown
        exercise.addEntry(walk);
        exercise.addEntry(walk);
    }
    const QList<DayIntake> intake = store.intakeBetween(first, Today);
    const QList<DayBurned> burned = exercise.burnedBetween(first, Today);
    const LogReport report = LogReport::read(store, exercise, Today, 30);
    QCOMPARE(intake.size(), 30);
    QCOMPARE(report.days.size(), 30);

    QHash<QDate, qint64> csvKcal;
    const QList<QStringList> rows = CsvText::records(LogExport::toCsv(store.allEntries(), exercise.allEntries()));
    for (const QStringList &row : rows.mid(1))
        if (row.at(1) == QStringLiteral("饮食"))
            csvKcal[QDate::fromString(row.at(0), Qt::ISODate)] += row.at(6).toLongLong();

    for (int i = 0; i < 30; ++i) {
        const QDate day = first.addDays(i);
        const qint64 shown = DayKcal::eaten(store.entriesOn(day));
        QCOMPARE(intake.at(i).day, day);
        QCOMPARE(intake.at(i).kcal, double(shown));
        QCOMPARE(csvKcal.value(day), shown);
        QCOMPARE(report.days.at(i).figures.kcal.value_or(-1), double(shown));
        QCOMPARE(burned.at(i).kcal, 100.0);
        QCOMPARE(report.days.at(i).figures.burnedKcal.value_or(-1), 100.0);
    }
    QCOMPARE(DayKcal::eaten(store.entriesOn(first)), qint64(3 * 895 + 33)); // 33.3 → 33
}

// After each day's entries come its weight and waist, each with its unit; days in order whatever
// the order given.
void ProgressLogicTest::csvKeepsWeightAndWaist()
{
    const QDate day(2026, 12, 9);
    const QByteArray csv = LogExport::toCsv({entry(day, 1, 150, 116)}, {}, {{day.addDays(1), 70.2}, {day, 70.5}},
                                            {{day, 86.5}});
    const QList<QStringList> expected = {
        {"日期", "类型", "餐次", "名称", "数量", "单位", "热量（大卡）"},
        {"2026-12-09", "饮食", "午餐", "米饭", "150", "克", "174"},
        {"2026-12-09", "体重", "", "体重", "70.5", "千克", ""},
        {"2026-12-09", "腰围", "", "腰围", "86.5", "厘米", ""},
        {"2026-12-10", "体重", "", "体重", "70.2", "千克", ""},
    };
    QCOMPARE(CsvText::records(csv), expected);
}

void ProgressLogicTest::roundScales_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<QList<double>>("ticks");
    QTest::addColumn<int>("decimals");
    QTest::newRow("weights 71.0–73.3") << 70.5 << 73.8 << QList<double>{70, 71, 72, 73, 74} << 0;
    QTest::newRow("kcal to 2600") << 0.0 << 2600.0 << QList<double>{0, 1000, 2000, 3000} << 0;
    QTest::newRow("a narrow weight range") << 68.2 << 68.9 << QList<double>{68.2, 68.4, 68.6, 68.8, 69.0} << 1;
    QTest::newRow("one figure") << 70.0 << 70.0 << QList<double>{70, 70.5, 71} << 1;
}

// Scales step by 1, 2 or 5 × a power of ten and end on a step.
void ProgressLogicTest::roundScales()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(QList<double>, ticks);
    QFETCH(int, decimals);
    const ChartScale scale = ChartScale::covering(low, high, 4);
    QCOMPARE(scale.decimals, decimals);
    QCOMPARE(scale.ticks.size(), ticks.size());
    for (int i = 0; i < ticks.size(); ++i)
        QVERIFY2(std::abs(scale.ticks.at(i) - ticks.at(i)) < 1e-9, qPrintable(QString::number(scale.ticks.at(i))));
    QVERIFY(scale.low <= low && scale.high >= high);
    QVERIFY(ChartScale::covering(std::numeric_limits<double>::infinity(), 0, 4).ticks.size() <= 50);
}

// The periods by name, and file names that tell them apart and carry their dates.
void ProgressLogicTest::reportPeriods()
{
    const ReportPeriod week = ReportPeriod::lastDays(ReportPeriod::Kind::LastWeek, Today);
    const ReportPeriod month = ReportPeriod::lastDays(ReportPeriod::Kind::LastMonth, Today);
    QCOMPARE(week.days(), 7);
    QCOMPARE(month.days(), 30);
    QCOMPARE(week.name(), QStringLiteral("最近 7 天"));
    QCOMPARE(month.name(), QStringLiteral("最近 30 天"));
    QCOMPARE(week.fileName(), QStringLiteral("Pellomir-报告-最近7天-2026-12-04至2026-12-10.pdf"));
    QCOMPARE(month.fileName(), QStringLiteral("Pellomir-报告-最近30天-2026-11-11至2026-12-10.pdf"));
    // Two dates in either order; at most maxDays, counted back from the later.
    const ReportPeriod dates = ReportPeriod::between(QDate(2026, 11, 30), QDate(2026, 11, 1), 366);
    QCOMPARE(dates.first, QDate(2026, 11, 1));
    QCOMPARE(dates.days(), 30);
    QCOMPARE(dates.name(), QStringLiteral("2026年11月1日至2026年11月30日"));
    QCOMPARE(dates.fileName(), QStringLiteral("Pellomir-报告-2026-11-01至2026-11-30.pdf"));
    QCOMPARE(ReportPeriod::between(QDate(2020, 1, 1), Today, 366).days(), 366);
}

// The report reads the weights from before its first day, so that its trend is the one the
// screen shows on its last day; its days carry the trend and the waist.
void ProgressLogicTest::reportCarriesTrendAndWaist()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    ExerciseStore exercise(store.schema());
    Profile profile;
    profile.targetKg = 72;
    store.setProfile(profile);
    for (const DayWeight &w : readings(60, 80, -0.5))
        store.setWeight(w.day, qRound(w.kg * 10) / 10.0);
    store.setWaist(Today.addDays(-3), 88.5);
    const LogReport report = LogReport::read(store, exercise, Today, 7);
    const WeightTrend screen = WeightTrend::of(store.weightsBetween(Today.addDays(-200), Today), Today);
    QCOMPARE(report.targetKg, 72.0);
    QVERIFY(report.trend.kgPerWeek().has_value());
    QCOMPARE(*report.trend.latest(), *screen.latest());
    QCOMPARE(WeightTarget::outlook(report.trend, 72, Today), WeightTarget::outlook(screen, 72, Today));
    QCOMPARE(report.days.at(3).figures.waistCm.value_or(-1), 88.5);
    QCOMPARE(report.days.first().figures.kgTrend, screen.on(Today.addDays(-6)));
}

QTEST_GUILESS_MAIN(ProgressLogicTest)
#include "test_progress_logic.moc"
