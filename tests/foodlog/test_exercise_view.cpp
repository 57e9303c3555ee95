// SPDX-License-Identifier: GPL-3.0-or-later
// The 运动 page of the food log, on a file of its own: logging an activity from the keyboard and
// its energy in the day's totals, the weight it needs, minutes changed, delete and undo, the
// user's own activity, and the chart's second series.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "exercise/ActivityTable.h"
#include "foodlog/FoodLogStore.h"
#include "exercise/ui/CustomActivityDialog.h"
#include "foodlog/ui/FoodLogView.h"
#include "foodlog/ui/IntakeChart.h"
#include "shell/ExerciseTab.h"
#include "support/TempDatabase.h"
#include "support/TypeText.h"
#include "widgets/MessageBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
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

Clock noon()
{
    return Clock([] { return QDateTime(Today, QTime(12, 0)); });
}

// The MET the shipped table gives an activity.
double metOf(const QString &name)
{
    const ActivityTable table = ActivityTable::builtIn();
    for (const Activity &a : table.activities())
        if (a.name == name)
            return a.met;
    return 0;
}

QVariant value(const TempDatabase &file, const QString &sql)
{
    return file.query(sql);
}

// The view on its 运动 page, the keyboard in the activity search.
struct ExerciseFixture
{
    TempDatabase file;
    std::unique_ptr<Database> db = openDatabase(file.path());
    FoodLogStore store{*db, DataLayout::layout(), noon()};
    std::unique_ptr<FoodLogView> view;

    explicit ExerciseFixture(std::optional<double> kg)
    {
        if (kg)
            store.setWeight(Today.addDays(-3), *kg);
        view = std::make_unique<FoodLogView>(store, FoodChoices(), noon());
        view->resize(560, 640);
        view->show();
        view->activateWindow();
        if (!QTest::qWaitForWindowActive(view.get()))
            qWarning("the view did not become active");
        // The page as the window adds it to the view.
        view->focusPage(addExerciseTab(*view, store.schema()));
    }
    QLineEdit *search() const { return find<QLineEdit>(view.get(), "exerciseSearch"); }
    QTreeWidget *list() const { return find<QTreeWidget>(view.get(), "exerciseEntries"); }
    QString totalText(const char *name) const { return find<QLabel>(view.get(), name)->text(); }
};

} // namespace

class ExerciseViewTest : public QObject
{
    Q_OBJECT

private slots:
    void briskWalkCountsInTheDay();
    void withoutAWeightNothingIsAdded();
    void minutesChangedDeletedAndUndone();
    void ownActivityIsSearchableAtOnce();
    void chartShowsExercise();
    void tabOrderAddsAnActivity();
    void weightNearestTheDay_data();
    void weightNearestTheDay();
};

