// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/FoodLogView.h"

#include "db/DataError.h"
#include "db/Transaction.h"
#include "exercise/ExerciseKcal.h"
#include "foodlog/BodyMassIndex.h"
#include "foodlog/EnergyBudget.h"
#include "foodlog/IntakeSeries.h"
#include "foodlog/LogCalendar.h"
#include "foodlog/DayKcal.h"
#include "foodlog/WaistMeasure.h"
#include "foodlog/WeightTarget.h"
#include "foodlog/WeightTrend.h"
#include "foodlog/ui/DateBar.h"
#include "foodlog/ui/DayTotals.h"
#include "foodlog/ui/EntryCommands.h"
#include "foodlog/ui/EntryList.h"
#include "foodlog/ui/FoodPicker.h"
#include "foodlog/ui/IntakeChart.h"
#include "foodlog/ui/MacroSummary.h"
#include "foodlog/ui/ProfileDialog.h"
#include "widgets/UndoBar.h"
#include "foodlog/ui/WeightPanel.h"
#include "widgets/LogWrite.h"
#include "widgets/MessageBox.h"

#include "foodlog/LogBounds.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const int ChartDays = 30;
const int RecentFoods = 30; // the user's own foods the search puts first
const char BoxTitle[] = "饮食记录";

} // namespace

