// SPDX-License-Identifier: GPL-3.0-or-later
// The calorie panel's search and amount line in the real window: Ctrl+F from
// anywhere, a food found by pinyin initials or another name shown exactly as
// a click on it in the tree shows it, and what an amount of it costs.
#include "db/Database.h"
#include "foodlog/ui/FoodLogSection.h"
#include "ownfoods/ui/OwnFoodDialog.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/QuickLogButton.h"
#include "foods/ui/FoodSearchBox.h"
#include "notebook/ui/NotebookController.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "support/WindowParts.h"
#include "support/TempDatabase.h"
#include "support/TypeText.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/MessageBox.h"

#include <QComboBox>
#include <QToolButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QSettings>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#ifndef PELLOMIR_BIN_DIR
#error "PELLOMIR_BIN_DIR must name the build's program folder"
#endif

class TestFoodSearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void findByInitialsShowsAsAClick();
    void findByAliasAndClick();
    void foodNotInGrams();
    void ctrlFFromTheEntryViewKeepsTheText();
    void fuzzySoundsFromTheWindowMenu();
    void categoryFoundOpensInTheTree();
    void ownFoodFromThePanelToTheLog();
    void nutrientsPer100gAndForTheAmount();
    void shippedMeasuresWithTheFirstFoodShown();

private:
    QTemporaryDir m_settings;
    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<MainWindow> m_window;
};

void TestFoodSearchWindow::initTestCase()
{
    Startup::prepareApplication(*qApp);
    // The user's choices go to a folder of the test's own.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
}

void TestFoodSearchWindow::init()
{
    m_db = std::make_unique<TempDatabase>();
    m_db->insertRows("02", {"category"}, {{"谷薯主食"}, {"蔬菜"}, {"水果"}});
    m_db->insertRows("01", {"category", "food", "portion", "kcal"},
                     {{"谷薯主食", "米饭", "100克", 116},
                      {"谷薯主食", "土豆", "100克", 81},
                      {"蔬菜", "黄瓜", "100克", 16},
                      {"蔬菜", "西红柿", "100克", 15},
                      {"水果", "苹果", "1个", 90}});
    m_db->insertRows("food_alias", {"category", "food", "alias"}, {{"谷薯主食", "土豆", "马铃薯"}});
    QVERIFY(QFile::copy(QStringLiteral(PELLOMIR_BIN_DIR "/Skin1.dat"), m_db->filePath("Skin1.dat")));
    m_window = Startup::openMainWindow(m_db->dir());
    QVERIFY(m_window);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFoodSearchWindow::cleanup()
{
    m_window.reset();
    m_db.reset();
}

void TestFoodSearchWindow::findByInitialsShowsAsAClick()
{
    MainWindow &w = *m_window;
    QVERIFY(!formOf(w).caloriePanel->isVisible());
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(formOf(w).caloriePanel->isVisible());
    // The title box names what is on show: the section, until a food is.
    QCOMPARE(formOf(w).titleView->text(), QStringLiteral("热量计算"));
    QLineEdit *field = foodSearchOf(w)->field();
    QCOMPARE(field, w.findChild<QLineEdit *>(QStringLiteral("searchField")));
    QCOMPARE(QApplication::focusWidget(), field);

    QTest::keyClicks(field, QStringLiteral("XHS"));
    QListWidget *results = w.findChild<QListWidget *>(QStringLiteral("searchResults"));
    QVERIFY(results->isVisible());
    QCOMPARE(results->item(0)->text(), QStringLiteral("西红柿 · 蔬菜 · 15 大卡"));
    // Room for eight results, upwards from the field, the field's own line left free.
    QVERIFY2(results->viewport()->height() >= 8 * results->sizeHintForRow(0),
             qPrintable(QStringLiteral("%1 < 8 × %2").arg(results->viewport()->height()).arg(results->sizeHintForRow(0))));
    QVERIFY(results->geometry().bottom() < field->geometry().top());
    QTest::keyClick(field, Qt::Key_Return);
    // A food chosen closes the results, its figures in view; Down brings the same results back.
    QVERIFY(!results->isVisible());
    QTest::keyClick(field, Qt::Key_Down);
    QVERIFY(results->isVisible());
    QCOMPARE(results->item(0)->text(), QStringLiteral("西红柿 · 蔬菜 · 15 大卡"));
    // The keyboard in the amount: the results close, covering none of its figures.
    foodPortionOf(w)->amountField()->setFocus();
    QTRY_VERIFY(!results->isVisible());

    // As a click in the tree: the category open, the food current, selected and in view.
    const QModelIndex current = formOf(w).foodTree->currentIndex();
    QCOMPARE(current.data().toString(), QStringLiteral("西红柿"));
    QCOMPARE(current.parent().data().toString(), QStringLiteral("蔬菜"));
    QVERIFY(formOf(w).foodTree->isExpanded(current.parent()));
    QVERIFY(formOf(w).foodTree->selectionModel()->isSelected(current));
    QVERIFY(formOf(w).foodTree->viewport()->rect().intersects(formOf(w).foodTree->visualRect(current)));
    QCOMPARE(formOf(w).foodNameBox->text(), QStringLiteral("西红柿"));
    QCOMPARE(formOf(w).kcalFigure->text(), QStringLiteral("15"));
    QCOMPARE(formOf(w).titleView->text(), QStringLiteral("西红柿"));
    // Another section names its own record there; back in the panel, the food on show again.
    w.hotSpotClicked(QStringLiteral("a"));
    QVERIFY(formOf(w).titleView->text() != QStringLiteral("西红柿"));
    w.hotSpotClicked(QStringLiteral("c"));
    QCOMPARE(formOf(w).titleView->text(), QStringLiteral("西红柿"));
    field->setFocus();

    // What the figure is for, and what an amount costs.
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("portionText"))->text(), QStringLiteral("每100克"));
    QLineEdit *amount = w.findChild<QLineEdit *>(QStringLiteral("amountField"));
    QLabel *result = w.findChild<QLabel *>(QStringLiteral("amountResult"));
    QCOMPARE(result->text(), QStringLiteral("约 15 大卡"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("400"));
    QCOMPARE(result->text(), QStringLiteral("约 60 大卡"));
    QCOMPARE(foodPortionOf(w)->category(), QStringLiteral("蔬菜"));
    QCOMPARE(foodPortionOf(w)->name(), QStringLiteral("西红柿"));
    QCOMPARE(foodPortionOf(w)->kcalPer100g().value_or(0), 15.0);
    QCOMPARE(foodPortionOf(w)->amountGrams().value_or(0), 400);

    // Its clear button has a Chinese name for a screen reader.
    const auto clearButtons = field->findChildren<QToolButton *>();
    QVERIFY(!clearButtons.isEmpty());
    for (QToolButton *button : clearButtons)
        QCOMPARE(button->accessibleName(), QStringLiteral("清除"));

    // Escape clears the search and hides its list.
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Escape);
    QVERIFY(field->text().isEmpty());
    QVERIFY(!results->isVisible());
}

