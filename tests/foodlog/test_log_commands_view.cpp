// SPDX-License-Identifier: GPL-3.0-or-later
// Logging faster in the 饮食记录 view, on a file of its own: an entry moved to another meal, a
// day copied to today, a meal copied to a chosen day, a quick entry; each from the entries' own
// menu or its button, each taken back with Ctrl+Z.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/ui/EntryList.h"
#include "foodlog/ui/FoodLogView.h"
#include "foodlog/ui/IntakeChart.h"
#include "foodlog/ui/LogTargetDialog.h"
#include "foodlog/ui/QuickAddDialog.h"
#include "support/TempDatabase.h"
#include "widgets/LabelledComboBox.h"
#include "widgets/MessageBox.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QTreeWidgetItem>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>

namespace {

const QDate Today(2026, 12, 10);

Clock noon()
{
    return Clock([] { return QDateTime(Today, QTime(12, 0)); });
}

FoodLogEntry eaten(const QDate &day, int meal, const char *food, double grams, double per100g)
{
    FoodLogEntry e;
    e.day = day;
    e.meal = meal;
    e.food = QString::fromUtf8(food);
    e.category = QStringLiteral("谷薯主食");
    e.grams = grams;
    e.kcalPer100g = per100g;
    return e;
}

// Opens the entries' menu from the keyboard (as the Menu key does) and picks the actions named,
// a submenu first when there are two.
void chooseFromMenu(EntryList *list, const QStringList &path)
{
    bool chosen = false;
    QTimer::singleShot(0, list, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (int i = 0; i < path.size(); ++i) {
            QAction *found = nullptr;
            for (QAction *action : menu->actions())
                if (action->text() == path.at(i))
                    found = action;
            QVERIFY2(found, qPrintable(path.at(i)));
            if (i + 1 < path.size()) {
                menu = found->menu();
                QVERIFY(menu);
            } else {
                found->trigger();
                chosen = true;
            }
        }
        while (QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
    });
    const QPoint centre = list->rect().center();
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, centre, list->mapToGlobal(centre));
    QApplication::sendEvent(list, &keyboard);
    QVERIFY(chosen);
}

struct LogFixture
{
    TempDatabase file;
    std::unique_ptr<Database> db = openDatabase(file.path());
    FoodLogStore store{*db, DataLayout::layout(), noon()};
    std::unique_ptr<FoodLogView> view;
    qint64 rice = 0;

    LogFixture()
    {
        rice = store.addEntry(eaten(Today, 0, "米饭", 150, 116)).id;
        store.addEntry(eaten(Today, 1, "鸡蛋", 50, 144));
        store.addEntry(eaten(Today.addDays(-1), 0, "豆浆", 250, 16));
        view = std::make_unique<FoodLogView>(store, FoodChoices(), noon());
        view->resize(560, 640);
        view->show();
        view->activateWindow();
        if (!QTest::qWaitForWindowActive(view.get()))
            qWarning("the view did not become active");
    }
    EntryList *list() const { return view->findChild<EntryList *>(); }
    QString undoText() const { return view->findChild<QLabel *>(QStringLiteral("undoText"))->text(); }
    void undo() const
    {
        // The offscreen platform leaves no window active once a menu or dialog has closed.
        view->activateWindow();
        if (!QTest::qWaitForWindowActive(view.get()))
            qWarning("the view did not become active");
        QTest::keyClick(list(), Qt::Key_Z, Qt::ControlModifier);
    }
    QString eatenText() const { return view->findChild<QLabel *>(QStringLiteral("eatenKcal"))->text(); }
    QString rows(const QString &sql) const { return file.query(sql).toString(); }
};

} // namespace

class LogCommandsViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void moveToAnotherMealAndBack();
    void moveToAnotherDayAndBack();
    void dayKeys_data();
    void dayKeys();
    void heardAsSeen();
    void copyYesterdayToToday();
    void copyAMealToAChosenDay();
    void quickEntryCountsAndGoes();
    void foodNotFoundIsOfferedAsOwn();
    void chartShowsTheSharesWhenAsked();
    void sharesAreJudgedOnlyWhenTheFiguresCoverTheDay();
};

void LogCommandsViewTest::moveToAnotherMealAndBack()
{
    LogFixture f;
    f.list()->setFocus();
    f.list()->selectEntry(f.rice);
    chooseFromMenu(f.list(), {QStringLiteral("移到"), QStringLiteral("晚餐")});
    QCOMPARE(f.rows(QStringLiteral("SELECT meal FROM food_log WHERE food = '米饭'")), QStringLiteral("2"));
    QCOMPARE(f.undoText(), QStringLiteral("已把“米饭”移到晚餐"));
    QCOMPARE(f.list()->currentEntry()->id, f.rice);
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT meal FROM food_log WHERE food = '米饭'")), QStringLiteral("0"));
    QVERIFY(!f.view->findChild<QWidget *>(QStringLiteral("undoBar"))->isVisible());
}

void LogCommandsViewTest::initTestCase()
{
    QAccessible::installFactory(LabelledComboBox::accessible);
}

// Moved to tomorrow, the entry is shown there; taken back, it is on today again, today is shown
// and a sentence says where it went back to.
void LogCommandsViewTest::moveToAnotherDayAndBack()
{
    LogFixture f;
    f.list()->setFocus();
    f.list()->selectEntry(f.rice);
    chooseFromMenu(f.list(), {QStringLiteral("移到另一天…")});
    auto *dialog = f.view->findChild<LogTargetDialog *>();
    QVERIFY(dialog);
    dialog->findChild<QDateEdit *>(QStringLiteral("logTargetDay"))->setDate(Today.addDays(1));
    dialog->accept();
    QCOMPARE(f.rows(QStringLiteral("SELECT day FROM food_log WHERE food = '米饭'")), QStringLiteral("2026-12-11"));
    QCOMPARE(f.view->day(), Today.addDays(1));
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT day || '@' || meal FROM food_log WHERE food = '米饭'")),
             QStringLiteral("2026-12-10@0"));
    QCOMPARE(f.view->day(), Today);
    QCOMPARE(f.list()->currentEntry()->id, f.rice);
    QVERIFY(f.view->findChild<QWidget *>(QStringLiteral("undoBar"))->isVisible());
    QCOMPARE(f.undoText(), QStringLiteral("已撤销移动：“米饭”回到今天早餐"));
    // Nothing more to take back: the sentence has no 撤销 beside it.
    QVERIFY(!f.view->findChild<QPushButton *>(QStringLiteral("undoDelete"))->isVisible());
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT day FROM food_log WHERE food = '米饭'")), QStringLiteral("2026-12-10"));
}

// The previous and next day from the keyboard, wherever it is in the view.
void LogCommandsViewTest::dayKeys_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("step");
    const int alt = int(Qt::AltModifier);
    const int ctrl = int(Qt::ControlModifier);
    for (const char *where : {"logSearch", "logEntries", "logGrams"}) {
        QTest::addRow("Alt+Left in %s", where) << QString::fromLatin1(where) << int(Qt::Key_Left) << alt << -1;
        QTest::addRow("Alt+Right in %s", where) << QString::fromLatin1(where) << int(Qt::Key_Right) << alt << 1;
        QTest::addRow("Ctrl+PgUp in %s", where) << QString::fromLatin1(where) << int(Qt::Key_PageUp) << ctrl << -1;
        QTest::addRow("Ctrl+PgDown in %s", where) << QString::fromLatin1(where) << int(Qt::Key_PageDown) << ctrl << 1;
    }
}

