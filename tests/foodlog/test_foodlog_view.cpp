// SPDX-License-Identifier: GPL-3.0-or-later
// The 饮食记录 view in the real window, on a copy of the program's folder:
// reaching it (skin button f, Ctrl+1…6, an older skin without f), logging and
// changing entries from the keyboard, undo, weight and budget, and a file that
// cannot be written.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "db/Recordset.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/ui/DayTotals.h"
#include "foodlog/ui/EntryList.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foodlog/ui/FoodLogView.h"
#include "foodlog/ui/IntakeChart.h"
#include "foodlog/ui/ProfileDialog.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/QuickLogButton.h"
#include "notebook/ui/NotebookController.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "skin/SkinFile.h"
#include "widgets/ImageButton.h"
#include "support/WindowParts.h"
#include "support/TypeText.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAccessible>
#include <QCompleter>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QTimer>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {

const QString BinDir = QStringLiteral(PELLOMIR_BIN_DIR);
const QPoint ButtonF(559, 337);

QVariant queryValue(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *stmt = nullptr;
    QVariant value;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK
        && sqlite3_step(stmt) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

// A copy of the program's folder, with the skin optionally rewritten.
struct ProgramCopy
{
    QTemporaryDir dir;
    ProgramCopy(bool withoutF = false)
    {
        QFile::copy(BinDir + QStringLiteral("/data.mdb"), dir.filePath(QStringLiteral("data.mdb")));
        QFile skinFile(BinDir + QStringLiteral("/Skin1.dat"));
        skinFile.open(QIODevice::ReadOnly);
        QByteArray skin = skinFile.readAll();
        if (withoutF) {
            SkinData data = readSkin(skin, skinFile.fileName());
            auto &objects = data.forms.first().objects;
            objects.erase(std::remove_if(objects.begin(), objects.end(),
                                         [](const SkinObject &o) { return o.name() == QLatin1String("f"); }),
                          objects.end());
            skin = writeSkin(data);
        }
        QFile out(dir.filePath(QStringLiteral("Skin1.dat")));
        out.open(QIODevice::WriteOnly);
        out.write(skin);
    }
    QString data() const { return dir.filePath(QStringLiteral("data.mdb")); }
};

template<typename T>
T *find(QWidget *root, const char *name)
{
    T *widget = root->findChild<T *>(QLatin1String(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

// The view on show never asks for the profile by itself: no dialog comes up.
void verifyNoProfileQuestion(QWidget &w)
{
    QCoreApplication::processEvents();
    QVERIFY(!w.findChild<QDialog *>(QStringLiteral("profileDialog")));
}

// 填写个人资料… beside 预算 asks for the profile; the dialog is closed with or without saving.
void answerProfile(QWidget &w, bool accept)
{
    auto *ask = w.findChild<QToolButton *>(QStringLiteral("totalsProfileButton"));
    QVERIFY(ask && ask->isVisible());
    ask->click();
    QTRY_VERIFY(w.findChild<QDialog *>(QStringLiteral("profileDialog")));
    auto *dialog = w.findChild<QDialog *>(QStringLiteral("profileDialog"));
    if (accept)
        dialog->accept();
    else
        dialog->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens 饮食记录 with its hot spot on a file without a profile; no question comes up; the view
// on show.
FoodLogView *openLog(MainWindow &w)
{
    w.hotSpotClicked(QStringLiteral("f"));
    verifyNoProfileQuestion(w);
    return foodLogViewOf(w);
}

void press(QWidget *w, Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(w, key, mods);
}

} // namespace

// Shows the view's page of this title.
void showTab(FoodLogView *view, const char *title)
{
    auto *tabs = view->findChild<QTabWidget *>(QStringLiteral("foodLogTabs"));
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QString::fromUtf8(title))
            tabs->setCurrentIndex(i);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QString::fromUtf8(title));
}

// Thirty days ending on 10 Dec 2026, with nothing logged.
QList<SeriesDay> thirtyEmptyDays()
{
    QList<SeriesDay> days;
    for (int i = 0; i < 30; ++i)
        days.append({QDate(2026, 12, 10).addDays(i - 29), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    return days;
}

class FoodLogViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingBuiltUntilOpened();
    void buttonAndShortcutsSwitchSections();
    void olderSkinReachesViewByShortcut();
    void logTwoFoodsAndAWeight();
    void anEverydayDayIsJudged();
    void keyboardEditDeleteUndo();
    void budgetFromProfile();
    void readOnlyFileSaysSoAndKeepsWorking();
    void everyControlHasAChineseName();
    void chartGapsAndTwoTimesScale();
    void unreadableLogSaysSoOnce();
    void figuresAddUpAsShown();
    void ctrl6PutsKeyboardInLogSearch();
    void returnSubmitsWeightAndPressesButtons();
    void amountsTypedAreReadOrRefusedInWords_data();
    void amountsTypedAreReadOrRefusedInWords();
    void profileHeightIsReadLikeEveryAmount();
    void logSearchKeys();
    void logSearchCompletesAsOnTheDesktop();
    void measureReturnAddsAndEntriesHaveRoom();
    void chartWithAbsurdFiguresStillDraws();
    void chartTextsKeepApart_data();
    void chartTextsKeepApart();
    void chartLegendNamesEveryColour();
    void chartJoinsWeightsDaysApart();
    void outOfRangeRowsAreSkippedAndSaid();
    void quickLogFromCaloriePanel();
    void entriesAroundMidnightAndNewYear();
    void openOverMidnight();
    void refreshReadsInOneTransaction();
    void aboutPageNamesEveryShortcut();

private:
    std::unique_ptr<MainWindow> open(ProgramCopy &copy);
};

void FoodLogViewTest::initTestCase()
{
    Startup::prepareApplication(*qApp);
}

std::unique_ptr<MainWindow> FoodLogViewTest::open(ProgramCopy &copy)
{
    auto w = Startup::openMainWindow(copy.dir.path());
    if (w) {
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            qWarning("the window did not become active");
    }
    return w;
}

void FoodLogViewTest::nothingBuiltUntilOpened()
{
    ProgramCopy copy;
    auto w = open(copy);
    QVERIFY(w);
    QVERIFY(!foodLogViewOf(*w));
    QVERIFY(!w->findChild<FoodLogView *>());
    // The start brought the data tool's file to this release's layout, after one copy; browsing
    // elsewhere then never touches the file.
    QFile file(copy.data());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray started = file.readAll();
    file.close();
    w->hotSpotClicked(QStringLiteral("c"));
    w->hotSpotClicked(QStringLiteral("a"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), started);
    QCOMPARE(QDir(copy.dir.path()).entryList({QStringLiteral("*.bak-*")}).size(), 1);
}

void FoodLogViewTest::buttonAndShortcutsSwitchSections()
{
    ProgramCopy copy;
    auto w = open(copy);
    // From the start state: the welcome picture and the empty title.
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, ButtonF);
    verifyNoProfileQuestion(*w);
    FoodLogView *view = foodLogViewOf(*w);
    QVERIFY(view && view->isVisible());
    for (QWidget *hidden : {static_cast<QWidget *>(formOf(*w).welcomePicture), static_cast<QWidget *>(formOf(*w).caloriePanel),
                            static_cast<QWidget *>(formOf(*w).titleView), static_cast<QWidget *>(formOf(*w).bodyView),
                            static_cast<QWidget *>(formOf(*w).previousButton)})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));

    // Ctrl+3: the calorie panel, the view gone, the title box back as it was.
    press(w.get(), Qt::Key_3, Qt::ControlModifier);
    QVERIFY(!view->isVisible());
    QVERIFY(formOf(*w).caloriePanel->isVisible());
    QVERIFY(formOf(*w).titleView->isVisible());

    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    QVERIFY(view->isVisible());
    QVERIFY(!formOf(*w).caloriePanel->isVisible());
    QVERIFY(!w->findChild<QDialog *>(QStringLiteral("profileDialog"))); // never asked by itself

    // Ctrl+1: the first section opens as from its button.
    press(w.get(), Qt::Key_1, Qt::ControlModifier);
    QVERIFY(!view->isVisible());
    QVERIFY(formOf(*w).previousButton->isVisible() && formOf(*w).bodyView->isVisible());
    QVERIFY(!formOf(*w).newButton->isHidden()); // the section is open again
    press(w.get(), Qt::Key_5, Qt::ControlModifier);
    QVERIFY(formOf(*w).previousButton->isVisible());
    // The web page hot spot leaves the view where it is.
    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    QVERIFY(view->isVisible());
}

