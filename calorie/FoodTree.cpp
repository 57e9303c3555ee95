#include "FoodTree.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QPixmap>
#include <QSet>
#include <QTreeWidgetItem>

#include <algorithm>
#include <numeric>
#include <vector>

namespace FoodTree {

QString rootKey()
{
    return QStringLiteral("AB");
}

QString rootText()
{
    return QStringLiteral("热量计算-食物分类");
}

QString key(const QTreeWidgetItem *node)
{
    return node->data(0, KeyRole).toString();
}

} // namespace FoodTree

namespace {

enum NodeImage { RootImage = 1, CategoryImage = 2, CategorySelectedImage = 3,
                 FoodImage = 4, FoodSelectedImage = 5 };

QTreeWidgetItem *makeNode(const QString &text, const QIcon &icon)
{
    auto *node = new QTreeWidgetItem(QStringList{text});
    node->setIcon(0, icon);
    return node;
}

// Below this many foods in a category, comparing names directly (some log2(n)
// comparisons per name with binary insertion) is quicker than making a sort
// key per name, which costs about as much as five comparisons of Chinese names;
// above it the keys win.
constexpr qsizetype SortKeyThreshold = 256;

// Stable binary insertion sort: the fewest comparisons for the small groups
// that most categories are, where each comparison is costly and moving an
// index is not.
template<typename Less>
void binaryInsertionSort(std::vector<qsizetype> &order, Less less)
{
    for (auto next = order.begin(); next != order.end(); ++next) {
        const qsizetype value = *next;
        // After every equal element already placed: keeps equal names in order.
        const auto place = std::upper_bound(order.begin(), next, value, less);
        std::move_backward(place, next, next + 1);
        *place = value;
    }
}

} // namespace

FoodNode::FoodNode(const QString &name, qint64 firstRowId)
    : QTreeWidgetItem(QStringList{name}, Type), m_firstRowId(firstRowId)
{
}

FoodTreeItems::FoodTreeItems(const QList<QIcon> &images)
    : m_images(images),
      m_categoryIcon(imageWithSelected(CategoryImage, CategorySelectedImage)),
      m_foodIcon(imageWithSelected(FoodImage, FoodSelectedImage)),
      m_collator(QLocale(QLocale::Chinese, QLocale::China))
{
    m_collator.setNumericMode(true);
}

QIcon FoodTreeItems::image(int number) const
{
    return m_images.value(number - 1);
}

// The tree shows an item's icon in Selected mode while the item is selected, so
// a second picture for the selected state goes into that mode of one icon.
QIcon FoodTreeItems::imageWithSelected(int normal, int selected) const
{
    const QIcon normalImage = image(normal);
    const QIcon selectedImage = image(selected);
    if (normalImage.isNull())
        return normalImage;
    QIcon icon;
    for (int side : {16, 32}) {
        icon.addPixmap(normalImage.pixmap(side, side), QIcon::Normal);
        if (!selectedImage.isNull())
            icon.addPixmap(selectedImage.pixmap(side, side), QIcon::Selected);
    }
    return icon;
}

QTreeWidgetItem *FoodTreeItems::makeRoot() const
{
    QTreeWidgetItem *root = makeNode(FoodTree::rootText(), image(RootImage));
    root->setData(0, FoodTree::KeyRole, FoodTree::rootKey());
    return root;
}

// Indexes into `rows` in the reader's order. Names the collator sees as equal
// are put in code point order, so that identical names end up side by side,
// and identical names keep their table order.
std::vector<qsizetype> FoodTreeItems::sortedOrder(const QVector<FoodRow> &rows) const
{
    std::vector<qsizetype> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    const auto tieBreak = [&](qsizetype a, qsizetype b) { return rows[a].name < rows[b].name; };
    if (rows.size() < SortKeyThreshold) {
        binaryInsertionSort(order, [&](qsizetype a, qsizetype b) {
            const int byCollator = m_collator.compare(rows[a].name, rows[b].name);
            return byCollator != 0 ? byCollator < 0 : tieBreak(a, b);
        });
    } else {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(rows.size());
        for (const FoodRow &row : rows)
            keys.push_back(m_collator.sortKey(row.name));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int byCollator = keys[a].compare(keys[b]);
            return byCollator != 0 ? byCollator < 0 : tieBreak(a, b);
        });
    }
    return order;
}

QList<QTreeWidgetItem *> FoodTreeItems::makeFoods(const QVector<FoodRow> &rows,
                                                  QTreeWidgetItem **lastInTableOrder) const
{
    QList<QTreeWidgetItem *> nodes;
    nodes.reserve(rows.size());
    const FoodRow *firstOfName = nullptr;
    for (qsizetype index : sortedOrder(rows)) {
        const FoodRow &row = rows[index];
        if (!firstOfName || firstOfName->name != row.name)
            firstOfName = &row;
        auto *node = new FoodNode(row.name, firstOfName->id);
        node->setIcon(0, m_foodIcon);
        if (index == rows.size() - 1)
            *lastInTableOrder = node;
        nodes.append(node);
    }
    return nodes;
}

QList<QTreeWidgetItem *> FoodTreeItems::makeCategories(const QStringList &categoryNames,
                                                       const FoodsByCategory &foods,
                                                       QTreeWidgetItem **lastNode) const
{
    QList<QTreeWidgetItem *> categories;
    QHash<QString, QTreeWidgetItem *> byName;
    QHash<QString, QTreeWidgetItem *> lastFoodOf;
    for (const QString &name : categoryNames) {
        // An empty name would make a node that looks like a food without a name.
        if (name.isEmpty() || byName.contains(name))
            continue;
        QTreeWidgetItem *category = makeNode(name, m_categoryIcon);
        category->setData(0, FoodTree::KeyRole, name);
        const auto rows = foods.constFind(name);
        if (rows != foods.cend() && !rows->isEmpty()) {
            QTreeWidgetItem *lastFood = nullptr;
            category->addChildren(makeFoods(*rows, &lastFood));
            lastFoodOf.insert(name, lastFood);
        }
        byName.insert(name, category);
        categories.append(category);
    }

    for (auto name = categoryNames.crbegin(); name != categoryNames.crend(); ++name) {
        if (QTreeWidgetItem *category = byName.value(*name)) {
            QTreeWidgetItem *lastFood = lastFoodOf.value(*name);
            *lastNode = lastFood ? lastFood : category;
            break;
        }
    }
    return categories;
}