void LogCommandsViewTest::dayKeys()
{
    QFETCH(QString, where);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, step);
    LogFixture f;
    auto *target = f.view->findChild<QWidget *>(where);
    QVERIFY(target);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus() || target->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.view->day(), Today.addDays(step));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.view->day(), Today.addDays(2 * step));
}

// What a screen reader says is what the screen shows: a combo box by its label and value, an
// entry's cells with their units, a refused amount with the range it takes.
void LogCommandsViewTest::heardAsSeen()
{
    LogFixture f;
    auto *meal = f.view->findChild<QComboBox *>(QStringLiteral("logMeal"));
    meal->setCurrentIndex(1);
    QAccessibleInterface *heard = QAccessible::queryAccessibleInterface(meal);
    QVERIFY(heard);
    QCOMPARE(heard->role(), QAccessible::ComboBox);
    QCOMPARE(heard->text(QAccessible::Name), QStringLiteral("餐次：午餐"));
    QCOMPARE(heard->text(QAccessible::Value), QStringLiteral("午餐"));

    f.list()->selectEntry(f.rice);
    const QTreeWidgetItem *rice = f.list()->currentItem();
    QCOMPARE(rice->text(EntryList::GramsColumn), QStringLiteral("150"));
    QCOMPARE(rice->data(EntryList::GramsColumn, Qt::AccessibleTextRole).toString(), QStringLiteral("150 克"));
    QCOMPARE(rice->text(EntryList::KcalColumn), QStringLiteral("174"));
    QCOMPARE(rice->data(EntryList::KcalColumn, Qt::AccessibleTextRole).toString(), QStringLiteral("174 大卡"));

    // A sign or letters in the grams: the range the field takes.
    MessageBox::Recorder boxes;
    auto *grams = f.view->findChild<QAbstractSpinBox *>(QStringLiteral("logGrams"));
    grams->findChild<QLineEdit *>()->setText(QStringLiteral("-5"));
    auto *hint = f.view->findChild<QLabel *>(QStringLiteral("logGramsHint"));
    QCOMPARE(hint->text(), QStringLiteral("请输入 1 到 5000 之间的整数"));
    QCOMPARE(hint->accessibleDescription(), hint->text());
}

// Yesterday's day, copied to today in one step: the same grams and kcal per 100 g; the view goes
// to today, where the copy is; Ctrl+Z removes exactly the copies.
void LogCommandsViewTest::copyYesterdayToToday()
{
    LogFixture f;
    f.view->showDay(Today.addDays(-1));
    f.list()->setFocus();
    chooseFromMenu(f.list(), {QStringLiteral("复制这一天到今天")});
    QCOMPARE(f.view->day(), Today);
    QCOMPARE(f.rows(QStringLiteral("SELECT group_concat(food || grams || '/' || kcal_per_100g || '@' || meal, ',') "
                                   "FROM food_log WHERE day = '2026-12-10' AND food = '豆浆'")),
             QStringLiteral("豆浆250.0/16.0@0"));
    QCOMPARE(f.undoText(), QStringLiteral("已把“豆浆”复制到今天"));
    QCOMPARE(f.eatenText(), QStringLiteral("已摄入 286 大卡")); // 174 + 72 + 40
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT count(*) FROM food_log")), QStringLiteral("3"));
    QCOMPARE(f.eatenText(), QStringLiteral("已摄入 246 大卡"));
}

void LogCommandsViewTest::copyAMealToAChosenDay()
{
    LogFixture f;
    f.list()->setFocus();
    f.list()->setCurrentItem(f.list()->topLevelItem(1)); // 午餐
    chooseFromMenu(f.list(), {QStringLiteral("复制这顿午餐到…")});
    auto *dialog = f.view->findChild<LogTargetDialog *>();
    QVERIFY(dialog);
    dialog->findChild<QDateEdit *>(QStringLiteral("logTargetDay"))->setDate(Today.addDays(1));
    dialog->findChild<QComboBox *>(QStringLiteral("logTargetMeal"))->setCurrentText(QStringLiteral("晚餐"));
    dialog->accept();
    QCOMPARE(f.rows(QStringLiteral("SELECT food || '@' || meal FROM food_log WHERE day = '2026-12-11'")),
             QStringLiteral("鸡蛋@2"));
    QCOMPARE(f.view->day(), Today.addDays(1));
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT count(*) FROM food_log WHERE day = '2026-12-11'")), QStringLiteral("0"));
}