void FoodLogViewTest::olderSkinReachesViewByShortcut()
{
    ProgramCopy copy(true);
    auto w = open(copy);
    QVERIFY(w);
    QTest::mouseClick(w.get(), Qt::LeftButton, {}, ButtonF);
    QVERIFY(!foodLogViewOf(*w));
    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    verifyNoProfileQuestion(*w);
    QVERIFY(foodLogViewOf(*w) && foodLogViewOf(*w)->isVisible());
}

void FoodLogViewTest::logTwoFoodsAndAWeight()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);

    auto *search = find<QLineEdit>(view, "logSearch");
    auto *grams = find<QDoubleSpinBox>(view, "logGrams");
    auto *meal = find<QComboBox>(view, "logMeal");
    auto *add = find<QPushButton>(view, "logAdd");
    // The calorie panel's matching: pinyin initials list the food; choosing it fills the field.
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("jd"));
    QAbstractItemView *results = search->completer()->popup();
    QTRY_VERIFY(results->isVisible());
    QCOMPARE(results->accessibleName(), QStringLiteral("搜索结果"));
    const QModelIndexList egg = results->model()->match(results->model()->index(0, 0), Qt::DisplayRole,
                                                        QStringLiteral("鸡蛋"), 1, Qt::MatchExactly);
    QVERIFY(!egg.isEmpty());
    // A click on a result chooses it (Return would add it at once: logSearchKeys).
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualRect(egg.first()).center());
    QCOMPARE(search->text(), QStringLiteral("鸡蛋"));
    search->setText(QStringLiteral("米饭"));
    // Its household measures are offered; 1碗 sets its grams.
    auto *measure = find<QComboBox>(view, "logMeasure");
    QVERIFY(measure->isVisible());
    const int bowl = measure->findText(QStringLiteral("1碗"), Qt::MatchStartsWith);
    QVERIFY(bowl > 0);
    measure->setCurrentIndex(bowl);
    emit measure->activated(bowl);
    QCOMPARE(grams->value(), 150.0);
    // Other grams typed: the list says 按克数 again; the measure chosen again sets its grams.
    grams->setFocus();
    grams->selectAll();
    QTest::keyClicks(grams, QStringLiteral("200"));
    QCOMPARE(measure->currentText(), QStringLiteral("按克数"));
    measure->setCurrentIndex(bowl);
    emit measure->activated(bowl);
    QCOMPARE(grams->value(), 150.0);
    meal->setCurrentIndex(1);
    add->click();
    search->setText(QStringLiteral("鸡蛋"));
    grams->setValue(50);
    meal->setCurrentIndex(0);
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));

    const QString file = copy.data();
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 2);
    const double riceKcal = queryValue(file, QStringLiteral("SELECT kcal_per_100g FROM food_log WHERE food = '米饭'")).toDouble();
    const double eggKcal = queryValue(file, QStringLiteral("SELECT kcal_per_100g FROM food_log WHERE food = '鸡蛋'")).toDouble();
    QVERIFY(riceKcal > 0 && eggKcal > 0);
    const int total = qRound(1.5 * riceKcal + 0.5 * eggKcal);
    QCOMPARE(find<QLabel>(view, "eatenKcal")->text(), QStringLiteral("已摄入 %1 大卡").arg(total));
    QCOMPARE(queryValue(file, QStringLiteral("SELECT meal FROM food_log WHERE food = '米饭'")).toInt(), 1);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT day FROM food_log WHERE food = '鸡蛋'")).toString(),
             QDate::currentDate().toString(Qt::ISODate));
    // The meal's subtotal.
    auto *entries = find<EntryList>(view, "logEntries");
    QCOMPARE(entries->topLevelItem(0)->text(EntryList::KcalColumn), QString::number(qRound(0.5 * eggKcal)));
    QCOMPARE(entries->topLevelItem(1)->child(0)->text(EntryList::FoodColumn), QStringLiteral("米饭"));

    // An unknown food is refused with a message; nothing written.
    search->setText(QStringLiteral("不存在的食物"));
    add->click();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.contains(QStringLiteral("没有找到")));
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 2);

    // The weight: entering again replaces the day's value.
    auto *kg = find<QDoubleSpinBox>(view, "weightKg");
    kg->setValue(70.44);
    find<QPushButton>(view, "weightSave")->click();
    kg->setValue(69.8);
    find<QPushButton>(view, "weightSave")->click();
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) || ' ' || kg FROM weight_log")).toString(), QStringLiteral("1 69.8"));
    QVERIFY(find<QLabel>(view, "weightSaved")->text().contains(QStringLiteral("69.8")));
    // The upgrade left its backup beside the file.
    QCOMPARE(QDir(copy.dir.path()).entryList({QStringLiteral("data.mdb.bak-*")}).size(), 1);
}

// A day of 米饭, 西红柿炒鸡蛋, 宫保鸡丁, 奶茶 and 啤酒 from the shipped table: every food has figures
// (the beer's with its alcohol), so the shares come with a verdict and no entry is left out.
// Every one of them has sodium, so the day's sodium is judged too; fibre, which the milk tea
// (its milk powder) and 宫保鸡丁 (its soy sauce) lack, is shown as part of the day.
void FoodLogViewTest::anEverydayDayIsJudged()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    auto *search = find<QLineEdit>(view, "logSearch");
    auto *grams = find<QDoubleSpinBox>(view, "logGrams");
    for (const auto &[food, amount] : {std::pair{"米饭", 150.0}, std::pair{"西红柿炒鸡蛋", 200.0},
                                       std::pair{"宫保鸡丁", 200.0}, std::pair{"奶茶", 500.0},
                                       std::pair{"啤酒", 500.0}}) {
        search->setText(QString::fromUtf8(food));
        grams->setValue(amount);
        find<QPushButton>(view, "logAdd")->click();
    }
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT count(*) FROM food_log_nutrient")).toInt(), 5);
    const auto text = [&](const char *name) { return find<QLabel>(view, name)->text(); };
    const QStringList verdicts{QStringLiteral("偏低"), QStringLiteral("适宜"), QStringLiteral("偏高")};
    for (const char *share : {"proteinShare", "fatShare", "carbohydrateShare"}) {
        const QString shown = text(share);
        QVERIFY2(std::any_of(verdicts.cbegin(), verdicts.cend(), [&](const QString &v) { return shown.endsWith(v); }),
                 qPrintable(shown));
    }
    QVERIFY2(!text("macroNote").contains(QStringLiteral("覆盖")), qPrintable(text("macroNote")));
    QVERIFY2(!text("macroNote").contains(QStringLiteral("没有营养素数据")), qPrintable(text("macroNote")));
    // Fibre and sodium came from the food table through the entries: sodium for all five, fibre
    // for all but 奶茶 (whose milk powder has none). The four cover over 80 % of the day's energy,
    // so fibre is judged too (5.5 g, far under the guideline) instead of naming its coverage.
    const auto entriesWith = [&](const char *column) {
        return queryValue(copy.data(), QStringLiteral("SELECT count(*) FROM food_log_fibre_sodium WHERE %1 IS NOT NULL")
                                           .arg(QLatin1String(column)))
            .toInt();
    };
    QCOMPARE(entriesWith("sodium"), 5);
    QCOMPARE(entriesWith("fibre"), 4);
    QVERIFY(find<QLabel>(view, "fibreTotal")->isVisible());
    const QString fibre = text("fibreTotal");
    QVERIFY2(!fibre.contains(QStringLiteral("覆盖")), qPrintable(fibre));
    QVERIFY2(fibre.contains(QStringLiteral(" 克 偏低")), qPrintable(fibre));
    const QString sodium = text("sodiumTotal");
    QVERIFY2(!sodium.contains(QStringLiteral("覆盖")), qPrintable(sodium));
    QVERIFY2(std::any_of(verdicts.cbegin(), verdicts.cend(),
                         [&](const QString &v) { return sodium.contains(QStringLiteral(" 毫克 ") + v); }),
             qPrintable(sodium));
    // Every line of the day's figures is read whole: none is cut at the view's edge.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (const char *name : {"proteinShare", "fatShare", "carbohydrateShare", "fibreTotal", "sodiumTotal"}) {
        auto *label = find<QLabel>(view, name);
        QVERIFY2(label->width() >= label->sizeHint().width(),
                 qPrintable(QStringLiteral("%1: %2 of %3 px").arg(label->text()).arg(label->width()).arg(label->sizeHint().width())));
    }
}