// A category's pinyin finds the category itself, first; Return opens it in the tree.
void TestFoodSearchWindow::categoryFoundOpensInTheTree()
{
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    typeText(foodSearchOf(w)->field(), QStringLiteral("shucai"));
    QListWidget *results = foodSearchOf(w)->results();
    QCOMPARE(results->item(0)->text(), QStringLiteral("蔬菜（分类）"));
    QTest::keyClick(foodSearchOf(w)->field(), Qt::Key_Return);
    const QModelIndex current = formOf(w).foodTree->currentIndex();
    QCOMPARE(current.data().toString(), QStringLiteral("蔬菜"));
    QVERIFY(formOf(w).foodTree->isExpanded(current));
}

// 模糊音 is on unless the window menu turns it off; the choice is kept for the next start.
void TestFoodSearchWindow::fuzzySoundsFromTheWindowMenu()
{
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    // fg for 黄瓜: h typed as f (too short for a typo to be forgiven).
    typeText(foodSearchOf(w)->field(), QStringLiteral("fg"));
    QListWidget *results = foodSearchOf(w)->results();
    QVERIFY(results->item(0)->text().startsWith(QStringLiteral("黄瓜")));

    QAction *fuzzy = w.findChild<QAction *>(QStringLiteral("fuzzySounds"));
    QVERIFY(fuzzy && fuzzy->isCheckable() && fuzzy->isChecked());
    fuzzy->setChecked(false);
    QCOMPARE(results->item(0)->text(), QStringLiteral("没有找到“fg”"));

    m_window = Startup::openMainWindow(m_db->dir());
    QVERIFY(!m_window->findChild<QAction *>(QStringLiteral("fuzzySounds"))->isChecked());
    m_window->findChild<QAction *>(QStringLiteral("fuzzySounds"))->setChecked(true);
}

