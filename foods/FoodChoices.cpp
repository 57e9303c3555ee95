// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/FoodChoices.h"

#include "foods/FoodCatalog.h"
#include "foods/OwnFood.h"

#include "foods/PortionCalculator.h"

FoodChoices::FoodChoices() : m_index(std::make_shared<FoodSearchIndex>()) {}

FoodChoices::FoodChoices(QVector<SearchableFood> foods)
    : m_index(std::make_shared<FoodSearchIndex>(std::move(foods)))
{
}

FoodChoices::FoodChoices(std::shared_ptr<const FoodSearchIndex> index, FoodSearchIndex::Options options)
    : m_index(std::move(index)), m_options(options)
{
    if (!m_index)
        m_index = std::make_shared<FoodSearchIndex>();
}

FoodChoices FoodChoices::read(const QString &databasePath)
{
    return FoodChoices(FoodCatalog::read(databasePath));
}

std::optional<FoodChoice> FoodChoices::loggable(const SearchableFood &food)
{
    const std::optional<double> grams = PortionCalculator::portionGrams(food.portion);
    const std::optional<double> kcal = PortionCalculator::kcalValue(food.kcal);
    if (!grams || !kcal || food.name.isEmpty())
        return std::nullopt;
    FoodChoice choice;
    choice.name = food.name;
    choice.category = food.category;
    choice.kcalPer100g = *kcal * 100.0 / *grams;
    choice.own = food.own;
    choice.nutrients = food.nutrients;
    return choice;
}

QList<FoodChoice> FoodChoices::match(const QString &query, int limit) const
{
    QList<FoodChoice> found;
    // Ask for more than shown: a few foods may not be loggable by weight.
    for (const FoodSearchHit &hit : m_index->search(query, limit * 2, m_options)) {
        if (std::optional<FoodChoice> food = loggable(m_index->foods().at(hit.food))) {
            food->matchedAlias = hit.alias;
            found.append(*food);
            if (found.size() == limit)
                break;
        }
    }
    return found;
}

void FoodChoices::setPreferredFoods(const QStringList &names)
{
    m_options.preferredFoods = names;
}

QList<FoodChoice> FoodChoices::preferred(int limit) const
{
    QList<FoodChoice> found;
    for (int food : m_index->foodsNamed(m_options.preferredFoods)) {
        if (std::optional<FoodChoice> choice = loggable(m_index->foods().at(food)))
            found.append(*choice);
        if (found.size() == limit)
            break;
    }
    return found;
}

QStringList FoodChoices::categories(const QString &query) const
{
    return m_index->matchingCategories(query, m_options);
}

QList<FoodChoice> FoodChoices::inCategory(const QString &category) const
{
    QList<FoodChoice> found;
    for (const SearchableFood &food : m_index->foods())
        if (food.category == category)
            if (std::optional<FoodChoice> choice = loggable(food))
                found.append(*choice);
    return found;
}

QString FoodChoice::fieldText() const
{
    return own ? name + OwnFood::mark() : name;
}

std::optional<FoodChoice> FoodChoices::find(const QString &name) const
{
    QString wanted = name.trimmed();
    const bool own = wanted.endsWith(OwnFood::mark());
    if (own)
        wanted.chop(OwnFood::mark().size());
    if (wanted.isEmpty())
        return std::nullopt;
    // Without the mark a shipped food comes first, an own food of that name after it.
    std::optional<FoodChoice> ownMatch;
    for (const FoodSearchHit &hit : m_index->search(wanted, FoodSearchIndex::DefaultLimit)) {
        if (hit.rank != SearchRank::Exact)
            break;
        const SearchableFood &food = m_index->foods().at(hit.food);
        if (food.name != wanted && !food.aliases.contains(wanted))
            continue;
        if (food.own == own)
            return loggable(food);
        if (food.own && !ownMatch)
            ownMatch = loggable(food);
    }
    return own ? std::nullopt : ownMatch;
}
