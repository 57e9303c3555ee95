// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/OwnFoodCsv.h"

#include "db/CsvText.h"
#include "foods/AmountText.h"
#include "foods/OwnFoodInput.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace OwnFoodCsv {

namespace {

const QStringList &header()
{
    static const QStringList columns = {
        QStringLiteral("类型"),   QStringLiteral("名称"),     QStringLiteral("分类"),
        QStringLiteral("每100克热量"), QStringLiteral("其他名称"), QStringLiteral("份量"),
        QStringLiteral("份量克数"), QStringLiteral("熟重克数"), QStringLiteral("所属菜谱"),
        QStringLiteral("配料克数"), QStringLiteral("蛋白质"), QStringLiteral("脂肪"), QStringLiteral("碳水")};
    return columns;
}

enum Column { Kind, Name, Category, Kcal, Aliases, Measure, MeasureGrams, Cooked, Recipe, PartGrams, Protein, Fat,
              Carbohydrate };

QStringList nutrientCells(const std::optional<Nutrients> &n)
{
    if (!n)
        return {QString(), QString(), QString()};
    return {QString::number(n->protein, 'f', 1), QString::number(n->fat, 'f', 1), QString::number(n->carbohydrate, 'f', 1)};
}

// The three figures of a row: none, or all three from 0 to 100 g, at most 100 together.
bool nutrientsOf(const QStringList &row, std::optional<Nutrients> &out)
{
    const QString cells[] = {row.at(Protein).trimmed(), row.at(Fat).trimmed(), row.at(Carbohydrate).trimmed()};
    if (cells[0].isEmpty() && cells[1].isEmpty() && cells[2].isEmpty())
        return true;
    double grams[3];
    for (int i = 0; i < 3; ++i) {
        const std::optional<double> value = AmountText::number(cells[i]);
        if (!value || *value > 100)
            return false;
        grams[i] = *value;
    }
    if (grams[0] + grams[1] + grams[2] > 100.05)
        return false;
    out = Nutrients{grams[0], grams[1], grams[2], 0};
    return true;
}

QString number(double value)
{
    return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
}

} // namespace