void TestFoodSearchWindow::findByAliasAndClick()
{
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    typeText(foodSearchOf(w)->field(), QStringLiteral("马铃薯"));
    QListWidget *results = foodSearchOf(w)->results();
    QCOMPARE(results->count(), 1);
    QCOMPARE(results->item(0)->text(), QStringLiteral("土豆（马铃薯） · 谷薯主食 · 81 大卡"));
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                      results->visualItemRect(results->item(0)).center());
    QCOMPARE(formOf(w).foodTree->currentIndex().data().toString(), QStringLiteral("土豆"));
    QCOMPARE(formOf(w).foodNameBox->text(), QStringLiteral("土豆"));
    QCOMPARE(formOf(w).kcalFigure->text(), QStringLiteral("81"));

    // Chosen again once it is current: shown again, nothing else changes.
    formOf(w).foodNameBox->clear();
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                      results->visualItemRect(results->item(0)).center());
    QCOMPARE(formOf(w).foodNameBox->text(), QStringLiteral("土豆"));
}

void TestFoodSearchWindow::foodNotInGrams()
{
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(foodSearchOf(w)->field(), QStringLiteral("pingguo"));
    QTest::keyClick(foodSearchOf(w)->field(), Qt::Key_Return);
    QCOMPARE(formOf(w).foodNameBox->text(), QStringLiteral("苹果"));
    QCOMPARE(formOf(w).kcalFigure->text(), QStringLiteral("90"));
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("portionText"))->text(), QStringLiteral("每1个"));
    QVERIFY(!foodPortionOf(w)->amountField()->isVisible());
    QVERIFY(!foodPortionOf(w)->result()->isVisible());
}

// Ctrl+F while a new record is being written opens the panel as its hot spot
// does: the text typed so far stays as it is.
void TestFoodSearchWindow::ctrlFFromTheEntryViewKeepsTheText()
{
    MainWindow &w = *m_window;
    w.hotSpotClicked(QStringLiteral("a"));
    formOf(w).newButton->click();
    formOf(w).bodyEdit->setFocus();
    QTest::keyClicks(formOf(w).bodyEdit, QStringLiteral("half a recipe"));
    QTest::keyClick(formOf(w).bodyEdit, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(formOf(w).caloriePanel->isVisible());
    QCOMPARE(QApplication::focusWidget(), foodSearchOf(w)->field());
    QCOMPARE(formOf(w).bodyEdit->toPlainText(), QStringLiteral("half a recipe"));
}

// As a user would: 添加自定义食物 in the calorie panel, 我的奶茶 at 80 kcal per 100 g, 保存; wdnc in
// 搜索食物, Return, 250 g, 记一笔; the log counts 200 kcal; the food is in custom_food and is still
// found by wdnc after the program starts again. The shipped food table is not written to.
void TestFoodSearchWindow::ownFoodFromThePanelToTheLog()
{
    MessageBox::Recorder boxes;
    const QString shippedBefore = m_db->query(QStringLiteral("SELECT group_concat(food, ',') FROM \"01\"")).toString();
    {
        MainWindow &w = *m_window;
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        auto *add = w.findChild<QPushButton *>(QStringLiteral("addOwnFood"));
        QVERIFY(add && add->isVisible());
        QCOMPARE(add->accessibleName(), QStringLiteral("添加自定义食物"));
        add->click();
        OwnFoodDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = w.findChild<OwnFoodDialog *>()));
        dialog->findChild<QLineEdit *>(QStringLiteral("ownFoodName"))->setText(QStringLiteral("我的奶茶"));
        dialog->findChild<QLineEdit *>(QStringLiteral("ownFoodKcal"))->setText(QStringLiteral("80"));
        dialog->findChild<QPushButton *>(QStringLiteral("ownFoodSave"))->click();
        QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
        QCOMPARE(m_db->query(QStringLiteral("SELECT name || '|' || category || '|' || kcal_per_100g FROM custom_food")).toString(),
                 QStringLiteral("我的奶茶|我的食物|80.0"));
        // Shown where it now is in the tree, marked as the user's own.
        QCOMPARE(formOf(w).foodTree->currentIndex().data().toString(), QStringLiteral("我的奶茶（自定义）"));

        QLineEdit *field = foodSearchOf(w)->field();
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, QStringLiteral("wdnc"));
        QListWidget *results = w.findChild<QListWidget *>(QStringLiteral("searchResults"));
        QCOMPARE(results->item(0)->text(), QStringLiteral("我的奶茶（自定义） · 我的食物 · 80 大卡"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(formOf(w).foodNameBox->text(), QStringLiteral("我的奶茶"));
        QLineEdit *amount = w.findChild<QLineEdit *>(QStringLiteral("amountField"));
        amount->selectAll();
        QTest::keyClicks(amount, QStringLiteral("250"));
        quickLogOf(w)->click();
        QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));

        w.hotSpotClicked(QStringLiteral("f"));
        QTRY_COMPARE(w.findChild<QLabel *>(QStringLiteral("eatenKcal"))->text(), QStringLiteral("已摄入 200 大卡"));
    }
    QCOMPARE(m_db->query(QStringLiteral("SELECT group_concat(food, ',') FROM \"01\"")).toString(), shippedBefore);

    m_window.reset();
    m_window = Startup::openMainWindow(m_db->dir());
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(foodSearchOf(*m_window)->field(), QStringLiteral("wdnc"));
    QListWidget *results = m_window->findChild<QListWidget *>(QStringLiteral("searchResults"));
    QTRY_VERIFY(results->count() > 0);
    QCOMPARE(results->item(0)->text(), QStringLiteral("我的奶茶（自定义） · 我的食物 · 80 大卡"));
}

