// SPDX-License-Identifier: GPL-3.0-or-later
// Progress on screen, on a file of its own: the trend and the date on the 30天趋势 page and the
// report saying the same, one whole-kcal figure per day on screen, in the CSV, the chart and the
// report, the waist from the keyboard, and the report's days chosen from the keyboard.

#include "datafile/DataLayout.h"
#include "db/CsvText.h"
#include "db/Database.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "report/LogExport.h"
#include "report/LogReport.h"
#include "foodlog/WeightTarget.h"
#include "foodlog/WeightTrend.h"
#include "foodlog/ui/FoodLogView.h"
#include "foodlog/ui/IntakeChart.h"
#include "report/ui/ReportPeriodDialog.h"
#include "report/ui/ReportWriter.h"
#include "support/TempDatabase.h"
#include "support/TypeText.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

namespace {

template<typename T>
T *find(QObject *root, const char *name)
{
    T *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

const QDate Today(2026, 12, 10);

Clock evening()
{
    return Clock([] { return QDateTime(Today, QTime(20, 0)); });
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

// A file of its own with a profile (target 72 kg) and the view on it.
struct ViewFixture
{
    TempDatabase file;
    std::unique_ptr<Database> db = openDatabase(file.path());
    FoodLogStore store{*db, DataLayout::layout(), evening()};
    std::unique_ptr<FoodLogView> view;

    ViewFixture()
    {
        Profile profile;
        profile.sex = Profile::Sex::Male;
        profile.heightCm = 175;
        profile.birthYear = 1985;
        profile.targetKg = 72;
        store.setProfile(profile);
    }
    // 60 days of readings ending today, falling 0.5 kg a week from 80 kg, as entered (0.1 kg).
    void fallingWeights()
    {
        for (int i = 0; i < 60; ++i)
            store.setWeight(Today.addDays(i - 59), qRound((80 - 0.5 * i / 7) * 10) / 10.0);
    }
    // Opens the view on the tab of that title (the view here has no 运动 page: the window adds it).
    void open(const QString &tab)
    {
        view = std::make_unique<FoodLogView>(store, FoodChoices(), evening());
        view->resize(560, 640);
        view->show();
        view->activateWindow();
        if (!QTest::qWaitForWindowActive(view.get()))
            qWarning("the view did not become active");
        auto *tabs = find<QTabWidget>(view.get(), "foodLogTabs");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == tab)
                tabs->setCurrentIndex(i);
        if (tabs->tabText(tabs->currentIndex()) != tab)
            qWarning("no tab %s", qPrintable(tab));
    }
    QString text(const char *name) const { return find<QLabel>(view.get(), name)->text(); }
};

const QString WeightTab = QStringLiteral("体重与预算");
const QString ChartTab = QStringLiteral("30天趋势");

} // namespace

class ProgressViewTest : public QObject
{
    Q_OBJECT

private slots:
    void trendAndDateOnScreenAndInTheReport();
    void sameWholeKcalEverywhere();
    void waistFromTheKeyboard();
    void reportDaysFromTheKeyboard_data();
    void reportDaysFromTheKeyboard();
};

// 60 days falling 0.5 kg a week and a target: 30天趋势 draws the trend, says its rate and the
// date it reaches the target, and where eating like today leads; the chart's description says
// what it draws; the report for the last 7 and 30 days says the same trend and date.
void ProgressViewTest::trendAndDateOnScreenAndInTheReport()
{
    ViewFixture f;
    f.fallingWeights();
    f.store.addEntry(entry(Today, 1, 400, 350)); // 1400 kcal today
    f.open(ChartTab);

    auto *chart = find<IntakeChart>(f.view.get(), "intakeChart");
    const IntakeChartLayout layout = chart->chartLayout();
    QCOMPARE(layout.trendLine.size(), 30);
    QVERIFY(layout.averageLines.isEmpty()); // the trend in the average's place
    QStringList legend;
    for (const auto &key : layout.legend)
        legend << key.text.text;
    QVERIFY2(legend.contains(QStringLiteral("体重趋势")), qPrintable(legend.join(' ')));
    QVERIFY2(chart->accessibleDescription().contains(QStringLiteral("趋势从")), qPrintable(chart->accessibleDescription()));

    const WeightTrend trend = WeightTrend::of(f.store.weightsBetween(Today.addDays(-200), Today), Today);
    const std::optional<QDate> reached = WeightTarget::reachedOn(trend, 72, Today);
    QVERIFY(reached);
    const QString said = f.text("trendText");
    QVERIFY2(said.contains(QStringLiteral("最近两周每周 −0.5 千克")), qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("约在 %1 达到目标 72.0 千克").arg(reached->toString(QStringLiteral("yyyy年M月d日")))),
             qPrintable(said));
    const QString eating = f.text("eatingOutlook");
    QVERIFY2(eating.startsWith(QStringLiteral("照今天这样吃，五周后约")), qPrintable(eating));
    QVERIFY2(chart->accessibleDescription().endsWith(said), qPrintable(chart->accessibleDescription()));
    auto *label = find<QLabel>(f.view.get(), "trendText");
    QCOMPARE(label->accessibleDescription(), said);
    QVERIFY(label->focusPolicy() & Qt::TabFocus);