void FoodLogViewTest::keyboardEditDeleteUndo()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    auto *search = find<QLineEdit>(view, "logSearch");
    search->setText(QStringLiteral("苹果"));
    find<QPushButton>(view, "logAdd")->click();
    auto *entries = find<EntryList>(view, "logEntries");
    QVERIFY(entries->currentEntry());
    const qint64 id = entries->currentEntry()->id;
    const QString file = copy.data();

    // F2 edits the grams in place; Return stores them.
    entries->setFocus();
    press(entries, Qt::Key_F2);
    auto *editor = entries->findChild<QDoubleSpinBox *>(QStringLiteral("gramsEditor"));
    QVERIFY(editor);
    // Wide enough for the largest amount with its unit, whatever the column's width.
    editor->setValue(5000);
    QVERIFY2(editor->width() >= editor->sizeHint().width(),
             qPrintable(QStringLiteral("%1 < %2").arg(editor->width()).arg(editor->sizeHint().width())));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("230"));
    press(editor, Qt::Key_Return);
    QTRY_COMPARE(queryValue(file, QStringLiteral("SELECT grams FROM food_log WHERE id = %1").arg(id)).toDouble(), 230.0);
    QCOMPARE(entries->currentEntry()->grams, 230.0);

    // Delete removes it at once; the undo bar offers it back; Ctrl+Z restores it whole.
    entries->setFocus();
    press(entries, Qt::Key_Delete);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 0);
    QVERIFY(find<QWidget>(view, "undoBar")->isVisible());
    QVERIFY(find<QLabel>(view, "undoText")->text().contains(QStringLiteral("苹果")));
    press(entries, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT id || ' ' || grams FROM food_log")).toString(),
             QStringLiteral("%1 230.0").arg(id));
    QVERIFY(!find<QWidget>(view, "undoBar")->isVisible());
    // Ctrl+Z again does nothing: the offer is gone.
    press(entries, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 1);

    // The offer has no time limit: it stays, read out with its message, until the day changes.
    // (QTimer::singleShot() parks its timer under the event dispatcher.)
    const auto singleShots = [] {
        int count = 0;
        for (const QObject *timer : QAbstractEventDispatcher::instance()->children())
            count += QLatin1String(timer->metaObject()->className()) == QLatin1String("QSingleShotTimer");
        return count;
    };
    const int singleShotsBefore = singleShots();
    entries->selectEntry(id);
    press(entries, Qt::Key_Delete);
    auto *undoBar = find<QWidget>(view, "undoBar");
    // Nothing is timed on the bar or the view itself, no one-off timer was started, and every
    // timer the view runs comes due at once, as if hours passed on an unchanged day: the bar stays.
    QCOMPARE(singleShots(), singleShotsBefore);
    QVERIFY(QAbstractEventDispatcher::instance()->registeredTimers(undoBar).isEmpty());
    QVERIFY(QAbstractEventDispatcher::instance()->registeredTimers(view).isEmpty());
    const auto timers = view->findChildren<QTimer *>();
    QVERIFY(!timers.isEmpty());
    for (QTimer *timer : timers) {
        if (!timer->isActive())
            continue;
        QSignalSpy due(timer, &QTimer::timeout);
        timer->setInterval(0);
        QVERIFY(due.wait());
    }
    QVERIFY(undoBar->isVisible());
    QCOMPARE(find<QLabel>(view, "undoText")->accessibleDescription(), QStringLiteral("已删除“苹果”"));
    search->setText(QStringLiteral("米饭"));
    find<QPushButton>(view, "logAdd")->click(); // a change of the day: the offer goes
    QVERIFY(!find<QWidget>(view, "undoBar")->isVisible());
    press(entries, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT group_concat(food) FROM food_log")).toString(), QStringLiteral("米饭"));

    // Delete on a meal's heading deletes nothing.
    entries->setCurrentItem(entries->topLevelItem(0));
    press(entries, Qt::Key_Delete);
    QCOMPARE(queryValue(file, QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 1);
    QVERIFY(!find<QWidget>(view, "undoBar")->isVisible());
    QVERIFY(boxes.asked().isEmpty());

    // Days: back one and forward again; today's button returns.
    auto *back = find<QToolButton>(view, "dayBack");
    back->click();
    QCOMPARE(view->day(), QDate::currentDate().addDays(-1));
    QCOMPARE(entries->currentEntry(), std::nullopt);
    find<QToolButton>(view, "dayToday")->click();
    QCOMPARE(view->day(), QDate::currentDate());
}

void FoodLogViewTest::budgetFromProfile()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    // Without a profile: 填写个人资料… beside 预算 and a sentence on the 体重与预算 page, no dialog.
    auto *ask = find<QToolButton>(view, "totalsProfileButton");
    QVERIFY(ask->isVisible());
    QVERIFY(ask->accessibleName().contains(QStringLiteral("个人资料")));
    QVERIFY(find<QLabel>(view, "budgetExplanation")->text().contains(QStringLiteral("还没有个人资料")));
    ask->click();
    QTRY_VERIFY(w->findChild<QDialog *>(QStringLiteral("profileDialog")));
    auto *dialog = w->findChild<QDialog *>(QStringLiteral("profileDialog"));
    QCOMPARE(dialog->accessibleName(), QStringLiteral("个人资料"));
    find<QComboBox>(dialog, "profileSex")->setCurrentIndex(1); // 男
    find<QSpinBox>(dialog, "profileBirthYear")->setValue(QDate::currentDate().year() - 40);
    find<QDoubleSpinBox>(dialog, "profileHeight")->setValue(180);
    find<QComboBox>(dialog, "profileActivity")->setCurrentIndex(2);
    dialog->accept();
    QVERIFY(!ask->isVisible());
    // No weight yet: no budget, and the view says what is missing.
    QVERIFY(!view->budget());
    QVERIFY(find<QLabel>(view, "budgetExplanation")->text().contains(QStringLiteral("记录一次体重")));

    find<QDoubleSpinBox>(view, "weightKg")->setValue(80);
    find<QPushButton>(view, "weightSave")->click();
    QCOMPARE(view->budget().value_or(0), 2180);
    QCOMPARE(find<QLabel>(view, "budgetKcal")->text(), QStringLiteral("预算 2180 大卡"));
    QCOMPARE(find<QLabel>(view, "leftKcal")->text(), QStringLiteral("剩余 2180 大卡"));
    QVERIFY(find<QLabel>(view, "bmiText")->text().contains(QStringLiteral("24.7（超重）")));
    QVERIFY(find<QLabel>(view, "budgetExplanation")->text().contains(QStringLiteral("1.55")));

    // Over the budget: the figure says so, in another colour.
    auto *search = find<QLineEdit>(view, "logSearch");
    search->setText(QStringLiteral("米饭"));
    find<QDoubleSpinBox>(view, "logGrams")->setValue(5000);
    find<QPushButton>(view, "logAdd")->click();
    auto *left = find<QLabel>(view, "leftKcal");
    QVERIFY2(left->text().startsWith(QStringLiteral("超出")), qPrintable(left->text()));
    QCOMPARE(left->accessibleName(), QStringLiteral("剩余"));
    QVERIFY(left->palette().color(QPalette::WindowText).red() > 150);
    QVERIFY(boxes.asked().isEmpty());
}

