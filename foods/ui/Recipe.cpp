// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/Recipe.h"

#include "db/Database.h"
#include "foods/FoodLookup.h"
#include "foods/FoodTables.h"
#include "foods/FoodText.h"
#include "foods/FoodIndex.h"
#include "foods/ui/FoodTreeModel.h"
#include "db/Recordset.h"

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

// gDb and gRs are open only within one run of a procedure: the guard this
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

Recipe::Recipe(QString databasePath, RecipeControls controls, QObject *parent)
    : QObject(parent), m_databasePath(std::move(databasePath)), m_controls(std::move(controls))
{
}

Recipe::~Recipe() = default;

void Recipe::BuildFoodTree()
{
    QTreeView *tree = m_controls.Tv;
    if (m_controls.List1)
        m_controls.List1->clear();

    // Up to the root, failures reach the caller: without the file or the
    // category table there is nothing to show.
    QStringList categoryNames;
    {
        const auto closeRun = closeOnExit(gDb, gRs);
        gDb = openDatabase(m_databasePath);
        gRs = gDb->openRecordset(CategoryTable);
        attachModel();
        // From here on a part that fails is left out and the rest is built.
        categoryNames = FoodTables::readCategoryNames(*gRs);
    }
    if (m_controls.List1)
        m_controls.List1->addItems(categoryNames);
    const QStringList categories = distinctCategories(categoryNames);
    m_model->reset(categories, [this, categories] { return readFoods(categories); });

    // The root open, every category closed, the root current and selected.
    const QModelIndex root = m_model->root();
    tree->expand(root);
    tree->setCurrentIndex(root);
    if (m_controls.Text1)
        m_controls.Text1->setFocus();
    emit foodTreeBuilt();
}

// Table 01 in one pass; without the table (or the file) the categories stay
// without foods.
FoodIndex Recipe::readFoods(const QStringList &categories) const
{
    try {
        const std::unique_ptr<Database> db = openDatabase(m_databasePath);
        const std::unique_ptr<Recordset> foods = db->openRecordset(FoodTable);
        return FoodTables::readFoodIndex(*foods, categories);
    } catch (const std::exception &) {
        return FoodIndex::Builder(int(categories.size())).finish();
    }
}

void Recipe::attachModel()
{
    QTreeView *tree = m_controls.Tv;
    if (m_model)
        return;
    m_model = new FoodTreeModel(m_controls.Im2, this);
    tree->setModel(m_model);
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                m_currentChangedSincePress = true;
                if (current.isValid())
                    TvNodeClick(current);
            });
    connect(tree, &QAbstractItemView::clicked, this, [this](const QModelIndex &node) {
        if (!m_currentChangedSincePress)
            TvNodeClick(node);
    });
    tree->viewport()->installEventFilter(this);
}

// Moving through the tree with the keyboard shows the food just as a click
// does. A mouse press on another node makes it current, which shows it; the
// click that ends the press then shows nothing more. A click on the current
// node shows it again.
bool Recipe::eventFilter(QObject *watched, QEvent *event)
{
    if (m_controls.Tv && watched == m_controls.Tv->viewport()
        && event->type() == QEvent::MouseButtonPress)
        m_currentChangedSincePress = false;
    return QObject::eventFilter(watched, event);
}

void Recipe::revealFood(const QString &category, qint64 rowId)
{
    if (!m_model)
        return;
    const QModelIndex food = m_model->foodOfRow(m_model->category(FoodText::trimmed(category)), rowId);
    if (!food.isValid())
        return;
    QTreeView *tree = m_controls.Tv;
    tree->expand(food.parent());
    // In the middle of the view, with its neighbours around it.
    const auto scroll = [tree, food] { tree->scrollTo(food, QAbstractItemView::PositionAtCenter); };
    if (tree->currentIndex() == food) {
        scroll();
        TvNodeClick(food);
        return;
    }
    tree->setCurrentIndex(food); // shows the food, as a keyboard move does
    scroll();
}

void Recipe::ShowFoodInfo(const QString &category, const QString &food)
{
    lookUpFood(category, food, std::nullopt);
}

void Recipe::lookUpFood(const QString &category, const QString &food, std::optional<qint64> rowHint)
{
    const QString wantedCategory = FoodText::trimmed(category);
    const QString wantedFood = FoodText::trimmed(food);
    emit foodLookedUp(wantedCategory, wantedFood);
    try {
        const auto closeRun = closeOnExit(gDb, gRs);
        gDb = openDatabase(m_databasePath);
        gRs = gDb->openRecordset(FoodTable);
        if (!FoodLookup::moveToFirstMatch(*gRs, wantedCategory, wantedFood, rowHint))
            return;
        const QString name = FoodText::trimmed(gRs->field(FoodTables::FoodNameField).text());
        // A row without calories shows none, rather than leaving the previous
        // food's figure beside this food's name.
        QString calories;
        try {
            calories = FoodText::trimmed(gRs->field(FoodTables::FoodKcalField).textOrEmpty());
        } catch (const DataError &) {
        }
        QString portion;
        try {
            portion = FoodText::trimmed(gRs->field(FoodTables::FoodPortionField).textOrEmpty());
        } catch (const DataError &) {
        }
        showFood(calories, name);
        emit foodShown(wantedCategory, name, calories, portion);
    } catch (const std::exception &) {
        // The lookup shows nothing when the file or the table cannot be read.
    }
}

void Recipe::showFood(const QString &calories, const QString &name)
{
    if (m_controls.Label3) {
        m_controls.Label3->setText(calories);
        // A screen reader reads the figure with its unit, or that there is none.
        m_controls.Label3->setAccessibleName(calories.isEmpty()
                                                 ? QStringLiteral("热量不详")
                                                 : calories + QStringLiteral(" 大卡"));
    }
    if (m_controls.Text3)
        m_controls.Text3->setText(name);
}

void Recipe::TvNodeClick(const QModelIndex &node)
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
    m_food = FoodText::trimmed(text);
    m_category = FoodText::trimmed(category.data(Qt::DisplayRole).toString());
    lookUpFood(m_category, m_food, m_model ? m_model->firstRowId(node) : std::nullopt);
}
