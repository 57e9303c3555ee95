// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/FoodTreeModel.h"

#include "foods/OwnFood.h"

#include <QLocale>
#include <QPixmap>

namespace FoodTree {

QString rootKey()
{
    return QStringLiteral("AB");
}

QString rootText()
{
    return QStringLiteral("热量计算-食物分类");
}

QString key(const QModelIndex &node)
{
    return node.data(KeyRole).toString();
}

} // namespace FoodTree

namespace {

enum NodeImage { RootImage = 1, CategoryImage = 2, CategorySelectedImage = 3,
                 FoodImage = 4, FoodSelectedImage = 5 };

// Each index names its parent in its internal id: none for the root, the root
// for a category, and for a food its category's row, shifted past those two.
constexpr quintptr RootId = 0;
constexpr quintptr CategoryId = 1;
constexpr quintptr FirstFoodId = 2;

} // namespace

FoodTreeModel::FoodTreeModel(const QList<QIcon> &images, QObject *parent)
    : QAbstractItemModel(parent), m_images(images)
{
}

FoodTreeModel::~FoodTreeModel() = default;

void FoodTreeModel::reset(const QStringList &categories, std::function<FoodIndex()> readFoods)
{
    beginResetModel();
    m_categories = categories;
    m_readFoods = std::move(readFoods);
    m_foods = FoodIndex();
    endResetModel();
}

const FoodIndex &FoodTreeModel::foods() const
{
    if (m_readFoods) {
        const auto readFoods = std::move(m_readFoods);
        m_readFoods = nullptr;
        m_foods = readFoods();
    }
    return m_foods;
}

const FoodIndex &FoodTreeModel::sortedFoods(int category) const
{
    const FoodIndex &index = foods();
    if (!index.isSorted(category)) {
        if (!m_collator) {
            m_collator.emplace(QLocale(QLocale::Chinese, QLocale::China));
            m_collator->setNumericMode(true);
        }
        m_foods.sortCategory(category, *m_collator);
    }
    return m_foods;
}

FoodTreeModel::Kind FoodTreeModel::kindOf(const QModelIndex &index)
{
    switch (index.internalId()) {
    case RootId:
        return Kind::Root;
    case CategoryId:
        return Kind::Category;
    default:
        return Kind::Food;
    }
}

int FoodTreeModel::categoryOf(const QModelIndex &food)
{
    return int(food.internalId() - FirstFoodId);
}

QModelIndex FoodTreeModel::root() const
{
    return createIndex(0, 0, RootId);
}

QModelIndex FoodTreeModel::category(const QString &name) const
{
    const qsizetype row = m_categories.indexOf(name);
    return row < 0 ? QModelIndex() : createIndex(int(row), 0, CategoryId);
}

QModelIndex FoodTreeModel::foodOfRow(const QModelIndex &category, qint64 rowId) const
{
    if (!category.isValid() || kindOf(category) != Kind::Category)
        return {};
    const int row = sortedFoods(category.row()).rowOfId(category.row(), rowId);
    return row < 0 ? QModelIndex() : index(row, 0, category);
}

std::optional<qint64> FoodTreeModel::firstRowId(const QModelIndex &node) const
{
    if (!node.isValid() || node.model() != this || kindOf(node) != Kind::Food)
        return std::nullopt;
    return sortedFoods(categoryOf(node)).firstRowIdOfName(categoryOf(node), node.row());
}

QModelIndex FoodTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return root();
    switch (kindOf(parent)) {
    case Kind::Root:
        return createIndex(row, 0, CategoryId);
    case Kind::Category:
        return createIndex(row, 0, FirstFoodId + quintptr(parent.row()));
    case Kind::Food:
        break;
    }
    return {};
}

QModelIndex FoodTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    switch (kindOf(child)) {
    case Kind::Root:
        return {};
    case Kind::Category:
        return root();
    case Kind::Food:
        return createIndex(categoryOf(child), 0, CategoryId);
    }
    return {};
}

int FoodTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return 1;
    if (parent.column() != 0)
        return 0;
    switch (kindOf(parent)) {
    case Kind::Root:
        return int(m_categories.size());
    case Kind::Category:
        // Asking for a category's rows is what makes them: sort it now.
        return sortedFoods(parent.row()).foodCount(parent.row());
    case Kind::Food:
        break;
    }
    return 0;
}

int FoodTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool FoodTreeModel::hasChildren(const QModelIndex &parent) const
{
    if (parent.isValid() && kindOf(parent) == Kind::Category)
        return foods().foodCount(parent.row()) > 0; // no need to sort to know
    return rowCount(parent) > 0;
}

QVariant FoodTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const Kind kind = kindOf(index);
    switch (role) {
    case Qt::DisplayRole:
        switch (kind) {
        case Kind::Root:
            return FoodTree::rootText();
        case Kind::Category:
            return m_categories.value(index.row());
        case Kind::Food: {
            const FoodIndex &foods = sortedFoods(categoryOf(index));
            const QString name = foods.name(categoryOf(index), index.row()).toString();
            // The user's own foods (negative row ids) carry their mark, beside a shipped food of
            // the same name too.
            return foods.rowId(categoryOf(index), index.row()) < 0 ? name + OwnFood::mark() : name;
        }
        }
        break;
    case Qt::DecorationRole:
        return icon(kind);
    case FoodTree::KeyRole:
        switch (kind) {
        case Kind::Root:
            return FoodTree::rootKey();
        case Kind::Category:
            return m_categories.value(index.row());
        case Kind::Food:
            return QString();
        }
        break;
    default:
        break;
    }
    return {};
}

Qt::ItemFlags FoodTreeModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (kindOf(index) == Kind::Food)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

QIcon FoodTreeModel::image(int number) const
{
    return m_images.value(number - 1);
}

// The tree shows a node's icon in Selected mode while the node is selected, so
// a second picture for the selected state goes into that mode of one icon.
QIcon FoodTreeModel::imageWithSelected(int normal, int selected) const
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

// Made when first drawn: the tree is hidden at start.
QIcon FoodTreeModel::icon(Kind kind) const
{
    switch (kind) {
    case Kind::Root:
        return image(RootImage);
    case Kind::Category:
        if (!m_categoryIcon)
            m_categoryIcon = imageWithSelected(CategoryImage, CategorySelectedImage);
        return *m_categoryIcon;
    case Kind::Food:
        if (!m_foodIcon)
            m_foodIcon = imageWithSelected(FoodImage, FoodSelectedImage);
        return *m_foodIcon;
    }
    return {};
}
