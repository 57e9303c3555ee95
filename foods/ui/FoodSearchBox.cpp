// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/FoodSearchBox.h"

#include "foods/OwnFood.h"

#include "db/DataError.h"
#include "foods/ui/PanelColumn.h"
#include "widgets/ClearButton.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {

// Places in the panel, in pixels: the right-hand column, at its foot. The results open upwards
// from the field, over the figures of the food on show (up to under its amount line), so that
// eight of them show; a food chosen closes them, and its figures are in view again.
constexpr int ColumnLeft = PanelColumn::Left;
constexpr int ColumnWidth = PanelColumn::Right - PanelColumn::Left;
constexpr int ListHighest = 92;  // under the amount line
constexpr int FieldTop = 222;
constexpr int FieldHeight = 22;
constexpr int ListBottom = FieldTop - 2;
constexpr int ResultsShown = 8;
constexpr int OwnFoodTop = FieldTop + FieldHeight + 4; // 添加自定义食物, under the field
constexpr int OwnFoodHeight = 22;

constexpr int FoodRole = Qt::UserRole; // position in the index's foods; absent on the "nothing found" line
constexpr int CategoryRole = Qt::UserRole + 1; // a category's name, on its line
constexpr int RecentShown = 10; // foods listed when the field is entered empty

} // namespace

FoodSearchBox::FoodSearchBox(QWidget *panel, FoodReader readFoods, QObject *parent)
    : QObject(parent), m_panel(panel), m_readFoods(std::move(readFoods))
{
    m_field = new QLineEdit(panel);
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setAccessibleName(QStringLiteral("搜索食物"));
    m_field->setPlaceholderText(QStringLiteral("搜索食物：名称或拼音"));
    // The clear button (its picture is looked for in the icon theme, on disk)
    // comes when the panel first opens, not at the window's start.
    m_field->setGeometry(ColumnLeft, FieldTop, ColumnWidth, FieldHeight);

    m_results = new QListWidget(panel);
    m_results->setObjectName(QStringLiteral("searchResults"));
    m_results->setAccessibleName(QStringLiteral("搜索结果"));
    m_results->setGeometry(ColumnLeft, ListHighest, ColumnWidth, ListBottom - ListHighest);
    m_results->setUniformItemSizes(true);
    m_results->setTextElideMode(Qt::ElideMiddle);
    m_results->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_results->hide();

    // A food the table does not have becomes one of the user's own; the typed name goes with
    // it when the search found nothing.
    m_addOwnFood = new QPushButton(QStringLiteral("添加自定义食物"), panel);
    m_addOwnFood->setObjectName(QStringLiteral("addOwnFood"));
    m_addOwnFood->setAccessibleName(QStringLiteral("添加自定义食物"));
    m_addOwnFood->setGeometry(ColumnLeft, OwnFoodTop, ColumnWidth, OwnFoodHeight);
    connect(m_addOwnFood, &QPushButton::clicked, this, [this] {
        const bool nothingFound = m_results->isVisible() && m_results->count() > 0
            && !m_results->item(0)->data(FoodRole).isValid() && m_index;
        emit ownFoodAsked(nothingFound ? m_field->text().trimmed() : QString());
    });

    connect(m_field, &QLineEdit::textChanged, this, &FoodSearchBox::showResults);
    connect(m_results, &QListWidget::itemClicked, this, &FoodSearchBox::choose);
    m_field->installEventFilter(this);
    m_results->installEventFilter(this);
    panel->installEventFilter(this);
}

FoodSearchBox::FoodReader FoodSearchBox::indexing(std::function<QVector<SearchableFood>()> readFoods)
{
    return [readFoods = std::move(readFoods)] { return std::make_shared<const FoodSearchIndex>(readFoods()); };
}

void FoodSearchBox::prepare()
{
    index();
}

const FoodSearchIndex &FoodSearchBox::index()
{
    if (!m_index) {
        try {
            m_index = m_readFoods();
            m_readProblem.clear();
        } catch (const DataError &error) {
            m_readProblem = error.message();
        } catch (const std::exception &) {
            m_readProblem = QStringLiteral("数据文件无法读取。");
        }
    }
    // A file that cannot be read now is tried again at the next search.
    static const FoodSearchIndex nothing;
    return m_index ? *m_index : nothing;
}

void FoodSearchBox::setSearchOptions(FoodSearchIndex::Options options)
{
    if (options.preferredFoods.isEmpty()) // the user's own foods stay until the field is entered again
        options.preferredFoods = m_options.preferredFoods;
    m_options = options;
    if (!m_field->text().isEmpty())
        showResults();
}

void FoodSearchBox::setPreferredFoods(std::function<QStringList()> preferred)
{
    m_preferred = std::move(preferred);
}

// Nothing typed: the user's own foods, eaten most recently first, nothing chosen yet.
void FoodSearchBox::showPreferred()
{
    m_results->clear();
    const FoodSearchIndex &searched = index();
    const QVector<int> foods = searched.foodsNamed(m_options.preferredFoods);
    for (int food : foods.mid(0, RecentShown)) {
        auto *item = new QListWidgetItem(resultText(searched.foods().at(food), QString()), m_results);
        item->setData(FoodRole, food);
        item->setToolTip(item->text());
    }
    if (m_results->count() > 0)
        openResults();
    else
        m_results->hide();
}

void FoodSearchBox::forgetFoods()
{
    m_index.reset();
    m_field->clear();
    m_results->clear();
    m_results->hide();
}