void FoodLogViewTest::readOnlyFileSaysSoAndKeepsWorking()
{
    ProgramCopy copy;
    QFile::setPermissions(copy.data(), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    // Rights that ignore permissions (root): make the file immutable instead.
    bool immutable = false;
    if (QFile probe(copy.data()); probe.open(QIODevice::ReadWrite))
        immutable = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), copy.data()}) == 0;
    auto undo = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), copy.data()});
        QFile::setPermissions(copy.data(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    });
    if (QFile probe(copy.data()); probe.open(QIODevice::ReadWrite))
        QSKIP("cannot make the file read-only here");
    QFile original(copy.data());
    original.open(QIODevice::ReadOnly);
    const QByteArray before = original.readAll();
    original.close();

    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    answerProfile(*w, true); // saving the profile is refused
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.contains(QStringLiteral("只读")), qPrintable(boxes.asked().first().text));
    find<QLineEdit>(view, "logSearch")->setText(QStringLiteral("米饭"));
    find<QPushButton>(view, "logAdd")->click();
    QCOMPARE(boxes.asked().size(), 2);
    QVERIFY(boxes.asked().last().text.contains(QStringLiteral("未作改动")));
    // Nothing listed that is not in the file; the rest of the window still works.
    QCOMPARE(find<QLabel>(view, "eatenKcal")->text(), QStringLiteral("已摄入 0 大卡"));
    w->hotSpotClicked(QStringLiteral("c"));
    QVERIFY(formOf(*w).caloriePanel->isVisible());
    w.reset();
    QFile after(copy.data());
    after.open(QIODevice::ReadOnly);
    QCOMPARE(after.readAll(), before);
    QVERIFY(QDir(copy.dir.path()).entryList({QStringLiteral("*.bak-*")}).isEmpty());
}

void FoodLogViewTest::everyControlHasAChineseName()
{
    ProgramCopy copy;
    auto w = open(copy);
    FoodLogView *view = openLog(*w);
    auto *tabs = find<QTabWidget>(view, "foodLogTabs");
    QStringList unnamed;
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        for (QWidget *child : view->findChildren<QWidget *>()) {
            // A spin box's own line edit is read out through the spin box.
            if (!child->isVisible() || child->focusPolicy() == Qt::NoFocus
                || child->objectName() == QLatin1String("qt_spinbox_lineedit"))
                continue;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(child);
            const QString name = a ? a->text(QAccessible::Name) : QString();
            static const QRegularExpression han(QStringLiteral("\\p{Han}"));
            if (!name.contains(han))
                unnamed << QStringLiteral("%1 (%2) “%3”").arg(child->objectName(), child->metaObject()->className(), name);
        }
    }
    unnamed.removeDuplicates();
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    for (const char *name : {"dayBack", "dayForward", "dayToday"})
        QVERIFY(!find<QToolButton>(view, name)->accessibleName().isEmpty());
    QCOMPARE(find<QToolButton>(view, "dayBack")->accessibleName(), QStringLiteral("前一天"));
    QCOMPARE(find<QToolButton>(view, "dayForward")->accessibleName(), QStringLiteral("后一天"));
    QCOMPARE(find<QLabel>(view, "eatenKcal")->accessibleName(), QStringLiteral("已摄入"));
    QCOMPARE(find<QLabel>(view, "budgetKcal")->accessibleName(), QStringLiteral("预算"));
}

// A log table of another shape (made by another program) is reported once, its cause named,
// the context said once and not twice.
void FoodLogViewTest::unreadableLogSaysSoOnce()
{
    ProgramCopy copy;
    {
        sqlite3 *file = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(copy.data()).constData(), &file), SQLITE_OK);
        const int rc = sqlite3_exec(
            file,
            "CREATE TABLE food_log (day TEXT, food TEXT); CREATE TABLE weight_log (day TEXT, kg REAL);"
            "CREATE TABLE profile (id INTEGER PRIMARY KEY, sex TEXT, birth_year INTEGER, height_cm REAL,"
            " activity INTEGER, target_kg REAL)",
            nullptr, nullptr, nullptr);
        sqlite3_close(file);
        QCOMPARE(rc, SQLITE_OK);
    }
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    MessageBox::Recorder boxes;
    FoodLogView view(store, FoodChoices(), Clock([] { return QDateTime(QDate(2026, 12, 10), QTime(12, 0)); }));
    QCOMPARE(boxes.asked().size(), 1);
    const QString text = boxes.asked().first().text;
    QVERIFY2(text.startsWith(QStringLiteral("无法读取饮食记录：")), qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("无法读取饮食记录")), 1);
    QVERIFY2(text.contains(QStringLiteral("no such column")), qPrintable(text));
}

// Ctrl+6 opens the log with the keyboard in its food search, as Ctrl+F does in the calorie panel:
// at the first opening and every time after, from any page of the log.
void FoodLogViewTest::ctrl6PutsKeyboardInLogSearch()
{
    ProgramCopy copy;
    auto w = open(copy);
    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    verifyNoProfileQuestion(*w);
    FoodLogView *view = foodLogViewOf(*w);
    QVERIFY(view);
    auto *search = find<QLineEdit>(view, "logSearch");
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(search));

    auto *tabs = find<QTabWidget>(view, "foodLogTabs");
    showTab(view, "30天趋势");
    press(w.get(), Qt::Key_3, Qt::ControlModifier);
    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(search));
}

// Return in the weight field records the weight typed, and Return on a focused 记录体重 or 添加
// presses it, as the keys page of the About page says.
void FoodLogViewTest::returnSubmitsWeightAndPressesButtons()
{
    ProgramCopy copy;
    auto w = open(copy);
    FoodLogView *view = openLog(*w);
    QVERIFY(view);
    showTab(view, "体重与预算");
    auto *kg = find<QDoubleSpinBox>(view, "weightKg");
    kg->setFocus();
    kg->selectAll();
    QTest::keyClicks(kg, QStringLiteral("71.3"));
    QTest::keyClick(kg, Qt::Key_Return);
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT kg FROM weight_log")).toDouble(), 71.3);

    auto *save = find<QPushButton>(view, "weightSave");
    kg->setValue(70.9);
    save->setFocus();
    QTest::keyClick(save, Qt::Key_Enter);
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT kg FROM weight_log")).toDouble(), 70.9);

    // 添加 with nothing chosen says so: the press reached it.
    find<QTabWidget>(view, "foodLogTabs")->setCurrentIndex(0);
    auto *add = find<QPushButton>(view, "logAdd");
    MessageBox::Recorder boxes;
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Return);
    QCOMPARE(boxes.asked().size(), 1);
}

