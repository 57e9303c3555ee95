#pragma once

#include <QList>
#include <QString>
#include <optional>

class Database;

// A food that can be logged by weight: its name, category and kcal per 100 g.
struct FoodChoice
{
    QString name;
    QString category;
    double kcalPer100g = 0;
};

// The foods of the food table that can be logged by weight, read once. A row
// whose portion is not a weight in grams ("100克", "每100克", "50g") or whose
// energy is not a number is left out: its figure cannot be turned into kcal
// per 100 g.
class FoodChoices
{
public:
    static FoodChoices read(Database &db);
    static FoodChoices fromList(QList<FoodChoice> foods);

    // Grams in a portion text, or nothing when it is not a weight.
    static std::optional<double> portionGrams(const QString &portion);

    const QList<FoodChoice> &all() const { return m_foods; }
    // Foods whose name contains the trimmed query; names starting with it
    // first, at most `limit`.
    QList<FoodChoice> match(const QString &query, int limit = 50) const;
    // The food of exactly this name, if any.
    std::optional<FoodChoice> find(const QString &name) const;

private:
    QList<FoodChoice> m_foods;
};
