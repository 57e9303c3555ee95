// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/CalorieLookup.h"

#include "db/Database.h"
#include "db/Recordset.h"
#include "foods/OwnFood.h"

#include <QContextMenuEvent>
#include <QMenu>
#include "foods/FoodIndex.h"
#include "foods/FoodLookup.h"
#include "foods/FoodTables.h"
#include "foods/FoodText.h"
#include "foods/ui/FoodTreeModel.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QSet>
#include <QTreeView>

namespace {

const QString CategoryTable = QStringLiteral("02");
const QString FoodTable = QStringLiteral("01");

// m_database and m_records are open only within one run of a procedure: the guard this
// returns closes the cursor, then the connection, however the run ends.
auto closeOnExit(std::unique_ptr<Database> &db, std::unique_ptr<Recordset> &rs)
{
    return qScopeGuard([&db, &rs] {
        try {
            if (rs)
                rs->close();
        } catch (const DataError &) {
        }
        rs.reset();
        try {
            if (db)
                db->close();
        } catch (const DataError &) {
        }
        db.reset();
    });
}

// One node per distinct category name, in the order given; an empty name would
// make a node that looks like a food without a name.
QStringList distinctCategories(const QStringList &names)
{
    QStringList categories;
    QSet<QString> seen;
    seen.reserve(names.size());
    for (const QString &name : names) {
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            categories.append(name);
        }
    }
    return categories;
}

} // namespace

CalorieLookup::CalorieLookup(QString databasePath, CalorieLookupControls controls, QObject *parent)
    : QObject(parent), m_databasePath(std::move(databasePath)), m_controls(std::move(controls))
{
}

CalorieLookup::~CalorieLookup() = default;

void CalorieLookup::buildFoodTree()
{
    QTreeView *tree = m_controls.foodTree;
    if (m_controls.categoryList)
        m_controls.categoryList->clear();

    // Up to the root, failures reach the caller: without the file or the
    // category table there is nothing to show.
    QStringList categoryNames;
    {
        const auto closeRun = closeOnExit(m_database, m_records);
        m_database = openDatabase(m_databasePath);
        m_records = m_database->openRecordset(CategoryTable);
        attachModel();
        // From here on a part that fails is left out and the rest is built.
        categoryNames = FoodTables::readCategoryNames(*m_records);
    }
    if (m_controls.categoryList)
        m_controls.categoryList->addItems(categoryNames);
    QStringList categories = distinctCategories(categoryNames);
    // The user's own foods in a category of their own (我的食物) add it after the shipped ones.
    for (const OwnFood &own : readOwnFoods()) {
        if (!categories.contains(own.category))
            categories << own.category;
    }
    m_model->reset(categories, [this, categories] { return readFoods(categories); });

    // The root open, every category closed, the root current and selected.
    const QModelIndex root = m_model->root();
    tree->expand(root);
    tree->setCurrentIndex(root);
    if (m_controls.titleView)
        m_controls.titleView->setFocus();
    emit foodTreeBuilt();
}

// Table 01 in one pass; without the table (or the file) the categories stay
// without foods.
FoodIndex CalorieLookup::readFoods(const QStringList &categories) const
{
    try {
        const std::unique_ptr<Database> db = openDatabase(m_databasePath);
        const std::unique_ptr<Recordset> foods = db->openRecordset(FoodTable);
        return FoodTables::readFoodIndex(*foods, categories, readOwnFoods());
    } catch (const std::exception &) {
        return FoodIndex::Builder(int(categories.size())).finish();
    }
}

QVector<OwnFood> CalorieLookup::readOwnFoods() const
{
    try {
        const std::unique_ptr<Database> db = openDatabase(m_databasePath);
        return OwnFoods::read(*db);
    } catch (const DataError &) {
        return {};
    }
}

void CalorieLookup::attachModel()
{
    QTreeView *tree = m_controls.foodTree;
    if (m_model)
        return;
    m_model = new FoodTreeModel(m_controls.treeIcons, this);
    tree->setModel(m_model);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                m_currentChangedSincePress = true;
                if (current.isValid())
                    onTreeNodeClicked(current);
            });
    connect(tree, &QAbstractItemView::clicked, this, [this](const QModelIndex &node) {
        if (!m_currentChangedSincePress)
            onTreeNodeClicked(node);
    });
    tree->viewport()->installEventFilter(this);
}