// Rows are shown in whole kcal, and the meal's subtotal and the day's total are the sums of
// what the rows show: three rows of 33.4 read 33, 33, 33 and 99, never 100.
void FoodLogViewTest::figuresAddUpAsShown()
{
    ProgramCopy copy;
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    for (int i = 0; i < 3; ++i) {
        FoodLogEntry e;
        e.day = day;
        e.meal = LogCalendar::Lunch;
        e.food = QStringLiteral("黄瓜");
        e.grams = 100;
        e.kcalPer100g = 33.4;
        store.addEntry(e);
    }
    FoodLogView view(store, FoodChoices(), Clock([day] { return QDateTime(day, QTime(12, 0)); }));
    auto *entries = find<EntryList>(&view, "logEntries");
    QTreeWidgetItem *lunch = entries->topLevelItem(LogCalendar::Lunch);
    QCOMPARE(lunch->childCount(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(lunch->child(i)->text(EntryList::KcalColumn), QStringLiteral("33"));
    QCOMPARE(lunch->text(EntryList::KcalColumn), QStringLiteral("99"));
    QCOMPARE(find<QLabel>(&view, "eatenKcal")->text(), QStringLiteral("已摄入 99 大卡"));
}

// A day of infinite or absurd energy (a row of 1e308 grams written by another program) drew the
// kcal scale in a loop that never ended. The chart draws, its bar at the top of the scale, and
// its summary names no negative or overflowed figure.
void FoodLogViewTest::amountsTypedAreReadOrRefusedInWords_data()
{
    QTest::addColumn<QString>("field");   // weightKg or logGrams
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("saved");    // -1: nothing saved
    QTest::addColumn<QString>("hint");
    QTest::newRow("weight") << "weightKg" << "72.5" << 72.5 << "";
    QTest::newRow("weight, full-width, Chinese stop") << "weightKg" << "７２。５" << 72.5 << "";
    QTest::newRow("weight over the range") << "weightKg" << "500" << -1.0 << "体重最多 400 千克";
    QTest::newRow("weight, two decimals") << "weightKg" << "72.55" << -1.0 << "体重最多保留 1 位小数";
    QTest::newRow("weight in words") << "weightKg" << "七十" << -1.0 << "请输入 20 到 400 之间的数";
    QTest::newRow("grams, full-width") << "logGrams" << "１５０" << 150.0 << "";
    QTest::newRow("grams over the range") << "logGrams" << "6000" << -1.0 << "食用量最多 5000 克";
    QTest::newRow("grams, a fraction") << "logGrams" << "12.5" << -1.0 << "请输入整数克数";
}

// What is typed in the weight or grams field is saved as typed, or refused with the problem in
// red words under the field and nothing saved; Return in the field submits it.
void FoodLogViewTest::amountsTypedAreReadOrRefusedInWords()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(double, saved);
    QFETCH(QString, hint);
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    const bool weight = field == QLatin1String("weightKg");
    showTab(view, weight ? "体重与预算" : "饮食");
    if (!weight)
        find<QLineEdit>(view, "logSearch")->setText(QStringLiteral("米饭"));
    auto *box = find<QDoubleSpinBox>(view, field.toLatin1().constData());
    // Typed, then the keyboard moves on before the value is saved: what is kept is what was
    // typed, never a value passed on the way (600 while typing 6000).
    box->setFocus();
    box->selectAll();
    typeText(box, typed);
    auto *button = find<QPushButton>(view, weight ? "weightSave" : "logAdd");
    button->setFocus();
    QTRY_VERIFY(!box->hasFocus());
    button->click();
    const QString query = weight ? QStringLiteral("SELECT kg FROM weight_log")
                                 : QStringLiteral("SELECT grams FROM food_log");
    const QVariant stored = queryValue(copy.data(), query);
    QCOMPARE(stored.isValid() ? stored.toDouble() : -1.0, saved);
    auto *hintLabel = find<QLabel>(view, weight ? "weightHint" : "logGramsHint");
    QCOMPARE(hintLabel->isVisible(), !hint.isEmpty());
    if (!hint.isEmpty()) {
        QCOMPARE(hintLabel->text(), hint);
        QCOMPARE(hintLabel->palette().color(QPalette::WindowText), QColor(0xB0, 0x1C, 0x1C));
    }
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
}

// The log's search: the best result is highlighted and Return adds it; Escape clears the field;
// a food found by another name shows that name beside its own.
void FoodLogViewTest::logSearchKeys()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    auto *search = find<QLineEdit>(view, "logSearch");
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("mifan"));
    QAbstractItemView *results = search->completer()->popup();
    QTRY_VERIFY(results->isVisible());
    QCOMPARE(search->text(), QStringLiteral("mifan")); // nothing written into the field meanwhile
    QTRY_COMPARE(results->currentIndex().row(), 0);
    const QString first = results->currentIndex().data(Qt::DisplayRole).toString();
    QTest::keyClick(results, Qt::Key_Return);
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT group_concat(food) FROM food_log")).toString(), first);
    QVERIFY(search->text().isEmpty());

    QTest::keyClicks(search, QStringLiteral("ji"));
    QTRY_VERIFY(results->isVisible());
    QTest::keyClick(results, Qt::Key_Escape); // closes the list
    QTest::keyClick(search, Qt::Key_Escape);  // clears the field
    QVERIFY(search->text().isEmpty());
    for (QToolButton *button : search->findChildren<QToolButton *>())
        QCOMPARE(button->accessibleName(), QStringLiteral("清除"));
    QVERIFY(!search->findChildren<QToolButton *>().isEmpty());

    // Found by another name: "百香果 · 鸡蛋果" (the food's own name is what the field takes).
    const QString viaAlias = QStringLiteral("鸡蛋果");
    typeText(search, viaAlias);
    QTRY_VERIFY(results->isVisible());
    const QModelIndexList shown = results->model()->match(results->model()->index(0, 0), Qt::DisplayRole,
                                                          QStringLiteral("百香果 · 鸡蛋果"), 1, Qt::MatchExactly);
    QVERIFY2(!shown.isEmpty(), qPrintable(results->model()->index(0, 0).data().toString()));
    QVERIFY(boxes.asked().isEmpty());
    // Found by its name's pinyin: the name alone, no reading beside it.
    QTest::keyClick(results, Qt::Key_Escape);
    QTest::keyClick(search, Qt::Key_Escape);
    typeText(search, QStringLiteral("baiguo"));
    QTRY_VERIFY(results->isVisible());
    const QModelIndexList byReading = results->model()->match(results->model()->index(0, 0), Qt::DisplayRole,
                                                               QStringLiteral("白果"), 1, Qt::MatchExactly);
    QVERIFY2(!byReading.isEmpty(), qPrintable(results->model()->index(0, 0).data().toString()));

    // Emptied, the list closes; Down in the empty field lists the foods eaten most recently,
    // nothing highlighted, so Return adds nothing by chance.
    QTest::keyClick(results, Qt::Key_Escape);
    QTest::keyClick(search, Qt::Key_Escape);
    QTest::keyClicks(search, QStringLiteral("a"));
    QTRY_VERIFY(results->isVisible());
    QTest::keyClick(results, Qt::Key_Backspace);
    QTRY_VERIFY(!results->isVisible());
    QTest::keyClick(search, Qt::Key_Down);
    QTRY_VERIFY(results->isVisible());
    QCOMPARE(results->model()->index(0, 0).data().toString(), first);
    QVERIFY(!results->selectionModel()->hasSelection());
    QTest::keyClick(results, Qt::Key_Return);
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT count(*) FROM food_log")).toInt(), 1);
}