// 60 kg, kuaizou, Return, 30 minutes, 添加运动: the day burns (MET − 1) × 60 × 0.5 and the row
// is in exercise_log with the MET and kcal it was logged with; 剩余 counts it.
void ExerciseViewTest::briskWalkCountsInTheDay()
{
    ExerciseFixture f(60);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.search()));
    auto *tabs = find<QTabWidget>(f.view.get(), "foodLogTabs");
    QCOMPARE(tabs->tabText(1), QStringLiteral("运动"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("体重与预算"));

    MessageBox::Recorder boxes;
    QTest::keyClicks(f.search(), QStringLiteral("kuaizou"));
    auto *popup = f.search()->completer()->popup();
    QTRY_VERIFY(popup->isVisible());
    QTRY_COMPARE(popup->currentIndex().row(), 0);
    QCOMPARE(popup->currentIndex().data().toString(), QStringLiteral("快走"));
    // Return takes the result into the field; with 30 minutes there, it is added at once.
    auto *minutes = find<QDoubleSpinBox>(f.view.get(), "exerciseMinutes");
    minutes->setValue(30);
    QTest::keyClick(popup, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));

    const double met = metOf(QStringLiteral("快走"));
    QVERIFY(met > 1);
    const qint64 kcal = qint64(std::floor((met - 1) * 60 * 0.5 + 0.5));
    QCOMPARE(value(f.file, QStringLiteral("SELECT activity || '|' || minutes || '|' || met FROM exercise_log")).toString(),
             QStringLiteral("快走|30.0|%1").arg(met));
    QCOMPARE(qRound(value(f.file, QStringLiteral("SELECT kcal FROM exercise_log")).toDouble()), int(kcal));
    QCOMPARE(f.totalText("burnedKcal"), QStringLiteral("运动消耗 %1 大卡").arg(kcal));
    QCOMPARE(find<QLabel>(f.view.get(), "burnedKcal")->accessibleName(), QStringLiteral("运动消耗"));
    QCOMPARE(find<QLabel>(f.view.get(), "burnedKcal")->accessibleDescription(), f.totalText("burnedKcal"));
    QCOMPARE(f.list()->topLevelItemCount(), 1);
    QCOMPARE(f.list()->topLevelItem(0)->text(2), QString::number(kcal));
    // No profile: no budget, so 剩余 says where to set one. With one, exercise adds to it.
    Profile p;
    p.heightCm = 165;
    f.store.setProfile(p);
    f.view->refresh();
    const int budget = *f.view->budget();
    QCOMPARE(f.totalText("leftKcal"), QStringLiteral("剩余 %1 大卡").arg(budget + kcal));
    QCOMPARE(find<QProgressBar>(f.view.get(), "budgetBar")->maximum(), budget + kcal);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.search())); // ready for the next
}

void ExerciseViewTest::withoutAWeightNothingIsAdded()
{
    ExerciseFixture f(std::nullopt);
    QVERIFY(find<QLabel>(f.view.get(), "exerciseNeedsWeight")->isVisible());
    QVERIFY(find<QLabel>(f.view.get(), "exerciseNeedsWeight")->text().startsWith(QStringLiteral("先记录体重，才能算出运动消耗")));
    MessageBox::Recorder boxes;
    f.search()->setText(QStringLiteral("快走"));
    find<QPushButton>(f.view.get(), "exerciseAdd")->click();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("先记录体重，才能算出运动消耗")));
    // Nothing written: the file did not even get the exercise tables.
    QCOMPARE(value(f.file, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'exercise_log'")).toInt(),
             f.store.hasTables() ? 1 : 0);
    QCOMPARE(f.store.hasTables() ? value(f.file, QStringLiteral("SELECT count(*) FROM exercise_log")).toInt() : 0, 0);

    // An activity that is not one says so too.
    f.search()->setText(QStringLiteral("飞天"));
    find<QPushButton>(f.view.get(), "exerciseAdd")->click();
    QCOMPARE(boxes.asked().size(), 2);
    QVERIFY(boxes.asked().last().text.contains(QStringLiteral("没有找到“飞天”")));
}

