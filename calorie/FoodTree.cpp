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

} // namespace

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

QList<QTreeWidgetItem *> FoodTreeItems::makeFoods(const QVector<FoodRow> &rows,
                                                  QTreeWidgetItem **lastInTableOrder) const
{
    // Sort keys make each comparison a plain byte compare; the stable sort keeps
    // names the collator sees as equal in table order.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const FoodRow &row : rows)
        keys.push_back(m_collator.sortKey(row.name));
    std::vector<qsizetype> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return keys[a].compare(keys[b]) < 0;
    });

    QList<QTreeWidgetItem *> nodes;
    nodes.reserve(rows.size());
    for (qsizetype index : order) {
        QTreeWidgetItem *node = makeNode(rows[index].name, m_foodIcon);
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