// The list behaves as a desktop completer's: never open by itself (on focus, after adding), Tab
// takes the highlighted result and goes on to the amount, where Return adds it; a click beside
// the open list closes it and still does what it was aimed at; a category is offered as in the
// calorie panel.
void FoodLogViewTest::logSearchCompletesAsOnTheDesktop()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    auto *search = find<QLineEdit>(view, "logSearch");
    auto *grams = find<QDoubleSpinBox>(view, "logGrams");
    QAbstractItemView *results = search->completer()->popup();
    const auto logged = [&] {
        return queryValue(copy.data(), QStringLiteral("SELECT group_concat(food || ' ' || grams, ', ') FROM "
                                                      "(SELECT food, grams FROM food_log ORDER BY id)")).toString();
    };

    // The Tab order: the food typed, Tab to the grams, Return adds.
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("jidan"));
    QTRY_COMPARE(results->currentIndex().row(), 0);
    QCOMPARE(results->currentIndex().data().toString(), QStringLiteral("鸡蛋"));
    QTest::keyClick(results, Qt::Key_Tab);
    QCOMPARE(search->text(), QStringLiteral("鸡蛋"));
    QVERIFY(!results->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(grams));
    grams->selectAll();
    QTest::keyClicks(grams, QStringLiteral("50"));
    QTest::keyClick(grams, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QCOMPARE(logged(), QStringLiteral("鸡蛋 50.0"));

    // After adding, and whenever the field takes the keyboard again, the list stays closed,
    // though there is now a recent food to list.
    QCoreApplication::processEvents();
    QVERIFY(search->text().isEmpty());
    QVERIFY(!results->isVisible());
    grams->setFocus();
    search->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(!results->isVisible());
    press(w.get(), Qt::Key_6, Qt::ControlModifier); // as from another section
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(search));
    QCoreApplication::processEvents();
    QVERIFY(!results->isVisible());
    // Escape closes what Down opened.
    QTest::keyClick(search, Qt::Key_Down);
    QTRY_VERIFY(results->isVisible());
    QTest::keyClick(results, Qt::Key_Escape);
    QCoreApplication::processEvents(); // the field has the keyboard back: still closed
    QVERIFY(!results->isVisible());
    // A click in the empty field opens the same list.
    QTest::mouseClick(search, Qt::LeftButton);
    QTRY_VERIFY(results->isVisible());
    QVERIFY(!results->selectionModel()->hasSelection());
    QTest::keyClick(results, Qt::Key_Escape);

    // A click on ‹ beside the open list: the list closes and the day before is shown.
    QTest::keyClicks(search, QStringLiteral("mi"));
    QTRY_VERIFY(results->isVisible());
    auto *back = find<QToolButton>(view, "dayBack");
    const QPoint onBack = results->mapFromGlobal(back->mapToGlobal(back->rect().center()));
    QVERIFY(!results->rect().contains(onBack));
    QTest::mouseClick(results, Qt::LeftButton, {}, onBack);
    QVERIFY(!results->isVisible());
    QTRY_COMPARE(view->day(), QDate::currentDate().addDays(-1));
    QVERIFY(!results->isVisible());

    // 水果 named by its pinyin: offered first as a category, whose foods Return lists.
    search->clear();
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("shuiguo"));
    QTRY_COMPARE(results->currentIndex().row(), 0);
    QCOMPARE(results->currentIndex().data().toString(), QStringLiteral("水果（分类）"));
    QTest::keyClick(results, Qt::Key_Return);
    QTRY_COMPARE(results->currentIndex().row(), 0);
    QVERIFY(results->isVisible());
    QCOMPARE(search->text(), QStringLiteral("shuiguo"));
    const QString fruit = results->currentIndex().data().toString();
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT trim(category) FROM \"01\" WHERE trim(food) = '%1'").arg(fruit)).toString(),
             QStringLiteral("水果"));
    QTest::keyClick(results, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QVERIFY2(logged().endsWith(fruit + QStringLiteral(" 50.0")), qPrintable(logged()));
}

// Return on the household-measure list adds the food in that measure; the day's entries then
// show at least eight rows, under the one line that adds them and above the nutrient figures.
void FoodLogViewTest::measureReturnAddsAndEntriesHaveRoom()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    FoodLogView *view = openLog(*w);
    auto *search = find<QLineEdit>(view, "logSearch");
    auto *measure = find<QComboBox>(view, "logMeasure");
    search->setText(QStringLiteral("米饭"));
    QVERIFY(measure->isVisible());
    measure->setFocus();
    QTest::keyClick(measure, Qt::Key_Down);
    QCOMPARE(measure->currentIndex(), 1);
    const int measureGrams = measure->currentData().toInt();
    QVERIFY(measureGrams > 0);
    QCOMPARE(find<QDoubleSpinBox>(view, "logGrams")->value(), double(measureGrams));
    QTest::keyClick(measure, Qt::Key_Return);
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT food || ' ' || grams FROM food_log")).toString(),
             QStringLiteral("米饭 %1.0").arg(measureGrams));

    for (const char *food : {"鸡蛋", "苹果", "香蕉", "馒头", "纯牛奶", "鸡蛋", "苹果"}) {
        search->setText(QString::fromUtf8(food));
        find<QPushButton>(view, "logAdd")->click();
    }
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    auto *entries = find<EntryList>(view, "logEntries");
    const int row = entries->visualItemRect(entries->topLevelItem(0)).height();
    QVERIFY(row > 0);
    QVERIFY2(entries->viewport()->height() >= 8 * row,
             qPrintable(QStringLiteral("%1 < 8 × %2").arg(entries->viewport()->height()).arg(row)));
    QVERIFY(find<QWidget>(view, "macroSummary")->isVisible());
}

// The profile's height is read as every amount is: "３００" is refused in words and the dialog
// stays open; "１７０" is taken.
void FoodLogViewTest::profileHeightIsReadLikeEveryAmount()
{
    ProfileDialog dialog(std::nullopt, 2026);
    dialog.show();
    auto *height = find<QDoubleSpinBox>(&dialog, "profileHeight");
    auto *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    height->setFocus();
    height->selectAll();
    typeText(height, QStringLiteral("３００"));
    ok->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(find<QLabel>(&dialog, "profileHeightHint")->text(), QStringLiteral("身高最多 250 厘米"));
    height->selectAll();
    typeText(height, QStringLiteral("１７０"));
    ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.profile().heightCm, 170.0);
}

