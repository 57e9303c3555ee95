#pragma once

#include "FoodTables.h"

#include <QCollator>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>
#include <QTreeWidgetItem>

// The shape of the food tree: one root, a node per category under it, a node
// per food under its category. The kinds are told apart by key and text: the
// root has its fixed key and text, a category node's key equals its text, and a
// food node has no key (an empty one).
namespace FoodTree {

// A node's key is kept in this data role of column 0.
constexpr int KeyRole = Qt::UserRole;

QString rootKey();  // "AB"
QString rootText(); // "热量计算-食物分类"

// The node's key; empty for a node made without one.
QString key(const QTreeWidgetItem *node);

} // namespace FoodTree

// A food's node. It also knows the first row of the food table that held its
// category and name when the tree was made, so that a click can go straight to
// that row instead of walking the table.
class FoodNode : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    FoodNode(const QString &name, qint64 firstRowId);

    qint64 firstRowId() const { return m_firstRowId; }

private:
    qint64 m_firstRowId;
};

// Makes the tree's items, detached from any tree, so that they can be inserted
// in one go. Node images are numbered from 1, as in the window's image list.
class FoodTreeItems
{
public:
    explicit FoodTreeItems(const QList<QIcon> &images);

    QTreeWidgetItem *makeRoot() const;

    // One node per distinct, non-empty category name, in the order given; each
    // with its foods as children, sorted in the reader's order (pinyin for
    // Chinese, numbers by value). The foods of a category named twice are
    // listed once. `lastNode` receives the node of the last food in table
    // order of the last category named (or that category's node when it has no
    // foods; unchanged when no category is made).
    QList<QTreeWidgetItem *> makeCategories(const QStringList &categoryNames,
                                            const FoodsByCategory &foods,
                                            QTreeWidgetItem **lastNode) const;

private:
    QIcon image(int number) const;
    QIcon imageWithSelected(int normal, int selected) const;
    std::vector<qsizetype> sortedOrder(const QVector<FoodRow> &rows) const;
    QList<QTreeWidgetItem *> makeFoods(const QVector<FoodRow> &rows,
                                       QTreeWidgetItem **lastInTableOrder) const;

    QList<QIcon> m_images;
    QIcon m_categoryIcon;
    QIcon m_foodIcon;
    QCollator m_collator;
};