// 快速记录: 300 kcal with a note, in the meal chosen; shown with its note and no grams, counted
// in the day, and gone again with Ctrl+Z.
void LogCommandsViewTest::quickEntryCountsAndGoes()
{
    LogFixture f;
    MessageBox::Recorder boxes;
    auto *button = f.view->findChild<QPushButton *>(QStringLiteral("quickAdd"));
    QCOMPARE(button->accessibleName(), QStringLiteral("快速记录"));
    button->click();
    auto *dialog = f.view->findChild<QuickAddDialog *>();
    QVERIFY(dialog);
    auto *kcal = dialog->findChild<QAbstractSpinBox *>(QStringLiteral("quickKcal"));
    kcal->findChild<QLineEdit *>()->setText(QStringLiteral("300"));
    dialog->findChild<QLineEdit *>(QStringLiteral("quickNote"))->setText(QStringLiteral("同事的生日蛋糕"));
    dialog->findChild<QComboBox *>(QStringLiteral("quickMeal"))->setCurrentIndex(3);
    dialog->findChild<QPushButton *>(QStringLiteral("quickSave"))->click();
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(f.rows(QStringLiteral("SELECT food || '|' || category || '|' || (grams * kcal_per_100g / 100) || '@' || meal "
                                   "FROM food_log WHERE category = '快速记录'")),
             QStringLiteral("同事的生日蛋糕|快速记录|300.0@3"));
    QCOMPARE(f.eatenText(), QStringLiteral("已摄入 546 大卡"));
    const auto *current = f.list()->currentItem();
    QCOMPARE(current->text(0), QStringLiteral("快速记录：同事的生日蛋糕"));
    QCOMPARE(current->text(1), QStringLiteral("—"));
    QCOMPARE(current->text(2), QStringLiteral("300"));
    QCOMPARE(f.undoText(), QStringLiteral("已快速记录 300 大卡"));
    f.undo();
    QCOMPARE(f.rows(QStringLiteral("SELECT count(*) FROM food_log WHERE category = '快速记录'")), QStringLiteral("0"));
    QCOMPARE(f.eatenText(), QStringLiteral("已摄入 246 大卡"));
}

// A name the search does not find is offered as an own food; 确定 asks for it with that name.
void LogCommandsViewTest::foodNotFoundIsOfferedAsOwn()
{
    LogFixture f;
    QSignalSpy asked(f.view.get(), &FoodLogView::ownFoodAsked);
    MessageBox::Recorder boxes;
    f.view->findChild<QLineEdit *>(QStringLiteral("logSearch"))->setText(QStringLiteral("妈妈包的饺子"));
    f.view->findChild<QPushButton *>(QStringLiteral("logAdd"))->click();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("没有找到“妈妈包的饺子”，添加为自定义食物？"));
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.first().first().toString(), QStringLiteral("妈妈包的饺子"));
    MessageBox::setNextAnswer(MessageBox::Cancel);
    f.view->findChild<QPushButton *>(QStringLiteral("logAdd"))->click();
    QCOMPARE(asked.size(), 1);
}