void FoodLogViewTest::chartWithAbsurdFiguresStillDraws()
{
    const double inf = std::numeric_limits<double>::infinity();
    const QDate today(2026, 12, 10);
    QList<SeriesDay> days;
    for (int i = 0; i < 30; ++i)
        days.append({today.addDays(i - 29), std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    days[27].kcal = 1e300;
    days[28].kcal = inf;
    days[29].kcal = 1200;
    days[29].kg = 70;
    IntakeChart chart;
    chart.resize(450, 250);
    chart.setData(days, 1500);
    const QPixmap drawn = chart.grab();
    QVERIFY(!drawn.isNull());
    QVERIFY2(!chart.accessibleDescription().contains(QLatin1Char('-')), qPrintable(chart.accessibleDescription()));
}

void FoodLogViewTest::chartTextsKeepApart_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("withBudget");
    QTest::addColumn<double>("kcal");
    QTest::addColumn<double>("kg");
    // The chart's size in the window, its smallest size, and a scale's figures at their widest.
    QTest::newRow("in the window") << QSize(438, 232) << true << 1800.0 << 68.4;
    QTest::newRow("smallest") << QSize(300, 150) << true << 1800.0 << 68.4;
    QTest::newRow("smallest, no budget") << QSize(300, 150) << false << 2400.0 << 68.4;
    QTest::newRow("huge figures") << QSize(438, 232) << true << 1e300 << 399.9;
    QTest::newRow("lowest weight") << QSize(438, 232) << true << 1000.0 << 20.0;
}

// No text of the chart covers another (the kcal scale's 0 and the first day, the kg scale's
// lowest figure and the last day label, the units and the legend), and each lies within it.
void FoodLogViewTest::chartTextsKeepApart()
{
    QFETCH(QSize, size);
    QFETCH(bool, withBudget);
    QFETCH(double, kcal);
    QFETCH(double, kg);
    QList<SeriesDay> days = thirtyEmptyDays();
    for (int i = 0; i < days.size(); i += 3) {
        days[i].kcal = kcal * (i % 2 ? 0.6 : 1.0);
        days[i].kg = kg;
        days[i].kgWeekAverage = kg;
    }
    IntakeChart chart;
    chart.resize(size);
    chart.setData(days, withBudget ? std::optional<int>(1818) : std::nullopt);
    const IntakeChartLayout layout = chart.chartLayout();
    QVERIFY(!layout.plot.isEmpty());

    QList<IntakeChartLayout::Text> texts = layout.axisTexts;
    for (const auto &entry : layout.legend) {
        texts << entry.text;
        texts << IntakeChartLayout::Text{QStringLiteral("(mark of %1)").arg(entry.text.text), entry.mark, entry.colour};
    }
    const QStringList dayLabels = {QStringLiteral("11/11"), QStringLiteral("11/18"), QStringLiteral("11/25"),
                                   QStringLiteral("12/2"), QStringLiteral("12/9")};
    for (const QString &label : dayLabels)
        QVERIFY2(std::any_of(texts.cbegin(), texts.cend(), [&](const auto &t) { return t.text == label; }), qPrintable(label));
    const QRectF widget(QPointF(0, 0), QSizeF(size));
    for (int i = 0; i < texts.size(); ++i) {
        QVERIFY2(widget.contains(texts[i].rect), qPrintable(texts[i].text));
        for (int j = i + 1; j < texts.size(); ++j)
            QVERIFY2(!texts[i].rect.intersects(texts[j].rect),
                     qPrintable(QStringLiteral("%1 and %2").arg(texts[i].text, texts[j].text)));
    }
}

// The legend names every colour a bar or line takes, and says what the average is of; each
// scale says its unit.
void FoodLogViewTest::chartLegendNamesEveryColour()
{
    QList<SeriesDay> days = thirtyEmptyDays();
    days[28].kcal = 1200;
    days[29].kcal = 2100;
    days[29].kg = 68.4;
    days[29].kgWeekAverage = 68.4;
    IntakeChart chart;
    chart.resize(438, 232);
    const auto legendOf = [](const IntakeChartLayout &layout) {
        QMap<QString, QColor> colours;
        for (const auto &entry : layout.legend)
            colours.insert(entry.text.text, entry.colour);
        return colours;
    };

    chart.setData(days, 1800);
    IntakeChartLayout layout = chart.chartLayout();
    QMap<QString, QColor> legend = legendOf(layout);
    QCOMPARE(legend.keys(), (QStringList{QStringLiteral("体重"), QStringLiteral("体重7日平均"), QStringLiteral("摄入"),
                                         QStringLiteral("超出预算"), QStringLiteral("预算")}));
    QCOMPARE(layout.bars.size(), 2);
    QCOMPARE(layout.bars[0].colour, legend.value(QStringLiteral("摄入")));
    QCOMPARE(layout.bars[1].colour, legend.value(QStringLiteral("超出预算")));
    QVERIFY(layout.bars[0].colour != layout.bars[1].colour);
    QStringList texts;
    for (const auto &text : layout.axisTexts)
        texts << text.text;
    QVERIFY2(texts.contains(QStringLiteral("大卡")) && texts.contains(QStringLiteral("千克")), qPrintable(texts.join(' ')));

    // Without a budget no bar is over it, and the legend says neither.
    chart.setData(days, std::nullopt);
    layout = chart.chartLayout();
    legend = legendOf(layout);
    QCOMPARE(legend.keys(), (QStringList{QStringLiteral("体重"), QStringLiteral("体重7日平均"), QStringLiteral("摄入")}));
    for (const auto &bar : layout.bars)
        QCOMPARE(bar.colour, legend.value(QStringLiteral("摄入")));
}

// A weight entered every other day, or a week apart, is one line from weighing to weighing;
// the days' bars keep their gaps.
void FoodLogViewTest::chartJoinsWeightsDaysApart()
{
    QList<SeriesDay> days = thirtyEmptyDays();
    for (int i : {10, 20, 22, 24, 26}) {
        days[i].kg = 70 - i * 0.1;
        days[i].kcal = 1500;
    }
    IntakeChart chart;
    chart.resize(438, 232);
    chart.setData(days, 1800);
    const IntakeChartLayout layout = chart.chartLayout();
    QCOMPARE(layout.weightLine.size(), 5);
    const double slot = layout.plot.width() / days.size();
    QCOMPARE(qRound((layout.weightLine[1].x() - layout.weightLine[0].x()) / slot), 10);
    for (int i = 2; i < layout.weightLine.size(); ++i)
        QCOMPARE(qRound((layout.weightLine[i].x() - layout.weightLine[i - 1].x()) / slot), 2);
    QCOMPARE(layout.bars.size(), 5);
}

// A file an earlier release let take an infinite portion and a height of 0: the day lists and
// sums only what is in range and says in words what it left out; no budget or BMI is worked out
// from the height.
void FoodLogViewTest::outOfRangeRowsAreSkippedAndSaid()
{
    ProgramCopy copy;
    {
        sqlite3 *raw = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(copy.data()).constData(), &raw), SQLITE_OK);
        QStringList sql = LogSchema::createStatements().mid(0, 4); // the tables as 1.1 made them
        sql << QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) VALUES "
                              "('2026-12-10', 0, '豆浆', '饮料', 250, 16, '2026-12-10 07:30:00'), "
                              "('2026-12-10', 1, '米饭', '谷薯', 1e308, 116, '2026-12-10 12:00:00')")
            << QStringLiteral("INSERT INTO weight_log VALUES ('2026-12-10', 70)")
            << QStringLiteral("INSERT INTO profile (id, sex, birth_year, height_cm, activity) VALUES (1, 'F', 1990, 0, 1)");
        for (const QString &statement : std::as_const(sql))
            QCOMPARE(sqlite3_exec(raw, statement.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate today(2026, 12, 10);
    FoodLogView view(store, FoodChoices(), Clock([today] { return QDateTime(today, QTime(20, 0)); }));
    view.resize(450, 400);
    QCOMPARE(find<QLabel>(&view, "eatenKcal")->text(), QStringLiteral("已摄入 40 大卡"));
    auto *hint = find<QLabel>(&view, "skippedEntriesHint");
    QVERIFY(!hint->isHidden());
    QVERIFY2(hint->text().contains(QStringLiteral("1 条记录")), qPrintable(hint->text()));
    QVERIFY(!view.budget());
    QVERIFY2(find<QLabel>(&view, "budgetExplanation")->text().contains(QStringLiteral("算不出每日预算")),
             qPrintable(find<QLabel>(&view, "budgetExplanation")->text()));
    QVERIFY(!find<QLabel>(&view, "bmiText")->text().contains(QRegularExpression(QStringLiteral("\\d"))));

    view.showDay(today.addDays(-1));
    QVERIFY(hint->isHidden());
}

void FoodLogViewTest::chartGapsAndTwoTimesScale()
{
    // The chart alone, fed by the store: a rendering at 2x covers the whole
    // area with no exception; days without data stay empty.
    ProgramCopy copy;
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate today(2026, 12, 10);
    for (int back : {0, 1, 5, 20}) {
        FoodLogEntry e;
        e.day = today.addDays(-back);
        e.food = QStringLiteral("米饭");
        e.grams = 300 + back * 10;
        e.kcalPer100g = 116;
        store.addEntry(e);
    }
    store.setWeight(today.addDays(-3), 70.2);
    store.setWeight(today, 69.5);
    FoodLogView view(store, FoodChoices(), Clock([today] { return QDateTime(today, QTime(12, 0)); }));
    view.resize(450, 310);
    auto *chart = view.findChild<QWidget *>(QStringLiteral("intakeChart"));
    QVERIFY(chart);
    QImage image(chart->size() * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    chart->render(&image);
    QVERIFY(chart->accessibleDescription().contains(QStringLiteral("4 天有饮食记录")));
    QVERIFY(chart->accessibleDescription().contains(QStringLiteral("70.2 到 69.5")));
}

void FoodLogViewTest::quickLogFromCaloriePanel()
{
    ProgramCopy copy;
    auto w = open(copy);
    MessageBox::Recorder boxes;
    w->hotSpotClicked(QStringLiteral("c"));
    FoodPortionPanel *portion = foodPortionOf(*w);
    QuickLogButton *button = quickLogOf(*w);
    QCOMPARE(button->accessibleName(), QStringLiteral("记一笔"));

    // A food counted per piece has no amount line, and no 记一笔.
    portion->showFood(QStringLiteral("水果"), QStringLiteral("橙子"), QStringLiteral("60"), QStringLiteral("1个"));
    QVERIFY(!button->isVisible());

    portion->showFood(QStringLiteral("谷薯主食"), QStringLiteral("米饭"), QStringLiteral("116"), QStringLiteral("100克"));
    QVERIFY(button->isVisible());
    QLineEdit *amount = portion->amountField();
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("abc"));
    QVERIFY(!button->isEnabled()); // a bad amount logs nothing
    amount->selectAll();
    QTest::keyClicks(amount, QStringLiteral("150"));
    QVERIFY(button->isEnabled());
    button->click();
    QVERIFY2(boxes.asked().isEmpty(), qPrintable(boxes.asked().value(0).text));
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT food || ' ' || grams || ' ' || kcal_per_100g || ' ' || day FROM food_log")).toString(),
             QStringLiteral("米饭 150.0 116.0 %1").arg(QDate::currentDate().toString(Qt::ISODate)));
    QCOMPARE(button->text(), QStringLiteral("已记 ✓"));
    QVERIFY(button->accessibleDescription().contains(QStringLiteral("米饭 150 克")));
    QVERIFY(!foodLogViewOf(*w)); // logged without making the view

    // The view shows it when opened.
    press(w.get(), Qt::Key_6, Qt::ControlModifier);
    verifyNoProfileQuestion(*w);
    QCOMPARE(find<QLabel>(foodLogViewOf(*w), "eatenKcal")->text(), QStringLiteral("已摄入 174 大卡"));
}

