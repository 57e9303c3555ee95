#include "Recipe.h"

#include "Database.h"
#include "FoodLookup.h"
#include "FoodTables.h"
#include "FoodText.h"
#include "FoodTree.h"
#include "Recordset.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScopeGuard>
#include <QTreeWidget>

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
                rs->Close();
        } catch (const DataError &) {
        }
        rs.reset();
        try {
            if (db)
                db->Close();
        } catch (const DataError &) {
        }
        db.reset();
    });
}

// Painting the tree while thousands of nodes go in would cost more than the
// insertion itself.
class UpdatesPaused
{
public:
    explicit UpdatesPaused(QWidget *widget) : m_widget(widget), m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesPaused() { m_widget->setUpdatesEnabled(m_wasEnabled); }
    UpdatesPaused(const UpdatesPaused &) = delete;
    UpdatesPaused &operator=(const UpdatesPaused &) = delete;

private:
    QWidget *m_widget;
    bool m_wasEnabled;
};

void expandAncestors(QTreeWidgetItem *node)
{
    for (QTreeWidgetItem *parent = node->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
}

} // namespace

Recipe::Recipe(QString databasePath, RecipeControls controls)
    : m_databasePath(std::move(databasePath)), m_controls(std::move(controls))
{
}

Recipe::~Recipe() = default;

void Recipe::BuildFoodTree()
{
    QTreeWidget *tree = m_controls.Tv;
    if (m_controls.List1)
        m_controls.List1->clear();
    const FoodTreeItems items(m_controls.Im2);

    // Up to the root, failures reach the caller: without the file or the
    // category table there is nothing to show.
    const auto closeRun = closeOnExit(gDb, gRs);
    gDb = OpenDatabase(m_databasePath);
    gRs = gDb->OpenRecordset(CategoryTable);

    UpdatesPaused updatesPaused(tree);
    tree->clear();
    QTreeWidgetItem *root = items.makeRoot();
    tree->addTopLevelItem(root);

    // From here on a part that fails is left out and the rest is built.
    const QStringList categoryNames = FoodTables::readCategoryNames(*gRs);
    if (m_controls.List1)
        m_controls.List1->addItems(categoryNames);

    FoodsByCategory foods;
    gRs.reset();
    try {
        gRs = gDb->OpenRecordset(FoodTable);
        foods = FoodTables::readFoods(*gRs);
    } catch (const DataError &) {
        // No food table: the categories stay without foods.
    }
    QTreeWidgetItem *lastNode = root;
    root->addChildren(items.makeCategories(categoryNames, foods, &lastNode));

    expandAncestors(lastNode);
    tree->scrollToItem(lastNode);
    if (root->childCount() > 0)
        root->child(root->childCount() - 1)->setExpanded(false);
    tree->setCurrentItem(root);
    if (m_controls.Text1)
        m_controls.Text1->setFocus();
}

void Recipe::ShowFoodInfo(const QString &category, const QString &food)
{
    lookUpFood(category, food, std::nullopt);
}

void Recipe::lookUpFood(const QString &category, const QString &food, std::optional<qint64> rowHint)
{
    const QString wantedCategory = FoodText::trimmed(category);
    const QString wantedFood = FoodText::trimmed(food);
    try {
        const auto closeRun = closeOnExit(gDb, gRs);
        gDb = OpenDatabase(m_databasePath);
        gRs = gDb->OpenRecordset(FoodTable);
        if (!FoodLookup::moveToFirstMatch(*gRs, wantedCategory, wantedFood, rowHint))
            return;
        const QString name = FoodText::trimmed(gRs->Fields(FoodTables::FoodNameField).text());
        // A row without calories shows none, rather than leaving the previous
        // food's figure beside this food's name.
        QString calories;
        try {
            calories = FoodText::trimmed(gRs->Fields(FoodTables::FoodKcalField).textOrEmpty());
        } catch (const DataError &) {
        }
        showFood(calories, name);
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
        m_controls.Label3->adjustSize();
    }
    if (m_controls.Text3)
        m_controls.Text3->setText(name);
}

void Recipe::TvNodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const QString text = node->text(0);
    if (text == FoodTree::rootText())
        return;
    if (FoodTree::key(node) == text)
        return; // a category node, or a food without a name
    QTreeWidgetItem *category = node->parent();
    if (!category)
        return;
    gFood = FoodText::trimmed(text);
    gCategory = FoodText::trimmed(category->text(0));
    std::optional<qint64> rowHint;
    if (node->type() == FoodNode::Type)
        rowHint = static_cast<const FoodNode *>(node)->firstRowId();
    lookUpFood(gCategory, gFood, rowHint);
}
