// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/Nutrients.h"

#include "db/DataError.h"
#include "db/Query.h"
#include "foods/FoodText.h"
#include "foods/OwnFood.h"

Nutrients Nutrients::times(double grams) const
{
    const double f = grams / 100.0;
    Nutrients n{protein * f, fat * f, carbohydrate * f, alcohol * f};
    if (fibre)
        n.fibre = *fibre * f;
    if (sodium)
        n.sodium = *sodium * f;
    return n;
}

Nutrients &Nutrients::operator+=(const Nutrients &other)
{
    protein += other.protein;
    fat += other.fat;
    carbohydrate += other.carbohydrate;
    alcohol += other.alcohol;
    if (other.fibre)
        fibre = fibre.value_or(0) + *other.fibre;
    if (other.sodium)
        sodium = sodium.value_or(0) + *other.sodium;
    return *this;
}

QString Nutrients::describe(const std::optional<Nutrients> &figures)
{
    if (!figures)
        return QStringLiteral("蛋白质 — · 脂肪 — · 碳水 —");
    const auto grams = [](double value) { return QString::number(value, 'f', 1) + QStringLiteral(" 克"); };
    QString text = QStringLiteral("蛋白质 %1 · 脂肪 %2 · 碳水 %3")
                       .arg(grams(figures->protein), grams(figures->fat), grams(figures->carbohydrate));
    if (figures->alcohol > 0)
        text += QStringLiteral(" · 酒精 %1").arg(grams(figures->alcohol));
    if (figures->fibre)
        text += QStringLiteral(" · 膳食纤维 %1").arg(grams(*figures->fibre));
    if (figures->sodium)
        text += QStringLiteral(" · 钠 %1 毫克").arg(qRound(*figures->sodium));
    return text;
}

QString Nutrients::describeShort(const std::optional<Nutrients> &figures)
{
    if (!figures)
        return QStringLiteral("蛋白质 — · 脂肪 — · 碳水 —");
    const auto grams = [](double value) { return QString::number(value, 'f', 1); };
    QString text = QStringLiteral("蛋白质 %1 · 脂肪 %2 · 碳水 %3")
                       .arg(grams(figures->protein), grams(figures->fat), grams(figures->carbohydrate));
    if (figures->alcohol > 0)
        text += QStringLiteral(" · 酒精 %1").arg(grams(figures->alcohol));
    return text + QStringLiteral(" 克");
}

NutrientTable NutrientTable::read(Database &db)
{
    NutrientTable table;
    try {
        if (!hasTable(db, QStringLiteral("food_nutrient"), QStringLiteral("无法读取营养素")))
            return table;
        // A food table without fibre and sodium columns (an older data tool's) is read without them.
        Query columns(db, "SELECT count(*) FROM pragma_table_info('food_nutrient') WHERE name IN ('fibre', 'sodium')",
                      QStringLiteral("无法读取营养素"));
        const bool withMore = columns.next() && columns.integer(0) == 2;
        Query q(db,
                withMore ? "SELECT category, food, protein, fat, carbohydrate, alcohol, fibre, sodium FROM food_nutrient "
                           "WHERE typeof(protein) IN ('integer', 'real') AND typeof(fat) IN ('integer', 'real') "
                           "AND typeof(carbohydrate) IN ('integer', 'real')"
                         : "SELECT category, food, protein, fat, carbohydrate, alcohol FROM food_nutrient "
                           "WHERE typeof(protein) IN ('integer', 'real') AND typeof(fat) IN ('integer', 'real') "
                           "AND typeof(carbohydrate) IN ('integer', 'real')",
                QStringLiteral("无法读取营养素"));
        while (q.next()) {
            Nutrients n{q.real(2), q.real(3), q.real(4), q.isNumber(5) ? q.real(5) : 0};
            if (withMore && q.isNumber(6) && q.real(6) >= 0 && q.real(6) <= 100)
                n.fibre = q.real(6);
            if (withMore && q.isNumber(7) && q.real(7) >= 0 && q.real(7) <= Nutrients::MaxSodium)
                n.sodium = q.real(7);
            const bool inRange = n.protein >= 0 && n.fat >= 0 && n.carbohydrate >= 0 && n.alcohol >= 0
                && n.protein + n.fat + n.carbohydrate + n.alcohol <= 100.05;
            if (inRange)
                table.m_byFood.insert(qMakePair(FoodText::name(q.text(0)), FoodText::name(q.text(1))), n);
        }
    } catch (const DataError &) {
        return NutrientTable();
    }
    return table;
}

std::optional<Nutrients> NutrientTable::of(const QString &category, const QString &name) const
{
    const auto found = m_byFood.constFind(qMakePair(category, name));
    if (found == m_byFood.cend())
        return std::nullopt;
    return *found;
}

NutrientTable NutrientTable::withOwn(const QVector<OwnFood> &own) const
{
    NutrientTable table = *this;
    for (const OwnFood &food : own)
        if (food.nutrients)
            table.m_byFood.insert(qMakePair(food.category, food.name), *food.nutrients);
    return table;
}
