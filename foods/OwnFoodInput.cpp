// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/OwnFoodInput.h"

#include "foods/AmountText.h"
#include "foods/Bounds.h"

#include <QRegularExpression>
#include <cmath>

namespace OwnFoodInput {

namespace {

// A serving of at most MaxGrams at no more than MaxKcalPer100g.
constexpr AmountText::Field ServingKcal{"每份热量", "大卡", 0, Bounds::MaxKcalPer100g * Bounds::MaxGrams / 100, 1};
constexpr AmountText::Field ServingGrams{"每份重量", "克", 1, Bounds::MaxGrams, 0};
constexpr AmountText::Field CookedGrams{"熟重", "克", 1, Bounds::MaxCookedGrams, 0};

double oneDecimal(double value)
{
    return std::round(value * 10) / 10;
}

// The name, category, other names and measure, shared by a plain food and a recipe.
Reading readCommon(const Fields &fields, const NameTaken &taken)
{
    Reading r;
    const auto fail = [&r](Field field, const QString &problem) {
        r.field = field;
        r.problem = problem;
        return r;
    };
    r.food.name = fields.name.trimmed();
    if (r.food.name.isEmpty())
        return fail(Field::Name, QStringLiteral("请输入食物名称。"));
    if (r.food.name.size() > MaxNameLength)
        return fail(Field::Name, QStringLiteral("食物名称最多 %1 个字（现在 %2 个）。").arg(MaxNameLength).arg(r.food.name.size()));
    if (taken(r.food.name))
        return fail(Field::Name, QStringLiteral("已经有名为“%1”的食物，请换一个名称。").arg(r.food.name));
    r.food.category = fields.category.trimmed().isEmpty() ? OwnFood::defaultCategory() : fields.category.trimmed();

    static const QRegularExpression separators(QStringLiteral("[、,，;；]"));
    for (const QString &part : fields.aliases.split(separators, Qt::SkipEmptyParts)) {
        const QString alias = part.trimmed();
        if (alias.isEmpty() || alias == r.food.name || r.food.aliases.contains(alias))
            continue;
        if (alias.size() > MaxNameLength)
            return fail(Field::Aliases, QStringLiteral("其他名称“%1”超过 %2 个字。").arg(alias.left(10) + QStringLiteral("…")).arg(MaxNameLength));
        if (taken(alias))
            return fail(Field::Aliases, QStringLiteral("其他名称“%1”已是另一种食物的名称。").arg(alias));
        r.food.aliases << alias;
    }

    const QString measure = fields.measure.trimmed();
    const QString measureGrams = fields.measureGrams.trimmed();
    if (measure.isEmpty() != measureGrams.isEmpty())
        return fail(measure.isEmpty() ? Field::Measure : Field::MeasureGrams,
                    QStringLiteral("家用份量要同时填写名称和克数（例如 1杯 = 500 克），或都不填。"));
    if (!measure.isEmpty()) {
        if (measure.size() > MaxMeasureLength)
            return fail(Field::Measure, QStringLiteral("份量名称最多 %1 个字。").arg(MaxMeasureLength));
        const AmountText::Reading grams = AmountText::read(measureGrams, AmountText::Grams);
        if (!grams.value)
            return fail(Field::MeasureGrams, QStringLiteral("份量的") + grams.problem + QStringLiteral("。"));
        r.food.measure = measure;
        r.food.measureGrams = *grams.value;
    }
    return r;
}

// Protein, fat and carbohydrate: none, or all three within 0–100 g and 100 g together.
bool readNutrients(const Fields &fields, Reading &r)
{
    const QString typed[] = {fields.protein, fields.fat, fields.carbohydrate};
    const char *names[] = {"蛋白质", "脂肪", "碳水"};
    int given = 0;
    for (const QString &text : typed)
        given += text.trimmed().isEmpty() ? 0 : 1;
    if (given == 0)
        return true;
    r.field = Field::Nutrients;
    if (given < 3) {
        r.problem = QStringLiteral("蛋白质、脂肪、碳水要三项都填，或都不填。");
        return false;
    }
    double grams[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const AmountText::Field field{names[i], "克", 0, 100, 1};
        const AmountText::Reading reading = AmountText::read(typed[i], field);
        if (!reading.value) {
            r.problem = reading.problem + QStringLiteral("。");
            return false;
        }
        grams[i] = *reading.value;
    }
    if (grams[0] + grams[1] + grams[2] > 100.05) {
        r.problem = QStringLiteral("每100克中蛋白质、脂肪、碳水合计不能超过 100 克。");
        return false;
    }
    r.field = Field::None;
    r.food.nutrients = Nutrients{grams[0], grams[1], grams[2], 0};
    return true;
}

} // namespace

Reading read(const Fields &fields, const NameTaken &taken)
{
    Reading r = readCommon(fields, taken);
    if (!r.problem.isEmpty() || !readNutrients(fields, r))
        return r;
    if (!fields.perServing) {
        const AmountText::Reading kcal = AmountText::read(fields.kcalPer100g, AmountText::KcalPer100g);
        if (!kcal.value) {
            r.field = Field::Kcal;
            r.problem = kcal.problem + QStringLiteral("。");
            return r;
        }
        r.food.kcalPer100g = *kcal.value;
        return r;
    }
    const AmountText::Reading kcal = AmountText::read(fields.servingKcal, ServingKcal);
    if (!kcal.value) {
        r.field = Field::ServingKcal;
        r.problem = kcal.problem + QStringLiteral("。");
        return r;
    }
    const AmountText::Reading grams = AmountText::read(fields.servingGrams, ServingGrams);
    if (!grams.value) {
        r.field = Field::ServingGrams;
        r.problem = grams.problem + QStringLiteral("。");
        return r;
    }
    const double per100g = oneDecimal(*kcal.value * 100.0 / *grams.value);
    if (per100g > AmountText::KcalPer100g.max) {
        r.field = Field::ServingKcal;
        r.problem = QStringLiteral("折合每100克 %1 大卡，超过 %2 大卡，请检查每份热量和重量。")
                         .arg(per100g)
                         .arg(Bounds::MaxKcalPer100g);
        return r;
    }
    r.food.kcalPer100g = per100g;
    return r;
}

Reading readRecipe(const Fields &fields, const QList<RecipePart> &parts, const QString &cookedGrams,
                   const NameTaken &taken)
{
    Reading r = readCommon(fields, taken);
    if (!r.problem.isEmpty())
        return r;
    if (parts.isEmpty()) {
        r.field = Field::Parts;
        r.problem = QStringLiteral("请至少添加一种配料。");
        return r;
    }
    double sum = 0;
    for (const RecipePart &part : parts)
        sum += part.grams;
    double cooked = sum;
    if (!cookedGrams.trimmed().isEmpty()) {
        const AmountText::Reading typed = AmountText::read(cookedGrams, CookedGrams);
        if (!typed.value) {
            r.field = Field::Cooked;
            r.problem = typed.problem + QStringLiteral("。");
            return r;
        }
        cooked = *typed.value;
    }
    const std::optional<double> per100g = OwnFood::recipeKcalPer100g(parts, cooked);
    if (!per100g || oneDecimal(*per100g) > AmountText::KcalPer100g.max) {
        r.field = Field::Cooked;
        r.problem = QStringLiteral("按熟重 %1 克算，每100克超过 %2 大卡，请检查熟重。").arg(cooked).arg(Bounds::MaxKcalPer100g);
        return r;
    }
    r.food.parts = parts;
    r.food.cookedGrams = cooked;
    r.food.nutrients = OwnFood::recipeNutrients(parts, cooked);
    r.food.kcalPer100g = oneDecimal(*per100g);
    return r;
}

} // namespace OwnFoodInput