// The chart's switch puts each day's shares of protein, fat and carbohydrate (percent of their
// energy) in place of the kcal bars; days without figures have none.
void LogCommandsViewTest::chartShowsTheSharesWhenAsked()
{
    LogFixture f;
    FoodLogEntry egg = eaten(Today, 0, "鸡蛋", 100, 144);
    egg.nutrientsPer100g = Nutrients{13.3, 8.8, 2.8, 0}; // 53.2 + 79.2 + 11.2 = 143.6 kcal
    f.store.addEntry(egg);
    f.view->refresh();
    auto *chart = f.view->findChild<IntakeChart *>();
    QVERIFY(!chart->chartLayout().bars.isEmpty());
    QVERIFY(chart->chartLayout().shareLines.isEmpty());
    f.view->findChild<QCheckBox *>(QStringLiteral("chartShowsShares"))->setChecked(true);
    const IntakeChartLayout layout = chart->chartLayout();
    QVERIFY(layout.bars.isEmpty());
    QCOMPARE(layout.shareLines.size(), 3);
    QCOMPARE(layout.shareLines.at(0).points.size(), 1); // today only
    QVERIFY2(chart->accessibleDescription().contains(QStringLiteral("平均蛋白质 37%、脂肪 55%、碳水 8%")),
             qPrintable(chart->accessibleDescription()));
}

// The day's summary and the chart judge the shares only when the entries with figures carry at
// least 80 % of the energy: here first 144 of 390 kcal (the rice and the other egg have none),
// then 1584 of 1830.
void LogCommandsViewTest::sharesAreJudgedOnlyWhenTheFiguresCoverTheDay()
{
    LogFixture f;
    FoodLogEntry egg = eaten(Today, 0, "鸡蛋", 100, 144);
    egg.nutrientsPer100g = Nutrients{13.3, 8.8, 2.8, 0};
    f.store.addEntry(egg);
    f.view->refresh();
    f.view->findChild<QCheckBox *>(QStringLiteral("chartShowsShares"))->setChecked(true);
    auto *chart = f.view->findChild<IntakeChart *>();
    const auto text = [&](const char *name) { return f.view->findChild<QLabel *>(QLatin1String(name))->text(); };
    const QStringList verdicts{QStringLiteral("偏低"), QStringLiteral("适宜"), QStringLiteral("偏高")};
    const auto judges = [&](const QString &words) {
        return std::any_of(verdicts.cbegin(), verdicts.cend(), [&](const QString &v) { return words.contains(v); });
    };
    QCOMPARE(text("proteinShare"), QStringLiteral("蛋白质 13.3 克 37%"));
    QVERIFY(!judges(text("fatShare") + text("carbohydrateShare")));
    QVERIFY2(text("macroNote").contains(QStringLiteral("覆盖今日能量的 37%")), qPrintable(text("macroNote")));
    QVERIFY2(chart->accessibleDescription().contains(QStringLiteral("覆盖这些天能量的 37%，不作评价")),
             qPrintable(chart->accessibleDescription()));
    QVERIFY(!judges(chart->accessibleDescription()));

    QCOMPARE(text("fibreTotal"), QStringLiteral("膳食纤维 —（建议 25–30 克）"));

    egg.grams = 1000;
    egg.nutrientsPer100g->sodium = 131.5; // the 1000 g carry the sodium, the first 100 g none
    f.store.addEntry(egg);
    f.view->refresh();
    // 1315 mg from entries with 1440 of the day's 1830 kcal (79 %): shown, not judged.
    QCOMPARE(text("sodiumTotal"), QStringLiteral("钠 1315 毫克（覆盖今日能量 79%）"));
    QCOMPARE(text("proteinShare"), QStringLiteral("蛋白质 146.3 克 37% 偏高"));
    QCOMPARE(text("carbohydrateShare"), QStringLiteral("碳水 30.8 克 8% 偏低"));
    QVERIFY(!text("macroNote").contains(QStringLiteral("覆盖")));
    QVERIFY2(chart->accessibleDescription().contains(QStringLiteral("平均蛋白质 37%（偏高）、脂肪 55%（偏高）、碳水 8%（偏低）")),
             qPrintable(chart->accessibleDescription()));
}

QTEST_MAIN(LogCommandsViewTest)
#include "test_log_commands_view.moc"