// F2 edits the minutes (the energy follows at the entry's own rate); Delete removes the entry
// at once, the bar offers it back and Ctrl+Z restores it.
void ExerciseViewTest::minutesChangedDeletedAndUndone()
{
    ExerciseFixture f(80);
    f.search()->setText(QStringLiteral("慢跑"));
    find<QDoubleSpinBox>(f.view.get(), "exerciseMinutes")->setValue(20);
    find<QPushButton>(f.view.get(), "exerciseAdd")->click();
    QCOMPARE(f.list()->topLevelItemCount(), 1);
    const double first = value(f.file, QStringLiteral("SELECT kcal FROM exercise_log")).toDouble();

    f.list()->setFocus();
    f.list()->setCurrentItem(f.list()->topLevelItem(0));
    QTest::keyClick(f.list(), Qt::Key_F2);
    auto *editor = f.list()->findChild<QDoubleSpinBox *>(QStringLiteral("minutesEditor"));
    QVERIFY(editor);
    QCOMPARE(editor->accessibleName(), QStringLiteral("分钟数"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("40"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(value(f.file, QStringLiteral("SELECT minutes FROM exercise_log")).toDouble(), 40.0);
    QCOMPARE(value(f.file, QStringLiteral("SELECT kcal FROM exercise_log")).toDouble(), first * 2);

    QTRY_VERIFY(f.list()->currentItem());
    f.list()->setFocus();
    QTest::keyClick(f.list(), Qt::Key_Delete);
    QCOMPARE(value(f.file, QStringLiteral("SELECT count(*) FROM exercise_log")).toInt(), 0);
    QVERIFY(find<QWidget>(f.view.get(), "exerciseUndoBar")->isVisible());
    QCOMPARE(f.totalText("burnedKcal"), QStringLiteral("运动消耗 0 大卡"));
    QTest::keyClick(f.list(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(value(f.file, QStringLiteral("SELECT minutes FROM exercise_log")).toDouble(), 40.0);
    QCOMPARE(value(f.file, QStringLiteral("SELECT kcal FROM exercise_log")).toDouble(), first * 2);
    QVERIFY(!find<QWidget>(f.view.get(), "exerciseUndoBar")->isVisible());
    QCOMPARE(f.list()->topLevelItemCount(), 1);
}

// 自定义运动…: a name and kcal per hour at the latest weight become a MET; the activity is found
// by its pinyin at once and logged like a shipped one; a name that is taken is refused in words.
void ExerciseViewTest::ownActivityIsSearchableAtOnce()
{
    ExerciseFixture f(60);
    find<QPushButton>(f.view.get(), "customActivity")->click();
    auto *dialog = f.view->findChild<CustomActivityDialog *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    auto *name = find<QLineEdit>(dialog, "customActivityName");
    auto *figure = find<QLineEdit>(dialog, "customActivityFigure");
    name->setText(QStringLiteral("快走"));
    figure->setText(QStringLiteral("3"));
    find<QPushButton>(dialog, "customActivitySave")->click();
    QVERIFY(dialog->isVisible());
    QVERIFY(find<QLabel>(dialog, "customActivityProblem")->text().contains(QStringLiteral("已经有名为“快走”")));

    name->setText(QStringLiteral("跳舞毯"));
    find<QRadioButton>(dialog, "customActivityByHour")->setChecked(true);
    QCOMPARE(figure->accessibleName(), QStringLiteral("每小时消耗（大卡）"));
    figure->setText(QStringLiteral("３００")); // full-width, as an input method types it
    // Before saving: the MET it becomes, what 30 minutes log at 60 kg, and the watch's "active" figure.
    auto *preview = find<QLabel>(dialog, "customActivityPreview");
    QVERIFY(preview->isVisible());
    QVERIFY2(preview->text().startsWith(QStringLiteral("相当于 5.0 MET；按体重 60 千克，运动 30 分钟记 120 大卡")),
             qPrintable(preview->text()));
    QVERIFY(preview->text().contains(QStringLiteral("“活动消耗”已经不含静息")));
    find<QPushButton>(dialog, "customActivitySave")->click();
    QTRY_VERIFY(!f.view->findChild<CustomActivityDialog *>() || !dialog->isVisible());
    QCOMPARE(value(f.file, QStringLiteral("SELECT name || '|' || met FROM custom_activity")).toString(),
             QStringLiteral("跳舞毯|5.0"));

    f.search()->clear();
    f.search()->setFocus();
    QTest::keyClicks(f.search(), QStringLiteral("tiaowutan"));
    auto *popup = f.search()->completer()->popup();
    QTRY_VERIFY(popup->isVisible());
    QTRY_COMPARE(popup->currentIndex().data().toString(), QStringLiteral("跳舞毯"));
    find<QDoubleSpinBox>(f.view.get(), "exerciseMinutes")->setValue(60);
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(value(f.file, QStringLiteral("SELECT kcal FROM exercise_log")).toDouble(), 240.0); // (5 − 1) × 60 × 1
}

void ExerciseViewTest::chartShowsExercise()
{
    ExerciseFixture f(60);
    f.search()->setText(QStringLiteral("快走"));
    find<QPushButton>(f.view.get(), "exerciseAdd")->click();
    auto *chart = f.view->findChild<IntakeChart *>();
    QVERIFY(chart->accessibleDescription().contains(QStringLiteral("1 天有运动")));
    bool keyed = false;
    for (const auto &key : chart->chartLayout().legend)
        keyed = keyed || key.text.text == QStringLiteral("运动消耗");
    QVERIFY(keyed);
}

// tiaosheng, Tab, 20, Return: the highlighted result taken, the minutes typed, the activity added.
void ExerciseViewTest::tabOrderAddsAnActivity()
{
    ExerciseFixture f(60);
    MessageBox::Recorder boxes;
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.search()));
    QTest::keyClicks(f.search(), QStringLiteral("tiaosheng"));
    auto *popup = f.search()->completer()->popup();
    QTRY_COMPARE(popup->currentIndex().row(), 0);
    QCOMPARE(popup->currentIndex().data().toString(), QStringLiteral("跳绳"));
    QTest::keyClick(popup, Qt::Key_Tab);
    auto *minutes = find<QDoubleSpinBox>(f.view.get(), "exerciseMinutes");
    QCOMPARE(f.search()->text(), QStringLiteral("跳绳"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(minutes));
    minutes->selectAll();
    QTest::keyClicks(minutes, QStringLiteral("20"));
    QTest::keyClick(minutes, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QCOMPARE(value(f.file, QStringLiteral("SELECT activity || '|' || minutes FROM exercise_log")).toString(),
             QStringLiteral("跳绳|20.0"));
}

// The weight an activity's energy is worked out from: the latest on or before its day; before
// the first weigh-in, the first one after it, which the page names.
void ExerciseViewTest::weightNearestTheDay_data()
{
    QTest::addColumn<QList<int>>("daysBefore"); // weights at Today minus these days ...
    QTest::addColumn<QList<double>>("kgs");     // ... of these kilograms
    QTest::addColumn<double>("used");
    QTest::addColumn<QString>("note");          // a part of the note; empty: no note shown
    // The day logged is Today − 5.
    QTest::newRow("the day's own") << QList<int>{5} << QList<double>{70} << 70.0 << QString();
    QTest::newRow("an earlier one") << QList<int>{9, 3} << QList<double>{72, 60} << 72.0 << QString();
    QTest::newRow("only later ones: the nearest") << QList<int>{1, 3} << QList<double>{80, 60} << 60.0
                                                  << QStringLiteral("之后最近的一次（12月7日 周一 的 60.0 千克）");
}

void ExerciseViewTest::weightNearestTheDay()
{
    QFETCH(QList<int>, daysBefore);
    QFETCH(QList<double>, kgs);
    QFETCH(double, used);
    QFETCH(QString, note);
    ExerciseFixture f(std::nullopt);
    for (int i = 0; i < daysBefore.size(); ++i)
        f.store.setWeight(Today.addDays(-daysBefore.at(i)), kgs.at(i));
    f.view->showDay(Today.addDays(-5));
    MessageBox::Recorder boxes;
    f.search()->setText(QStringLiteral("快走"));
    find<QDoubleSpinBox>(f.view.get(), "exerciseMinutes")->setValue(30);
    find<QPushButton>(f.view.get(), "exerciseAdd")->click();
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    const double met = metOf(QStringLiteral("快走"));
    QCOMPARE(value(f.file, QStringLiteral("SELECT round(kcal, 6) FROM exercise_log")).toDouble(),
             std::round((met - 1) * used * 0.5 * 1e6) / 1e6);
    QVERIFY(!find<QLabel>(f.view.get(), "exerciseNeedsWeight")->isVisible());
    auto *shown = find<QLabel>(f.view.get(), "exerciseWeightNote");
    QCOMPARE(shown->isVisible(), !note.isEmpty());
    if (!note.isEmpty()) {
        QVERIFY2(shown->text().contains(note), qPrintable(shown->text()));
        QCOMPARE(shown->accessibleDescription(), shown->text());
    }
}

QTEST_MAIN(ExerciseViewTest)
#include "test_exercise_view.moc"