QByteArray write(const QVector<OwnFood> &foods)
{
    QString out = CsvText::record(header());
    for (const OwnFood &food : foods) {
        out += CsvText::record(QStringList{food.isRecipe() ? QStringLiteral("菜谱") : QStringLiteral("食物"), food.name,
                                food.category, number(food.kcalPer100g), food.aliases.join(QChar(0x3001)),
                                food.measure, food.measure.isEmpty() ? QString() : number(food.measureGrams),
                                food.isRecipe() ? number(food.cookedGrams) : QString(), QString(), QString()}
                               + nutrientCells(food.isRecipe() ? std::optional<Nutrients>() : food.nutrients));
        for (const RecipePart &part : food.parts)
            out += CsvText::record(QStringList{QStringLiteral("配料"), part.food, part.category, number(part.kcalPer100g),
                                    QString(), QString(), QString(), QString(), food.name, number(part.grams)}
                                   + nutrientCells(part.nutrients));
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

Reading read(const QByteArray &bytes)
{
    Reading reading;
    const QList<QStringList> records = CsvText::records(bytes);
    if (records.isEmpty() || records.first() != header()) {
        reading.problems << QStringLiteral("第 1 行不是自定义食物文件的标题行（%1）。").arg(header().join(QLatin1Char(',')));
        return reading;
    }
    QHash<QString, int> recipeAt;
    for (int i = 1; i < records.size(); ++i) {
        QStringList row = records.at(i);
        if (row.size() == 1 && row.first().trimmed().isEmpty())
            continue;
        const auto problem = [&](const QString &what) { reading.problems << QStringLiteral("第 %1 行：%2").arg(i + 1).arg(what); };
        if (row.size() != header().size()) {
            problem(QStringLiteral("应有 %1 列，实有 %2 列。").arg(header().size()).arg(row.size()));
            continue;
        }
        const QString kind = row.at(Kind).trimmed();
        const QString name = row.at(Name).trimmed();
        const AmountText::Reading kcal = AmountText::read(row.at(Kcal), AmountText::KcalPer100g);
        if (name.isEmpty() || name.size() > OwnFoodInput::MaxNameLength) {
            problem(QStringLiteral("名称应为 1–%1 个字。").arg(OwnFoodInput::MaxNameLength));
            continue;
        }
        if (!kcal.value) {
            problem(QStringLiteral("每100克热量“%1”：%2。").arg(row.at(Kcal).trimmed(), kcal.problem));
            continue;
        }
        std::optional<Nutrients> nutrients;
        if (!nutrientsOf(row, nutrients)) {
            problem(QStringLiteral("蛋白质、脂肪、碳水应都为 0–100 之间的克数（合计不超过 100），或都不填。"));
            continue;
        }
        if (kind == QStringLiteral("配料")) {
            const auto recipe = recipeAt.constFind(row.at(Recipe).trimmed());
            const AmountText::Reading grams = AmountText::read(row.at(PartGrams), AmountText::Grams);
            if (recipe == recipeAt.cend()) {
                problem(QStringLiteral("配料所属的菜谱“%1”不在它之前。").arg(row.at(Recipe).trimmed()));
                continue;
            }
            if (!grams.value) {
                problem(QStringLiteral("配料克数：%1。").arg(grams.problem));
                continue;
            }
            reading.foods[*recipe].parts.append({name, row.at(Category).trimmed(), *kcal.value, *grams.value, nutrients});
            continue;
        }
        if (kind != QStringLiteral("食物") && kind != QStringLiteral("菜谱")) {
            problem(QStringLiteral("类型应为“食物”“菜谱”或“配料”。"));
            continue;
        }
        OwnFood food;
        food.name = name;
        food.category = row.at(Category).trimmed().isEmpty() ? OwnFood::defaultCategory() : row.at(Category).trimmed();
        food.kcalPer100g = *kcal.value;
        food.nutrients = nutrients;
        for (const QString &alias : row.at(Aliases).split(QChar(0x3001), Qt::SkipEmptyParts))
            if (!alias.trimmed().isEmpty() && alias.trimmed() != name)
                food.aliases << alias.trimmed();
        if (!row.at(Measure).trimmed().isEmpty()) {
            const AmountText::Reading grams = AmountText::read(row.at(MeasureGrams), AmountText::Grams);
            if (!grams.value) {
                problem(QStringLiteral("份量克数：%1。").arg(grams.problem));
                continue;
            }
            food.measure = row.at(Measure).trimmed().left(OwnFoodInput::MaxMeasureLength);
            food.measureGrams = *grams.value;
        }
        if (kind == QStringLiteral("菜谱")) {
            const std::optional<double> cooked = AmountText::number(row.at(Cooked));
            if (!cooked || *cooked <= 0) {
                problem(QStringLiteral("菜谱要有熟重克数。"));
                continue;
            }
            food.cookedGrams = *cooked;
            recipeAt.insert(name, int(reading.foods.size()));
        }
        if (std::any_of(reading.foods.cbegin(), reading.foods.cend(), [&](const OwnFood &f) { return f.name == name; })) {
            problem(QStringLiteral("“%1”在文件中出现了两次。").arg(name));
            continue;
        }
        reading.foods.append(food);
    }
    for (OwnFood &food : reading.foods) {
        if (recipeAt.contains(food.name) && food.parts.isEmpty())
            reading.problems << QStringLiteral("菜谱“%1”没有配料。").arg(food.name);
        if (food.isRecipe()) // its figures follow its parts, as in the dialog
            food.nutrients = OwnFood::recipeNutrients(food.parts, food.cookedGrams);
    }
    if (!reading.problems.isEmpty())
        reading.foods.clear();
    return reading;
}

} // namespace OwnFoodCsv
