#include "FoodChoices.h"

#include "Database.h"
#include "Recordset.h"

#include <QRegularExpression>

namespace {
const int CategoryField = 1;
const int NameField = 2;
const int PortionField = 3;
const int KcalField = 4;
} // namespace

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

FoodChoices FoodChoices::read(Database &db)
{
    FoodChoices choices;
    std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("01"));
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        const Field name = rs->Fields(NameField);
        const Field portion = rs->Fields(PortionField);
        const Field kcal = rs->Fields(KcalField);
        if (name.isNull() || portion.isNull() || kcal.isNull())
            continue;
        const std::optional<double> grams = portionGrams(portion.text());
        bool isNumber = false;
        const double energy = kcal.text().toDouble(&isNumber);
        if (!grams || !isNumber || energy < 0)
            continue;
        FoodChoice food;
        food.name = name.text().trimmed();
        food.category = rs->Fields(CategoryField).textOrEmpty().trimmed();
        food.kcalPer100g = energy * 100.0 / *grams;
        if (!food.name.isEmpty())
            choices.m_foods.append(food);
    }
    return choices;
}

FoodChoices FoodChoices::fromList(QList<FoodChoice> foods)
{
    FoodChoices choices;
    choices.m_foods = std::move(foods);
    return choices;
}

QList<FoodChoice> FoodChoices::match(const QString &query, int limit) const
{
    const QString q = query.trimmed();
    QList<FoodChoice> starting, containing;
    if (q.isEmpty())
        return starting;
    for (const FoodChoice &food : m_foods) {
        if (food.name.startsWith(q, Qt::CaseInsensitive))
            starting.append(food);
        else if (food.name.contains(q, Qt::CaseInsensitive))
            containing.append(food);
    }
    starting += containing;
    if (starting.size() > limit)
        starting.resize(limit);
    return starting;
}

std::optional<FoodChoice> FoodChoices::find(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (const FoodChoice &food : m_foods)
        if (food.name == wanted)
            return food;
    return std::nullopt;
}