// Under the calorie figure: protein, fat and carbohydrate per 100 g and for the amount typed; a
// food the table has none for shows "—".
void TestFoodSearchWindow::nutrientsPer100gAndForTheAmount()
{
    m_window.reset();
    m_db->exec(QStringLiteral("CREATE TABLE IF NOT EXISTS food_nutrient (id INTEGER PRIMARY KEY, category TEXT, "
                              "food TEXT, protein REAL, fat REAL, carbohydrate REAL, alcohol REAL)"));
    m_db->exec(QStringLiteral("INSERT INTO food_nutrient (category, food, protein, fat, carbohydrate) "
                              "VALUES ('谷薯主食', '米饭', 2.6, 0.3, 25.9)"));
    m_window = Startup::openMainWindow(m_db->dir());
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(foodSearchOf(w)->field(), QStringLiteral("mifan"));
    QTest::keyClick(foodSearchOf(w)->field(), Qt::Key_Return);
    auto *per100g = w.findChild<QLabel *>(QStringLiteral("nutrientsPer100g"));
    auto *forAmount = w.findChild<QLabel *>(QStringLiteral("nutrientsForAmount"));
    QCOMPARE(per100g->accessibleDescription(), QStringLiteral("每100克：蛋白质 2.6 克 · 脂肪 0.3 克 · 碳水 25.9 克"));
    QCOMPARE(per100g->text(), QStringLiteral("每100克：蛋白质 2.6 · 脂肪 0.3 · 碳水 25.9 克"));
    QLineEdit *amount = w.findChild<QLineEdit *>(QStringLiteral("amountField"));
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("250"));
    QCOMPARE(forAmount->accessibleDescription(), QStringLiteral("250克：蛋白质 6.5 克 · 脂肪 0.8 克 · 碳水 64.8 克"));
    QVERIFY(forAmount->isVisible());

    foodSearchOf(w)->field()->clear();
    QTest::keyClicks(foodSearchOf(w)->field(), QStringLiteral("huanggua"));
    QTest::keyClick(foodSearchOf(w)->field(), Qt::Key_Return);
    QCOMPARE(per100g->accessibleDescription(), QStringLiteral("每100克：蛋白质 — · 脂肪 — · 碳水 —"));
}

// The shipped household measures are read when the first food is shown, not at start: the
// first food shown already offers them, and picking one sets its grams.
void TestFoodSearchWindow::shippedMeasuresWithTheFirstFoodShown()
{
    MainWindow &w = *m_window;
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(foodSearchOf(w)->field(), QStringLiteral("mifan"));
    QTest::keyClick(foodSearchOf(w)->field(), Qt::Key_Return);
    QCOMPARE(foodPortionOf(w)->name(), QStringLiteral("米饭"));
    QComboBox *choice = foodPortionOf(w)->measureChoice();
    QVERIFY(choice->isVisible());
    const int bowl = choice->findText(QStringLiteral("1碗"), Qt::MatchStartsWith);
    QVERIFY2(bowl >= 0, qPrintable(QStringLiteral("offered: %1").arg(choice->count())));
    choice->setCurrentIndex(bowl);
    emit choice->activated(bowl);
    QCOMPARE(foodPortionOf(w)->amountGrams().value_or(0), 150);
}

QTEST_MAIN(TestFoodSearchWindow)
#include "test_food_search_window.moc"
