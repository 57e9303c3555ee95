// SPDX-License-Identifier: GPL-3.0-or-later
#include "ownfoods/OwnFoodInput.h"

#include "foods/AmountText.h"
#include "foods/Bounds.h"
#include "foods/FigureText.h"

#include <QRegularExpression>
#include <cmath>

namespace OwnFoodInput {

namespace {

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

// Protein, fat and carbohydrate, and sodium: none, or the three (with or without sodium), typed
// per `basisGrams` (100, or a label's serving) and kept per 100 g.
bool readNutrients(const Fields &fields, double basisGrams, Reading &r)
{
    const QString typed[] = {fields.protein, fields.fat, fields.carbohydrate};
    const char *names[] = {"蛋白质", "脂肪", "碳水"};
    int given = 0;
    for (const QString &text : typed)
        given += text.trimmed().isEmpty() ? 0 : 1;
    const bool sodiumGiven = !fields.sodium.trimmed().isEmpty();
    if (given == 0 && !sodiumGiven)
        return true;
    r.field = Field::Nutrients;
    if (given < 3) {
        r.problem = given == 0 ? QStringLiteral("钠要和蛋白质、脂肪、碳水一起填写。")
                               : QStringLiteral("蛋白质、脂肪、碳水要三项都填，或都不填。");
        return false;
    }
    const double toPer100g = 100.0 / basisGrams;
    const bool perServing = basisGrams != 100;
    double grams[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const AmountText::Field field{names[i], "克", 0, perServing ? 5000.0 : 100.0, 1};
        const AmountText::Reading reading = AmountText::read(typed[i], field);
        if (!reading.value) {
            r.problem = reading.problem + QStringLiteral("。");
            return false;
        }
        grams[i] = oneDecimal(*reading.value * toPer100g);
    }
    if (grams[0] + grams[1] + grams[2] > 100.05) {
        r.problem = perServing ? QStringLiteral("折合每100克，蛋白质、脂肪、碳水合计超过 100 克，请检查每份重量和含量。")
                               : QStringLiteral("每100克中蛋白质、脂肪、碳水合计不能超过 100 克。");
        return false;
    }
    Nutrients n{grams[0], grams[1], grams[2], 0};
    if (sodiumGiven) {
        constexpr AmountText::Field Sodium{"钠", "毫克", 0, 200000, 1};
        const AmountText::Reading mg = AmountText::read(fields.sodium, Sodium);
        if (!mg.value) {
            r.problem = mg.problem + QStringLiteral("。");
            return false;
        }
        n.sodium = std::round(*mg.value * toPer100g);
        if (*n.sodium > Nutrients::MaxSodium) {
            r.problem = QStringLiteral("折合每100克钠 %1 毫克，超过食盐的含量，请检查。").arg(*n.sodium);
            return false;
        }
    }
    r.field = Field::None;
    r.food.nutrients = n;
    return true;
}

// The label's energy against 4/9/4 of its figures. Labels may print up to 17 kJ (4 kcal) as 0
// (GB 28050), so a difference within that is never flagged.
QString mismatchOf(double kcal, const std::optional<Nutrients> &n)
{
    if (!n)
        return QString();
    const double fromFigures = n->kcal();
    const double difference = std::abs(fromFigures - kcal);
    if (difference <= 4 || difference <= LabelMismatch * kcal)
        return QString();
    return QStringLiteral("标签的能量（每100克 %1 大卡）与蛋白质、脂肪、碳水按 4/9/4 算出的 %2 大卡相差超过 20%，"
                          "请核对是否抄错；仍可保存。")
        .arg(oneDecimal(kcal))
        .arg(oneDecimal(fromFigures));
}

// The energy per 100 g and the figures: typed per 100 g, or from a label.
bool readFigures(const Fields &fields, Reading &r)
{
    const auto fail = [&r](Field field, const QString &problem) {
        r.field = field;
        r.problem = problem;
        return false;
    };
    if (!fields.fromLabel) {
        if (!readNutrients(fields, 100, r))
            return false;
        const AmountText::Reading kcal = AmountText::read(fields.kcalPer100g, AmountText::KcalPer100g);
        if (!kcal.value)
            return fail(Field::Kcal, kcal.problem + QStringLiteral("。"));
        r.food.kcalPer100g = *kcal.value;
        r.warning = mismatchOf(r.food.kcalPer100g, r.food.nutrients);
        return true;
    }
    const AmountText::Field energyField = fields.kilojoules ? AmountText::Field{"能量", "千焦", 0, 190000, 1}
                                                            : AmountText::Field{"能量", "大卡", 0, 45000, 1};
    const AmountText::Reading energy = AmountText::read(fields.labelEnergy, energyField);
    if (!energy.value)
        return fail(Field::ServingKcal, energy.problem + QStringLiteral("。"));
    double basisGrams = 100;
    std::optional<double> serving;
    if (fields.perServing || !fields.servingGrams.trimmed().isEmpty()) {
        constexpr AmountText::Field ServingGrams{"每份重量", "克", 1, 5000, 1};
        const AmountText::Reading grams = AmountText::read(fields.servingGrams, ServingGrams);
        if (!grams.value)
            return fail(Field::ServingGrams, grams.problem + QStringLiteral("。"));
        serving = *grams.value;
        if (fields.perServing)
            basisGrams = *grams.value;
    }
    if (!readNutrients(fields, basisGrams, r))
        return false;
    const double kcal = (fields.kilojoules ? *energy.value / KilojoulesPerKcal : *energy.value) * 100.0 / basisGrams;
    const double per100g = oneDecimal(kcal);
    if (per100g > AmountText::KcalPer100g.max)
        return fail(Field::ServingKcal,
                    QStringLiteral("折合每100克 %1 大卡，超过 900 大卡，请检查能量和每份重量。").arg(per100g));
    r.food.kcalPer100g = per100g;
    // The serving the label names becomes the food's household measure, unless one was given.
    if (serving && r.food.measure.isEmpty()) {
        r.food.measure = QStringLiteral("1份");
        r.food.measureGrams = *serving;
    }
    r.warning = mismatchOf(kcal, r.food.nutrients);
    return true;
}

} // namespace

Reading read(const Fields &fields, const NameTaken &taken)
{
    Reading r = readCommon(fields, taken);
    if (r.problem.isEmpty())
        readFigures(fields, r);
    return r;
}

Preview preview(const Fields &fields)
{
    Reading r;
    if (!readFigures(fields, r))
        return {};
    const auto figure = FigureText::upToOneDecimal;
    QStringList parts;
    QString energy = QStringLiteral("折合每100克 %1 大卡").arg(figure(r.food.kcalPer100g));
    const QString serving = fields.perServing ? QStringLiteral("，按每份 %1 克").arg(figure(r.food.measureGrams)) : QString();
    if (fields.fromLabel && fields.kilojoules)
        energy += QStringLiteral("（%1 千焦 ÷ 4.184%2）").arg(AmountText::normalised(fields.labelEnergy), serving);
    else if (fields.fromLabel && fields.perServing)
        energy += QStringLiteral("（%1）").arg(serving.mid(1));
    parts << energy;
    if (r.food.nutrients && fields.fromLabel && fields.perServing)
        parts << QStringLiteral("每100克 ") + Nutrients::describe(r.food.nutrients);
    if (fields.fromLabel && !r.food.measure.isEmpty())
        parts << QStringLiteral("家用份量 %1 = %2 克").arg(r.food.measure, figure(r.food.measureGrams));
    return {parts.join(QStringLiteral("；")) + QStringLiteral("。"), r.warning};
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