    ExerciseStore exercise(f.store.schema());
    for (int days : {7, 30}) {
        const LogReport report = LogReport::read(f.store, exercise, Today, days);
        QCOMPARE(WeightTarget::outlook(report.trend, report.targetKg, report.last), said);
        QCOMPARE(report.days.last().figures.kgTrend, chart->days().last().kgTrend);
        QVERIFY(!ReportWriter::pdf(report, QDateTime(Today, QTime(20, 0)), QStringLiteral("最近 7 天")).isEmpty());
    }
}

// Every day of a month whose entries have fractions: the day's total on screen, the sum of its
// rows in the CSV, its bar in the chart and its cell in the report's table are one figure.
void ProgressViewTest::sameWholeKcalEverywhere()
{
    ViewFixture f;
    const QDate first = Today.addDays(-29);
    for (QDate day = first; day <= Today; day = day.addDays(1)) {
        for (int meal = 0; meal < 3; ++meal)
            f.store.addEntry(entry(day, meal, 223.7, 400)); // 894.8 each: 2684.4 raw, 2685 shown
        f.store.addEntry(entry(day, 3, 10 + first.daysTo(day) * 0.35, 333));
    }
    f.open(0);
    ExerciseStore exercise(f.store.schema());
    const LogReport report = LogReport::read(f.store, exercise, Today, 30);
    QHash<QDate, qint64> csv;
    for (const QStringList &row : CsvText::records(LogExport::toCsv(f.store.allEntries(), {})).mid(1))
        csv[QDate::fromString(row.at(0), Qt::ISODate)] += row.at(6).toLongLong();
    const QList<SeriesDay> chartDays = find<IntakeChart>(f.view.get(), "intakeChart")->days();
    QCOMPARE(chartDays.size(), 30);

    for (int i = 0; i < 30; ++i) {
        const QDate day = first.addDays(i);
        f.view->showDay(day);
        const QString screen = f.text("eatenKcal");
        QVERIFY2(screen.startsWith(QStringLiteral("已摄入 ")) && screen.endsWith(QStringLiteral(" 大卡")), qPrintable(screen));
        const qint64 shown = screen.mid(4, screen.size() - 7).toLongLong();
        QCOMPARE(csv.value(day), shown);
        QCOMPARE(ReportWriter::dayCells(report.days.at(i)).at(1), QString::number(shown));
        QCOMPARE(chartDays.at(i).kcal.value_or(-1), double(shown));
    }
    f.view->showDay(Today);
    QCOMPARE(f.text("eatenKcal"), QStringLiteral("已摄入 %1 大卡").arg(3 * 895 + qRound64((10 + 29 * 0.35) * 3.33)));
}

