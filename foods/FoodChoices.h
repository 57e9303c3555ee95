// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodSearchIndex.h"

#include <QString>
#include <memory>
#include <optional>

// A food that can be logged by weight: its name, category and kcal per 100 g.
struct FoodChoice
{
    QString name;
    QString category;
    double kcalPer100g = 0;
    QString matchedAlias; // from a search: the other name that matched, when the name did not
    bool own = false;     // one of the user's own foods
    std::optional<Nutrients> nutrients = std::nullopt; // per 100 g, where known

    // The name a search field takes for it: an own food's with its mark ("我的奶茶（自定义）"),
    // so that one of the same name as a shipped food is told apart; find() reads both.
    QString fieldText() const;
};

// The foods a log entry can be made from: the search's foods, found the same
// way as in the calorie panel. A food counts when its portion is a weight in
// grams ("100克", "每100克", "50g") and its energy a number; others cannot be
// turned into kcal per 100 g.
class FoodChoices
{
public:
    FoodChoices();
    explicit FoodChoices(QVector<SearchableFood> foods);
    // The foods of an index shared with other searches (SharedFoodIndex), searched with
    // `options` (the fuzzy sounds on or off).
    explicit FoodChoices(std::shared_ptr<const FoodSearchIndex> index,
                         FoodSearchIndex::Options options = FoodSearchIndex::Options());
    // Reads the foods of the file. Throws DataError.
    static FoodChoices read(const QString &databasePath);

    // The food as a log entry takes it, or nothing when it cannot be logged by weight.
    static std::optional<FoodChoice> loggable(const SearchableFood &food);

    // At most `limit` loggable foods for what the user typed, best first.
    QList<FoodChoice> match(const QString &query, int limit = FoodSearchIndex::DefaultLimit) const;
    // The user's own foods (names, most wanted first): listed first among equal matches.
    void setPreferredFoods(const QStringList &names);
    // The user's own foods that can be logged, at most `limit`, for an empty search.
    QList<FoodChoice> preferred(int limit) const;

    // The categories the text names wholly ("shuiguo": 水果), as the calorie panel offers them.
    QStringList categories(const QString &query) const;
    // The loggable foods of one category, in the order of the tree.
    QList<FoodChoice> inCategory(const QString &category) const;

    // Every food of the index, loggable or not (the shipped ones, then the user's own).
    const QVector<SearchableFood> &allFoods() const { return m_index->foods(); }

    // The loggable food whose name (or other name) is exactly this text; with an own food's mark
    // after it, the own food of that name.
    std::optional<FoodChoice> find(const QString &name) const;

private:
    std::shared_ptr<const FoodSearchIndex> m_index;
    FoodSearchIndex::Options m_options;
};