void FoodSearchBox::focusField()
{
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

QString FoodSearchBox::resultText(const SearchableFood &food, const QString &foundBy)
{
    QString name = food.own ? food.name + OwnFood::mark() : food.name;
    if (!foundBy.isEmpty())
        name += QStringLiteral("（%1）").arg(foundBy);
    const QString kcal = food.kcal.isEmpty() ? QStringLiteral("热量不详") : food.kcal + QStringLiteral(" 大卡");
    return QStringLiteral("%1 · %2 · %3").arg(name, food.category, kcal);
}

void FoodSearchBox::showResults()
{
    const QString query = m_field->text().trimmed();
    m_results->clear();
    if (query.isEmpty()) {
        m_results->hide();
        return;
    }
    const FoodSearchIndex &searched = index();
    // A category the query names wholly comes first, as a result of its own.
    const QStringList categories = searched.matchingCategories(query, m_options);
    for (const QString &category : categories) {
        auto *item = new QListWidgetItem(QStringLiteral("%1（分类）").arg(category), m_results);
        item->setData(FoodRole, -1);
        item->setData(CategoryRole, category);
        item->setToolTip(item->text());
    }
    const QVector<FoodSearchHit> hits = searched.search(query, FoodSearchIndex::DefaultLimit, m_options);
    for (const FoodSearchHit &hit : hits) {
        const SearchableFood &food = searched.foods().at(hit.food);
        // An other name that matched is shown: 土豆（马铃薯）.
        auto *item = new QListWidgetItem(resultText(food, hit.alias), m_results);
        item->setData(FoodRole, hit.food);
        item->setToolTip(item->text());
    }
    if (!m_index) {
        auto *item = new QListWidgetItem(QStringLiteral("无法搜索食物：%1").arg(m_readProblem), m_results);
        item->setFlags(Qt::ItemIsEnabled);
        item->setToolTip(item->text());
    } else if (hits.isEmpty() && categories.isEmpty()) {
        auto *item = new QListWidgetItem(QStringLiteral("没有找到“%1”").arg(query), m_results);
        item->setFlags(Qt::ItemIsEnabled); // not selectable, nothing to choose
    } else {
        m_results->setCurrentRow(0);
    }
    openResults();
}

void FoodSearchBox::openResults()
{
    // As high as eight rows (and the frame) need, no higher than under the amount line.
    const int row = m_results->count() > 0 ? m_results->sizeHintForRow(0) : m_results->fontMetrics().height();
    const int wanted = ResultsShown * row + 2 * m_results->frameWidth();
    const int top = std::max(ListHighest, ListBottom - wanted);
    m_results->setGeometry(ColumnLeft, top, ColumnWidth, ListBottom - top);
    m_results->raise();
    m_results->show();
}

void FoodSearchBox::moveCurrent(int step)
{
    if (!m_results->isVisible() && m_results->count() > 0) {
        openResults(); // closed after a choice: the same results again
        return;
    }
    if (!m_results->isVisible() || m_results->count() == 0)
        return;
    if (!m_results->item(0)->data(FoodRole).isValid())
        return; // only the "nothing found" line
    const int row = qBound(0, m_results->currentRow() + step, m_results->count() - 1);
    m_results->setCurrentRow(row);
    m_results->scrollToItem(m_results->item(row));
}

void FoodSearchBox::choose(QListWidgetItem *item)
{
    if (!item || !m_index)
        return;
    const QVariant food = item->data(FoodRole);
    if (!food.isValid())
        return;
    // Closed, so that what was chosen is in view; Down opens the results again.
    m_results->hide();
    if (item->data(CategoryRole).isValid()) {
        emit categoryChosen(item->data(CategoryRole).toString());
        return;
    }
    const SearchableFood &chosen = m_index->foods().at(food.toInt());
    emit foodChosen(chosen.category, chosen.rowId);
}

void FoodSearchBox::clear()
{
    m_field->clear();
    m_results->hide();
    m_field->setFocus(Qt::OtherFocusReason);
}

bool FoodSearchBox::eventFilter(QObject *watched, QEvent *event)
{
    // The panel opens: the foods are indexed right after it is drawn, so that
    // neither the window's start nor the first keystroke waits for them.
    if (watched == m_panel && event->type() == QEvent::Show) {
        enableNamedClearButton(m_field);
        if (!m_index)
            QTimer::singleShot(0, this, &FoodSearchBox::prepare);
        return false;
    }
    if (watched == m_field && event->type() == QEvent::FocusIn) {
        if (m_preferred)
            m_options.preferredFoods = m_preferred();
        if (m_field->text().trimmed().isEmpty())
            showPreferred();
        return false;
    }
    // The keyboard gone elsewhere in the panel (the amount, the tree): the results close, so that
    // they cover none of the figures it works with. 添加自定义食物 keeps them: it reads them.
    if ((watched == m_field || watched == m_results) && event->type() == QEvent::FocusOut) {
        QTimer::singleShot(0, this, [this] {
            QWidget *now = QApplication::focusWidget();
            if (now && now != m_field && now != m_results && now != m_addOwnFood
                && !m_results->isAncestorOf(now))
                m_results->hide();
        });
        return false;
    }
    if (event->type() != QEvent::KeyPress || (watched != m_field && watched != m_results))
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        if (m_field->text().isEmpty() && !m_results->isVisible())
            return false;
        clear();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_results->isVisible())
            return false;
        choose(m_results->currentItem());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (watched != m_field)
            return false; // the list moves by itself
        moveCurrent(key->key() == Qt::Key_Up ? -1 : key->key() == Qt::Key_Down ? 1
                    : key->key() == Qt::Key_PageUp ? -8 : 8);
        return true;
    default:
        return false;
    }
}