// 腰围（厘米） from the keyboard: typed, Return, stored for the day, shown against the threshold,
// drawn in the chart; out of range it is named and not stored; removed with its button.
void ProgressViewTest::waistFromTheKeyboard()
{
    ViewFixture f;
    f.fallingWeights();
    f.open(WeightTab);
    auto *waist = find<QDoubleSpinBox>(f.view.get(), "waistCm");
    QCOMPARE(waist->accessibleName(), QStringLiteral("腰围（厘米）"));
    QCOMPARE(f.text("waistText"), QStringLiteral("这一天没有记录腰围（可不填）。"));
    QVERIFY(!find<QPushButton>(f.view.get(), "waistRemove")->isVisible());

    waist->setFocus();
    waist->selectAll();
    typeText(waist, QStringLiteral("30"));
    QTest::keyClick(waist, Qt::Key_Return);
    QVERIFY(!f.store.waistOn(Today));
    QVERIFY2(find<QLabel>(f.view.get(), "waistHint")->text().contains(QStringLiteral("40")),
             qPrintable(find<QLabel>(f.view.get(), "waistHint")->text()));

    waist->selectAll();
    typeText(waist, QStringLiteral("９２。５")); // as a Chinese input method types it
    QTest::keyClick(waist, Qt::Key_Return);
    QCOMPARE(f.store.waistOn(Today).value_or(-1), 92.5);
    const QString said = f.text("waistText");
    QVERIFY2(said.contains(QStringLiteral("92.5 厘米")) && said.contains(QStringLiteral("达到了男性 90 厘米的界限"))
                 && said.contains(QStringLiteral("不是诊断")),
             qPrintable(said));
    QStringList legend;
    for (const auto &key : find<IntakeChart>(f.view.get(), "intakeChart")->chartLayout().legend)
        legend << key.text.text;
    QVERIFY2(legend.contains(QStringLiteral("腰围 92.5 厘米")), qPrintable(legend.join(' ')));
    QCOMPARE(find<IntakeChart>(f.view.get(), "intakeChart")->chartLayout().waistLine.size(), 1);

    auto *remove = find<QPushButton>(f.view.get(), "waistRemove");
    QVERIFY(remove->isVisible());
    remove->setFocus();
    QTest::keyClick(remove, Qt::Key_Space);
    QVERIFY(!f.store.waistOn(Today));
    QCOMPARE(f.text("waistText"), QStringLiteral("这一天没有记录腰围（可不填）。"));
}

void ProgressViewTest::reportDaysFromTheKeyboard_data()
{
    QTest::addColumn<int>("downs");   // arrow presses from 最近 7 天
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("name");
    QTest::newRow("最近 7 天") << 0 << 7 << "最近 7 天";
    QTest::newRow("最近 30 天") << 1 << 30 << "最近 30 天";
    QTest::newRow("指定日期") << 2 << 30 << "2026年11月11日至2026年12月10日";
}

// The arrow keys move between the three, Return confirms; a changed date chooses the dates.
void ProgressViewTest::reportDaysFromTheKeyboard()
{
    QFETCH(int, downs);
    QFETCH(int, days);
    QFETCH(QString, name);
    ReportPeriodDialog dialog(Today, LogReport::MaxDays);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(find<QRadioButton>(&dialog, "reportLastWeek")));
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(dialog.period().days(), days);
    QCOMPARE(dialog.period().name(), name);
    for (const char *control : {"reportLastWeek", "reportLastMonth", "reportDates", "reportFirstDay", "reportLastDay",
                                "reportPeriodOk", "reportPeriodCancel"})
        QVERIFY2(!find<QWidget>(&dialog, control)->accessibleName().isEmpty(), control);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    // Changing a date picks the dates.
    ReportPeriodDialog other(Today, LogReport::MaxDays);
    find<QDateEdit>(&other, "reportFirstDay")->setDate(QDate(2026, 12, 1));
    QCOMPARE(other.period().kind, ReportPeriod::Kind::Dates);
    QCOMPARE(other.period().days(), 10);
}

QTEST_MAIN(ProgressViewTest)
#include "test_progress_view.moc"
