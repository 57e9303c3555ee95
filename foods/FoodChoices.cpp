// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodChoices.h"

#include "foods/FoodCatalog.h"

#include <QRegularExpression>

FoodChoices::FoodChoices() : m_index(std::make_shared<FoodSearchIndex>()) {}

FoodChoices::FoodChoices(QVector<SearchableFood> foods)
    : m_index(std::make_shared<FoodSearchIndex>(std::move(foods)))
{
}

FoodChoices FoodChoices::read(const QString &databasePath)
{
    return FoodChoices(FoodCatalog::read(databasePath));
}

std::optional<double> FoodChoices::portionGrams(const QString &portion)
{
    static const QRegularExpression grams(
        QStringLiteral("^\\s*每?\\s*(\\d+(?:\\.\\d+)?)\\s*(?:克|g|G|公克)\\s*$"));
    const QRegularExpressionMatch m = grams.match(portion);
    if (!m.hasMatch())
        return std::nullopt;
    const double value = m.captured(1).toDouble();
    if (value <= 0)
        return std::nullopt;
    return value;
}

std::optional<FoodChoice> FoodChoices::loggable(const SearchableFood &food)
{
    const std::optional<double> grams = portionGrams(food.portion);
    bool isNumber = false;
    const double kcal = food.kcal.toDouble(&isNumber);
    if (!grams || !isNumber || kcal < 0 || food.name.isEmpty())
        return std::nullopt;
    return FoodChoice{food.name, food.category, kcal * 100.0 / *grams};
}

QList<FoodChoice> FoodChoices::match(const QString &query, int limit) const
{
    QList<FoodChoice> found;
    // Ask for more than shown: a few foods may not be loggable by weight.
    for (const FoodSearchHit &hit : m_index->search(query, limit * 2)) {
        if (const std::optional<FoodChoice> food = loggable(m_index->foods().at(hit.food))) {
            found.append(*food);
            if (found.size() == limit)
                break;
        }
    }
    return found;
}

std::optional<FoodChoice> FoodChoices::find(const QString &name) const
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    for (const FoodSearchHit &hit : m_index->search(wanted, FoodSearchIndex::DefaultLimit)) {
        if (hit.rank != SearchRank::Exact)
            break;
        const SearchableFood &food = m_index->foods().at(hit.food);
        if (food.name == wanted || food.aliases.contains(wanted))
            return loggable(food);
    }
    return std::nullopt;
}