FoodLogView::FoodLogView(FoodLogStore &store, FoodChoices foods, Clock clock, QWidget *parent)
    : QWidget(parent), m_store(store), m_exerciseStore(store.schema()), m_clock(std::move(clock))
{
    setObjectName(QStringLiteral("foodLogView"));
    setAccessibleName(QStringLiteral("饮食记录"));
    setAutoFillBackground(true);

    m_dateBar = new DateBar(this);
    m_totals = new DayTotals(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("foodLogTabs"));
    m_tabs->setAccessibleName(QStringLiteral("饮食记录的内容"));
    m_tabs->setDocumentMode(true);
    if (auto *pages = m_tabs->findChild<QStackedWidget *>())
        pages->setAccessibleName(QStringLiteral("饮食记录的页面"));

    auto *mealsPage = new QWidget(m_tabs);
    m_picker = new FoodPicker(mealsPage);
    m_picker->setFoods(std::move(foods));
    m_entries = new EntryList(mealsPage);
    m_undo = new UndoBar(mealsPage);
    // Rows another program or an older file left outside the log's ranges: said in words, as
    // they are neither listed nor counted.
    m_skippedHint = new QLabel(mealsPage);
    m_skippedHint->setObjectName(QStringLiteral("skippedEntriesHint"));
    m_skippedHint->setWordWrap(true);
    m_skippedHint->setForegroundRole(QPalette::WindowText);
    m_skippedHint->hide();
    auto *mealsLayout = new QVBoxLayout(mealsPage);
    mealsLayout->setContentsMargins(0, 4, 0, 0);
    mealsLayout->setSpacing(4);
    mealsLayout->addWidget(m_picker);
    mealsLayout->addWidget(m_entries, 1);
    m_macros = new MacroSummary(mealsPage);
    mealsLayout->addWidget(m_macros);
    mealsLayout->addWidget(m_skippedHint);
    mealsLayout->addWidget(m_undo);
    m_tabs->addTab(mealsPage, QStringLiteral("饮食"));
    // 快速记录… beside the page tabs, where it takes no line of the entries' room; on the 饮食
    // page only.
    m_tabs->setCornerWidget(m_picker->quickAddButton(), Qt::TopRightCorner);
    connect(m_tabs, &QTabWidget::currentChanged, this,
            [this](int page) { m_picker->quickAddButton()->setVisible(page == 0); });

    m_weight = new WeightPanel(m_tabs);
    // The page scrolls when its texts (the budget's working, the waist, the outlook) are longer
    // than the panel is high, so that none is cut off.
    m_weightPage = new QScrollArea(m_tabs);
    m_weightPage->setObjectName(QStringLiteral("weightPage"));
    m_weightPage->setAccessibleName(QStringLiteral("体重与预算"));
    m_weightPage->setFrameShape(QFrame::NoFrame);
    m_weightPage->setWidgetResizable(true);
    m_weightPage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_weightPage->setWidget(m_weight);
    m_weightPage->viewport()->setAutoFillBackground(false);
    m_tabs->addTab(m_weightPage, QStringLiteral("体重与预算"));
    auto *chartPage = new QWidget(m_tabs);
    m_chart = new IntakeChart(chartPage);
    // One chart: the switch puts the shares of protein, fat and carbohydrate in place of the kcal.
    auto *shares = new QCheckBox(QStringLiteral("显示三大营养素占比"), chartPage);
    shares->setObjectName(QStringLiteral("chartShowsShares"));
    shares->setAccessibleName(QStringLiteral("显示三大营养素占比"));
    connect(shares, &QCheckBox::toggled, m_chart, &IntakeChart::setShowShares);
    auto *chartLayout = new QVBoxLayout(chartPage);
    chartLayout->setContentsMargins(0, 2, 0, 0);
    chartLayout->setSpacing(2);
    chartLayout->addWidget(shares);
    chartLayout->addWidget(m_chart, 1);
    m_trendText = new QLabel(chartPage);
    m_trendText->setObjectName(QStringLiteral("trendText"));
    m_trendText->setAccessibleName(QStringLiteral("体重趋势"));
    m_trendText->setWordWrap(true);
    m_trendText->setTextFormat(Qt::PlainText);
    // Read with the keyboard too: Tab reaches it, and its text can be selected and copied.
    m_trendText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_trendText->setFocusPolicy(Qt::StrongFocus);
    chartLayout->addWidget(m_trendText);
    m_tabs->addTab(chartPage, QStringLiteral("30天趋势"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(3);
    layout->addWidget(m_dateBar);
    layout->addWidget(m_totals);
    layout->addWidget(m_tabs, 1);

    connect(m_dateBar, &DateBar::stepped, this, [this](int days) { showDay(m_day.addDays(days)); });
    connect(m_dateBar, &DateBar::todayAsked, this, [this] { showDay(today()); });
    connect(m_picker, &FoodPicker::addRequested, this, &FoodLogView::addChosenFood);
    // Queued: the list is rebuilt after the change, which must not happen while
    // its editor is still handing over the value.
    connect(m_entries, &EntryList::gramsChanged, this, &FoodLogView::changeGrams, Qt::QueuedConnection);
    connect(m_entries, &EntryList::deleteRequested, this, &FoodLogView::deleteEntry);
    connect(m_undo, &UndoBar::undoAsked, this, &FoodLogView::undoDelete);
    m_commands = new EntryCommands(m_store, m_clock, this);
    connect(m_entries, &EntryList::copyAsked, m_commands, &EntryCommands::copy);
    connect(m_entries, &EntryList::moveToMealAsked, m_commands, &EntryCommands::moveToMeal);
    connect(m_entries, &EntryList::moveToDayAsked, m_commands, &EntryCommands::moveToDay);
    connect(m_entries, &EntryList::quickAddAsked, this, [this](int meal) { m_commands->quickAdd(m_day, meal); });
    connect(m_picker, &FoodPicker::quickAddRequested, this, [this] { m_commands->quickAdd(m_day, m_picker->meal()); });
    connect(m_commands, &EntryCommands::changed, this, &FoodLogView::offerUndo);
    connect(m_weight, &WeightPanel::weightEntered, this, &FoodLogView::enterWeight);
    connect(m_weight, &WeightPanel::profileAsked, this, &FoodLogView::askProfile);
    connect(m_weight, &WeightPanel::waistEntered, this, &FoodLogView::enterWaist);
    connect(m_weight, &WeightPanel::waistRemoved, this, &FoodLogView::removeWaist);
    connect(m_totals, &DayTotals::profileAsked, this, &FoodLogView::askProfile);
    auto *undoKey = new QShortcut(QKeySequence::Undo, this);
    undoKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(undoKey, &QShortcut::activated, this, &FoodLogView::undoLastDelete);
    // The previous and next day from anywhere in the view: Alt+← / Alt+→, or Ctrl+PgUp / Ctrl+PgDn
    // (which take the place of the pages' own Ctrl+PgUp / Ctrl+PgDn; Ctrl+Tab still turns them).
    const auto dayKey = [this](const QKeySequence &keys, int days) {
        auto *key = new QShortcut(keys, this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, days] { showDay(m_day.addDays(days)); });
    };
    dayKey(QKeySequence(Qt::ALT | Qt::Key_Left), -1);
    dayKey(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
    dayKey(QKeySequence(Qt::ALT | Qt::Key_Right), 1);
    dayKey(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);

    const QDateTime now = m_clock.now();
    m_picker->setMeal(LogCalendar::defaultMeal(now.time()));
    showDay(LogCalendar::logDay(now));
    m_knownToday = today();

    // The window may stay open over midnight: once a minute the day is looked at again, from
    // the clock every reader of today's date uses.
    auto *dayChange = new QTimer(this);
    dayChange->setObjectName(QStringLiteral("dayChangeTimer"));
    dayChange->setInterval(60 * 1000);
    connect(dayChange, &QTimer::timeout, this, &FoodLogView::followDayChange);
    dayChange->start();
}

void FoodLogView::followDayChange()
{
    const QDate now = today();
    if (now == m_knownToday)
        return;
    const bool wasShowingToday = m_day == m_knownToday;
    m_knownToday = now;
    // A user looking at today goes on to the new today; one looking at another day stays there,
    // its date bar now saying how far that day is from the new today.
    if (wasShowingToday) {
        m_picker->setMeal(LogCalendar::defaultMeal(m_clock.now().time()));
        showDay(now);
    } else {
        refresh();
    }
}

void FoodLogView::setFoods(FoodChoices foods)
{
    m_picker->setFoods(std::move(foods));
}

void FoodLogView::setMeasures(HouseholdMeasures measures)
{
    m_picker->setMeasures(std::move(measures));
}

QDate FoodLogView::today() const
{
    return LogCalendar::logDay(m_clock.now());
}

void FoodLogView::showDay(const QDate &day)
{
    if (day != m_day)
        forgetDeleted();
    m_day = day;
    refresh();
}

void FoodLogView::refresh()
{
    const QDate now = today();
    m_dateBar->setDay(m_day, now);
    FoodLogStore::DayEntries entries;
    std::optional<double> kg;
    std::optional<DayWeight> latest;
    std::optional<DayWeight> nearest; // for the pages handed in: the next weight where none comes before
    std::optional<Profile> profile;
    QList<DayIntake> intake;
    QList<DayWeight> weights;
    QList<DayBurned> burned;
    QList<DayMacros> macros;
    QList<DayWaist> waists;
    std::optional<double> waist;
    ExerciseStore::DayEntries exercise;
    try {
        // One read transaction: the day's list, its totals and the chart agree with each other.
        const auto together = m_store.readTogether();
        entries = m_store.dayEntries(m_day);
        kg = m_store.weightOn(m_day);
        latest = m_store.latestWeight(m_day);
        profile = m_store.profile();
        intake = m_store.intakeBetween(m_day.addDays(1 - ChartDays), m_day);
        // From further back than the chart: the trend has settled by its first day.
        weights = m_store.weightsBetween(m_day.addDays(1 - ChartDays - IntakeSeries::TrendDays), m_day);
        waists = m_store.waistsBetween(m_day.addDays(1 - ChartDays), m_day);
        waist = m_store.waistOn(m_day);
        m_picker->setPreferredFoods(m_store.recentFoods(RecentFoods));
        burned = m_exerciseStore.burnedBetween(m_day.addDays(1 - ChartDays), m_day);
        macros = m_store.macrosBetween(m_day.addDays(1 - ChartDays), m_day);
        exercise = m_exerciseStore.dayEntries(m_day);
        nearest = m_store.nearestWeight(m_day);
        for (const LogPage &page : std::as_const(m_pages))
            page.read(m_day);
    } catch (const DataError &error) {
        // The store's messages name what could not be read (饮食记录, 个人资料) themselves.
        showProblem(error.message());
    }

    QString budgetText;
    QString bmiText;
    std::optional<double> needKcal; // resting energy × activity factor, for "照今天这样吃"
    m_budget.reset();
    if (!profile) {
        budgetText = QStringLiteral("还没有个人资料。点上方的“个人资料…”填写性别、出生年份、身高和活动水平，"
                                    "记录体重后即可算出每日预算。没有预算也可以照常记录饮食和体重。");
        bmiText = QStringLiteral("BMI：填写个人资料（身高）后显示");
    } else if (!LogBounds::heightInRange(profile->heightCm)) {
        // Written by another program or by hand: no figure is worked out from it.
        budgetText = QStringLiteral("个人资料中的身高（%1 厘米）不在 %2–%3 厘米之内，算不出每日预算。"
                                    "请点上方的“个人资料…”改正。")
                         .arg(profile->heightCm)
                         .arg(LogBounds::MinHeightCm)
                         .arg(LogBounds::MaxHeightCm);
        bmiText = QStringLiteral("BMI —（身高超出范围）");
    } else if (!latest) {
        budgetText = QStringLiteral("记录一次体重后即可算出每日预算。");
        bmiText = QStringLiteral("BMI：记录体重后显示");
    } else {
        const int age = EnergyBudget::ageIn(profile->birthYear, m_day.year());
        const EnergyBudget::Result r = EnergyBudget::compute(*profile, latest->kg, age);
        m_budget = r.kcal;
        needKcal = r.resting * r.factor;
        budgetText = QStringLiteral("每日预算 %1 大卡（按 %2 的体重 %3 千克）：\n%4")
                         .arg(r.kcal)
                         .arg(LogCalendar::dayTitle(latest->day, now))
                         .arg(latest->kg, 0, 'f', 1)
                         .arg(r.explanation);
        bmiText = QStringLiteral("BMI %1").arg(BodyMassIndex::describe(latest->kg, profile->heightCm));
        const QString target = WeightTarget::describe(latest->kg, profile->targetKg);
        if (!target.isEmpty())
            bmiText += QStringLiteral("　") + target;
    }

    const qint64 eaten = DayKcal::eaten(entries.entries);
    const qint64 burnedToday = ExerciseKcal::burned(exercise.entries);
    for (const LogPage &page : std::as_const(m_pages))
        page.show(LogDay{m_day, now, nearest});
    m_entries->setEntries(entries.entries);
    m_macros->showDay(MacroShares::of(entries.entries), latest ? std::optional<double>(latest->kg) : std::nullopt);
    m_skippedHint->setVisible(entries.outOfRange > 0);
    m_skippedHint->setText(QStringLiteral("这一天另有 %1 条记录的克数、热量或餐次超出范围（可能是别的程序写入的），"
                                          "没有列出，也没有计入合计。")
                               .arg(entries.outOfRange));
    m_skippedHint->setAccessibleName(m_skippedHint->text());
    m_totals->setTotals(eaten, burnedToday, m_budget, QStringLiteral("记录体重后算出预算"), !profile);
    m_weight->showDay(kg, bmiText, budgetText);
    m_weight->showWaist(waist, WaistMeasure::describe(waist, profile ? std::optional(profile->sex) : std::nullopt));
    m_chart->setData(IntakeSeries::build(m_day, ChartDays, intake, weights, burned, macros, waists), m_budget);

    // The trend and where it leads under the chart; where this day's eating leads beside the
    // target on the weight page.
    const WeightTrend trend = WeightTrend::of(weights, m_day);
    QString trendText = WeightTarget::outlook(trend, profile ? profile->targetKg : 0, m_day);
    if (trendText.isEmpty())
        trendText = QStringLiteral("记录体重后，这里显示体重的趋势和它的走向。");
    m_trendText->setText(trendText);
    m_trendText->setAccessibleDescription(trendText);
    m_chart->setOutlook(trendText);
    m_weight->showOutlook(needKcal && !entries.entries.isEmpty()
                              ? WeightTarget::eatingLikeToday(trend.latest().value_or(latest->kg), double(eaten),
                                                              double(burnedToday), *needKcal)
                              : QString());
}

bool FoodLogView::write(const std::function<void()> &change)
{
    return writeOrSay(this, QString::fromUtf8(BoxTitle), change);
}

void FoodLogView::showProblem(const QString &text)
{
    MessageBox::information(window(), QString::fromUtf8(BoxTitle), text);
}

void FoodLogView::addChosenFood()
{
    const std::optional<FoodChoice> food = m_picker->chosenFood();
    if (!food) {
        const QString typed = m_picker->searchField()->text().trimmed();
        if (typed.isEmpty()) {
            showProblem(QStringLiteral("请先在搜索框里输入并选择一种食物。"));
        } else if (MessageBox::question(window(), QString::fromUtf8(BoxTitle),
                                        QStringLiteral("没有找到“%1”，添加为自定义食物？").arg(MessageBox::quote(typed)),
                                        MessageBox::Cancel)
                   == MessageBox::Ok) {
            emit ownFoodAsked(typed);
            return;
        }
        m_picker->searchField()->setFocus();
        return;
    }
    const std::optional<int> grams = m_picker->enteredGrams();
    if (!grams) // the field says what is wrong, the keyboard in it
        return;
    FoodLogEntry entry;
    entry.day = m_day;
    entry.meal = m_picker->meal();
    entry.food = food->name;
    entry.category = food->category;
    entry.grams = *grams;
    entry.kcalPer100g = food->kcalPer100g;
    entry.nutrientsPer100g = food->nutrients;
    FoodLogEntry added;
    if (!write([&] { added = m_store.addEntry(entry); }))
        return;
    forgetDeleted();
    m_picker->clearChoice();
    refresh();
    m_entries->selectEntry(added.id);
}

FoodLogEntry FoodLogView::todaysEntry(const FoodChoice &food, double grams, const QDateTime &now)
{
    FoodLogEntry entry;
    entry.day = LogCalendar::logDay(now);
    entry.meal = LogCalendar::defaultMeal(now.time());
    entry.food = food.name;
    entry.category = food.category;
    entry.grams = grams;
    entry.kcalPer100g = food.kcalPer100g;
    entry.nutrientsPer100g = food.nutrients;
    return entry;
}

bool FoodLogView::logToday(const FoodChoice &food, double grams)
{
    const FoodLogEntry entry = todaysEntry(food, grams, m_clock.now());
    if (!write([&] { m_store.addEntry(entry); }))
        return false;
    if (m_lastChange && m_lastChange->day == entry.day)
        forgetDeleted();
    refresh();
    return true;
}

void FoodLogView::forgetDeleted()
{
    m_lastChange.reset();
    m_undo->withdraw();
}

void FoodLogView::offerUndo(const LogChange &change)
{
    forgetDeleted();
    m_lastChange = change;
    if (change.day != m_day)
        showDay(change.day); // forgets nothing: the change was made to be seen there
    else
        refresh();
    m_lastChange = change;
    m_undo->offerText(change.undoText);
    if (change.select)
        m_entries->selectEntry(change.select);
    m_entries->setFocus();
}

void FoodLogView::changeGrams(qint64 id, double grams)
{
    if (write([&] { m_store.setGrams(id, grams); }))
        forgetDeleted();
    refresh(); // shows what the file holds, changed or not
    m_entries->selectEntry(id);
}

void FoodLogView::deleteEntry(const FoodLogEntry &entry)
{
    if (!write([&] { m_store.removeEntry(entry.id); }))
        return;
    LogChange change;
    change.undoText = QStringLiteral("已删除“%1”").arg(entry.shownName());
    change.takeBack = [entry](FoodLogStore &store) { store.restoreEntry(entry); };
    change.day = entry.day;
    change.select = entry.id;
    m_lastChange = change;
    refresh();
    m_undo->offerText(change.undoText);
    m_entries->setFocus();
}

// Takes the last change back: a delete, a copy, a move, a quick entry.
void FoodLogView::undoDelete()
{
    if (!m_lastChange)
        return;
    const LogChange change = *m_lastChange;
    if (!write([&] { change.takeBack(m_store); }))
        return;
    forgetDeleted();
    // A move taken back: the entry is on its first day again, and that day is shown.
    const QDate shown = change.undoneDay.isValid() ? change.undoneDay : change.day;
    if (shown != m_day)
        showDay(shown);
    else
        refresh();
    if (!change.undoneText.isEmpty())
        m_undo->tell(change.undoneText);
    if (change.select)
        m_entries->selectEntry(change.select);
    m_entries->setFocus();
}

void FoodLogView::enterWeight(double kg)
{
    // The spin box keeps it within 20–400 kg; one decimal as shown.
    const double rounded = qRound(kg * 10) / 10.0;
    if (write([&] { m_store.setWeight(m_day, rounded); }))
        refresh();
}

void FoodLogView::enterWaist(double cm)
{
    // One decimal as shown.
    const double rounded = qRound(cm * 10) / 10.0;
    if (write([&] { m_store.setWaist(m_day, rounded); }))
        refresh();
}

void FoodLogView::removeWaist()
{
    if (write([&] { m_store.removeWaist(m_day); }))
        refresh();
}

void FoodLogView::askProfile()
{
    std::optional<Profile> current;
    try {
        current = m_store.profile();
    } catch (const DataError &) {
    }
    auto *dialog = new ProfileDialog(current, today().year(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const Profile p = dialog->profile();
        if (write([&] { m_store.setProfile(p); }))
            refresh();
    });
    dialog->open();
}

void FoodLogView::undoLastDelete()
{
    for (const LogPage &page : std::as_const(m_pages)) {
        if (m_tabs->currentWidget() == page.widget && page.undoOffered()) {
            page.undo();
            return;
        }
    }
    if (m_undo->isOffered())
        undoDelete();
}

void FoodLogView::addPage(LogPage page)
{
    m_tabs->insertTab(m_tabs->indexOf(m_weightPage), page.widget, page.title);
    m_pages.append(std::move(page));
    refresh();
}

void FoodLogView::focusPage(const QWidget *widget)
{
    for (const LogPage &page : std::as_const(m_pages)) {
        if (page.widget == widget) {
            m_tabs->setCurrentWidget(page.widget);
            page.focus();
        }
    }
}

void FoodLogView::focusSearch()
{
    m_tabs->setCurrentIndex(0);
    m_picker->searchField()->setFocus(Qt::ShortcutFocusReason);
}
