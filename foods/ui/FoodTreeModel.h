// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodIndex.h"

#include <QAbstractItemModel>
#include <QCollator>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The shape of the food tree: one root, a node per category under it, a node
// per food under its category. The kinds are told apart by key and text: the
// root has its fixed key and text, a category node's key equals its text, and a
// food node has no key (an empty one).
namespace FoodTree {

// A node's key is kept in this data role.
constexpr int KeyRole = Qt::UserRole;

QString rootKey();  // "AB"
QString rootText(); // "热量计算-食物分类"

// The node's key; empty for a node made without one.
QString key(const QModelIndex &node);

} // namespace FoodTree

// The food tree as a model over a compact index of the food table: the root,
// the categories in the order given, and under each category its foods in the
// reader's order (pinyin for Chinese, numbers by value). The foods are read the
// first time any category's foods count (the tree is hidden at start, so not
// before the window shows), and a category's foods are sorted the first time
// its rows are asked for, i.e. when it is first opened or a food in it is
// looked for. Once read, the foods stay as they are.
class FoodTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    // Node images are numbered from 1, as in the window's image list.
    explicit FoodTreeModel(const QList<QIcon> &images, QObject *parent = nullptr);
    ~FoodTreeModel() override;

    // Replaces the tree: these categories (distinct, non-empty), their foods
    // from `readFoods`, which is called the first time the foods are needed.
    void reset(const QStringList &categories, std::function<FoodIndex()> readFoods);

    QModelIndex root() const;
    QModelIndex category(const QString &name) const;
    // The food node of this row id under the category, or an invalid index.
    QModelIndex foodOfRow(const QModelIndex &category, qint64 rowId) const;
    // For a food node: the first row of the food table, in table order, with its
    // category and name when the tree was made.
    std::optional<qint64> firstRowId(const QModelIndex &node) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    enum class Kind { Root, Category, Food };
    static Kind kindOf(const QModelIndex &index);
    static int categoryOf(const QModelIndex &food);
    const FoodIndex &foods() const;
    const FoodIndex &sortedFoods(int category) const;
    QIcon image(int number) const;
    QIcon imageWithSelected(int normal, int selected) const;
    QIcon icon(Kind kind) const;

    QList<QIcon> m_images;
    QStringList m_categories;
    // Until the foods are first needed.
    mutable std::function<FoodIndex()> m_readFoods;
    mutable FoodIndex m_foods;
    mutable std::optional<QCollator> m_collator;
    mutable std::optional<QIcon> m_categoryIcon;
    mutable std::optional<QIcon> m_foodIcon;
};
