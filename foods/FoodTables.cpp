// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodTables.h"

#include "db/Recordset.h"
#include "foods/FoodText.h"

#include <QHash>

namespace FoodTables {

QStringList readCategoryNames(Recordset &categories)
{
    QStringList names;
    forEachRow(categories, [&] {
        const Field name = categories.field(CategoryNameField);
        if (!name.isNull())
            names.append(FoodText::name(name.textOrEmpty()));
    });
    return names;
}

FoodIndex readFoodIndex(Recordset &foods, const QStringList &categories, const QVector<OwnFood> &own)
{
    QHash<QString, int> categoryNumber;
    categoryNumber.reserve(categories.size());
    for (int i = 0; i < categories.size(); ++i)
        categoryNumber.insert(categories[i], i);
    FoodIndex::Builder index(int(categories.size()));
    forEachRow(foods, [&] {
        const Field category = foods.field(FoodCategoryField);
        if (category.isNull())
            return;
        const auto number = categoryNumber.constFind(FoodText::name(category.textOrEmpty()));
        if (number == categoryNumber.cend())
            return; // a category the tree does not have
        const Field name = foods.field(FoodNameField);
        if (name.isNull())
            return;
        index.add(*number, FoodText::name(name.textOrEmpty()), foods.id());
    });
    for (const OwnFood &food : own) {
        const auto number = categoryNumber.constFind(food.category);
        if (number != categoryNumber.cend())
            index.add(*number, food.name, -food.id);
    }
    return index.finish();
}

} // namespace FoodTables