void FoodLogViewTest::entriesAroundMidnightAndNewYear()
{
    ProgramCopy copy;
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    const FoodChoice apple{QStringLiteral("苹果"), QStringLiteral("水果"), 53, QString()};
    QDateTime now(QDate(2025, 12, 31), QTime(23, 59));
    FoodLogView view(store, FoodChoices(), Clock([&now] { return now; }));
    QVERIFY(view.logToday(apple, 100));
    now = QDateTime(QDate(2026, 1, 1), QTime(0, 0));
    QVERIFY(view.logToday(apple, 200));
    QCOMPARE(queryValue(copy.data(), QStringLiteral("SELECT group_concat(day || ' ' || meal || ' ' || grams, '; ') FROM food_log")).toString(),
             QStringLiteral("2025-12-31 3 100.0; 2026-01-01 3 200.0"));

    // The view still shows the day it showed; › steps into the new year, 今天 too.
    auto *title = view.findChild<QLabel *>(QStringLiteral("dayTitle"));
    QCOMPARE(view.day(), QDate(2025, 12, 31));
    QCOMPARE(find<QLabel>(&view, "eatenKcal")->text(), QStringLiteral("已摄入 53 大卡"));
    find<QToolButton>(&view, "dayForward")->click();
    QCOMPARE(title->text(), QStringLiteral("1月1日 周四"));
    QCOMPARE(find<QLabel>(&view, "eatenKcal")->text(), QStringLiteral("已摄入 106 大卡"));
    find<QToolButton>(&view, "dayBack")->click();
    QCOMPARE(title->text(), QStringLiteral("2025年12月31日 周三"));
    find<QToolButton>(&view, "dayToday")->click();
    QCOMPARE(view.day(), QDate(2026, 1, 1));
}

// Left open over midnight: the view showing today moves on to the new today (its meal with it);
// one showing another day stays on that day.
void FoodLogViewTest::openOverMidnight()
{
    ProgramCopy copy;
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    QDateTime now(QDate(2025, 12, 31), QTime(23, 59, 30));
    FoodLogView today(store, FoodChoices(), Clock([&now] { return now; }));
    FoodLogView earlier(store, FoodChoices(), Clock([&now] { return now; }));
    earlier.showDay(QDate(2025, 12, 20));
    for (FoodLogView *view : {&today, &earlier})
        find<QTimer>(view, "dayChangeTimer")->setInterval(5);
    // The view has looked at the clock (the spy hears the timer after the view does).
    QSignalSpy looked(find<QTimer>(&today, "dayChangeTimer"), &QTimer::timeout);
    QVERIFY(looked.wait());
    QCOMPARE(today.day(), QDate(2025, 12, 31));

    now = QDateTime(QDate(2026, 1, 1), QTime(0, 0, 30));
    QTRY_COMPARE(today.day(), QDate(2026, 1, 1));
    QCOMPARE(find<QComboBox>(&today, "logMeal")->currentIndex(), int(LogCalendar::defaultMeal(now.time())));
    QCOMPARE(earlier.day(), QDate(2025, 12, 20));
}

// A refresh reads the day, its totals, the weights and the chart in one read transaction, so
// they agree while another program writes; the tables are looked up only when the file's
// schema changed, not at every refresh.
void FoodLogViewTest::refreshReadsInOneTransaction()
{
    ProgramCopy copy;
    auto db = openDatabase(copy.data());
    FoodLogStore store(*db, DataLayout::layout());
    const QDate day(2026, 12, 10);
    FoodLogView view(store, FoodChoices(), Clock([day] { return QDateTime(day, QTime(12, 0)); }));
    store.setWeight(day, 70);
    view.refresh();

    QStringList statements;
    sqlite3_trace_v2(db->handle(), SQLITE_TRACE_STMT,
                     [](unsigned, void *list, void *, void *sql) {
                         static_cast<QStringList *>(list)->append(QString::fromUtf8(static_cast<const char *>(sql)));
                         return 0;
                     },
                     &statements);
    view.refresh();
    sqlite3_trace_v2(db->handle(), 0, nullptr, nullptr);
    QVERIFY(statements.size() > 4);
    QCOMPARE(statements.first(), QStringLiteral("BEGIN DEFERRED"));
    QCOMPARE(statements.last(), QStringLiteral("COMMIT"));
    QCOMPARE(statements.filter(QStringLiteral("BEGIN")).size(), 1);
    QCOMPARE(statements.filter(QStringLiteral("sqlite_master")).size(), 0);
}

// The About page's key table names every shortcut the window has, the food log's included, and
// the keys its lists and search fields take, each written as the page writes keys.
void FoodLogViewTest::aboutPageNamesEveryShortcut()
{
    QFile page(BinDir + QStringLiteral("/about.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const auto written = [](const QKeySequence &keys) {
        QStringList parts = keys.toString(QKeySequence::PortableText).split(QLatin1Char('+'));
        for (QString &part : parts)
            part = QStringLiteral("<kbd>%1</kbd>").arg(part);
        return parts.join(QLatin1Char('+'));
    };

    ProgramCopy copy;
    auto w = open(copy);
    QVERIFY(w);
    QVERIFY(openLog(*w));
    QList<QKeySequence> shortcuts;
    for (const QShortcut *shortcut : w->findChildren<QShortcut *>())
        shortcuts << shortcut->key();
    for (const QAction *action : w->findChildren<QAction *>())
        shortcuts << action->shortcuts();
    QVERIFY2(shortcuts.size() >= 10, qPrintable(QString::number(shortcuts.size())));
    QStringList keys;
    for (const QKeySequence &sequence : std::as_const(shortcuts))
        keys << written(sequence);
    // Keys that lists and fields take themselves (EntryList, FoodSearchBox, the message boxes).
    keys << QStringLiteral("<kbd>F2</kbd>") << QStringLiteral("<kbd>Delete</kbd>") << QStringLiteral("<kbd>Return</kbd>")
         << QStringLiteral("<kbd>Esc</kbd>");
    for (const QString &key : std::as_const(keys))
        QVERIFY2(html.contains(key), qPrintable(key));
}

QTEST_MAIN(FoodLogViewTest)
#include "test_foodlog_view.moc"