// Moving through the tree with the keyboard shows the food just as a click
// does. A mouse press on another node makes it current, which shows it; the
// click that ends the press then shows nothing more. A click on the current
// node shows it again.
bool CalorieLookup::eventFilter(QObject *watched, QEvent *event)
{
    // A right click on one of the user's own foods offers to change it (the window menu has the
    // same command for the food on show, for the keyboard).
    if (m_controls.foodTree && m_model && watched == m_controls.foodTree->viewport()
        && event->type() == QEvent::ContextMenu) {
        const auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        const QModelIndex node = m_controls.foodTree->indexAt(menuEvent->pos());
        const std::optional<qint64> row = node.isValid() ? m_model->firstRowId(node) : std::nullopt;
        if (row && *row < 0) {
            QString name = node.data(Qt::DisplayRole).toString();
            name.chop(OwnFood::mark().size());
            QMenu menu(m_controls.foodTree);
            menu.setAccessibleName(QStringLiteral("自定义食物"));
            QAction *edit = menu.addAction(QStringLiteral("修改自定义食物…"));
            if (menu.exec(menuEvent->globalPos()) == edit)
                emit ownFoodEditAsked(name);
            return true;
        }
    }
    if (m_controls.foodTree && watched == m_controls.foodTree->viewport()
        && event->type() == QEvent::MouseButtonPress)
        m_currentChangedSincePress = false;
    return QObject::eventFilter(watched, event);
}

void CalorieLookup::revealFood(const QString &category, qint64 rowId)
{
    if (!m_model)
        return;
    const QModelIndex food = m_model->foodOfRow(m_model->category(FoodText::name(category)), rowId);
    if (!food.isValid())
        return;
    QTreeView *tree = m_controls.foodTree;
    tree->expand(food.parent());
    // In the middle of the view, with its neighbours around it.
    const auto scroll = [tree, food] { tree->scrollTo(food, QAbstractItemView::PositionAtCenter); };
    if (tree->currentIndex() == food) {
        scroll();
        onTreeNodeClicked(food);
        return;
    }
    tree->setCurrentIndex(food); // shows the food, as a keyboard move does
    scroll();
}

void CalorieLookup::revealCategory(const QString &category)
{
    if (!m_model)
        return;
    const QModelIndex node = m_model->category(FoodText::name(category));
    if (!node.isValid())
        return;
    QTreeView *tree = m_controls.foodTree;
    tree->setCurrentIndex(node);
    tree->expand(node);
    tree->scrollTo(node, QAbstractItemView::PositionAtTop);
    onTreeNodeClicked(node);
}

void CalorieLookup::showFoodInfo(const QString &category, const QString &food)
{
    lookUpFood(category, food, std::nullopt);
}

void CalorieLookup::lookUpFood(const QString &category, const QString &food, std::optional<qint64> rowHint)
{
    const QString wantedCategory = FoodText::name(category);
    const QString wantedFood = FoodText::name(food);
    emit foodLookedUp(wantedCategory, wantedFood);
    m_ownFoodOnShow.clear();
    if (rowHint && *rowHint < 0) {
        showOwnFood(wantedCategory, -*rowHint);
        return;
    }
    try {
        const auto closeRun = closeOnExit(m_database, m_records);
        m_database = openDatabase(m_databasePath);
        m_records = m_database->openRecordset(FoodTable);
        if (!FoodLookup::moveToFirstMatch(*m_records, wantedCategory, wantedFood, rowHint))
            return;
        const QString name = FoodText::name(m_records->field(FoodTables::FoodNameField).text());
        // A row without calories shows none, rather than leaving the previous
        // food's figure beside this food's name.
        QString calories;
        try {
            calories = FoodText::trimmed(m_records->field(FoodTables::FoodKcalField).textOrEmpty());
        } catch (const DataError &) {
        }
        QString portion;
        try {
            portion = FoodText::trimmed(m_records->field(FoodTables::FoodPortionField).textOrEmpty());
        } catch (const DataError &) {
        }
        showFood(calories, name);
        emit foodShown(wantedCategory, name, calories, portion);
    } catch (const std::exception &) {
        // The lookup shows nothing when the file or the table cannot be read.
    }
}

void CalorieLookup::showOwnFood(const QString &category, qint64 id)
{
    for (const OwnFood &own : readOwnFoods()) {
        if (own.id != id)
            continue;
        const QString calories = QString::number(own.kcalPer100g);
        m_ownFoodOnShow = own.name;
        showFood(calories, own.name);
        emit foodShown(category, own.name, calories, QStringLiteral("100克"));
        return;
    }
}

void CalorieLookup::showFood(const QString &calories, const QString &name)
{
    if (m_controls.kcalFigure) {
        m_controls.kcalFigure->setText(calories);
        // A screen reader reads the figure with its unit, or that there is none.
        m_controls.kcalFigure->setAccessibleName(calories.isEmpty()
                                                 ? QStringLiteral("热量不详")
                                                 : calories + QStringLiteral(" 大卡"));
    }
    if (m_controls.foodNameBox)
        m_controls.foodNameBox->setText(name);
}

void CalorieLookup::onTreeNodeClicked(const QModelIndex &node)
{
    if (!node.isValid())
        return;
    const QString text = node.data(Qt::DisplayRole).toString();
    if (text == FoodTree::rootText())
        return;
    if (FoodTree::key(node) == text)
        return; // a category node, or a food without a name
    const QModelIndex category = node.parent();
    if (!category.isValid())
        return;
    m_food = FoodText::name(text);
    m_category = FoodText::name(category.data(Qt::DisplayRole).toString());
    lookUpFood(m_category, m_food, m_model ? m_model->firstRowId(node) : std::nullopt);
}
