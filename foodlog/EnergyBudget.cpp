// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/EnergyBudget.h"

#include "foodlog/BodyMassIndex.h"

#include <QLocale>
#include <cmath>

namespace {

const double Factors[EnergyBudget::ActivityLevels] = {1.2, 1.375, 1.55, 1.725, 1.9};
const int Deficit = 500;

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

double EnergyBudget::activityFactor(int level)
{
    return Factors[qBound(0, level, ActivityLevels - 1)];
}

QString EnergyBudget::activityName(int level)
{
    static const char *const names[ActivityLevels] = {
        "久坐不动（几乎不运动）", "轻度活动（每周运动 1–3 天）", "中度活动（每周运动 3–5 天）",
        "高度活动（每周运动 6–7 天）", "极高活动（体力劳动或每天两练）"};
    return QString::fromUtf8(names[qBound(0, level, ActivityLevels - 1)]);
}

double EnergyBudget::restingEnergy(Profile::Sex sex, double kg, double heightCm, int age)
{
    return 10.0 * kg + 6.25 * heightCm - 5.0 * age + (sex == Profile::Sex::Male ? 5.0 : -161.0);
}

EnergyBudget::Result EnergyBudget::compute(const Profile &profile, double kg, int age)
{
    Result r;
    r.resting = restingEnergy(profile.sex, kg, profile.heightCm, age);
    r.factor = activityFactor(profile.activityLevel);
    r.maintenance = BodyMassIndex::inRange(kg, profile.heightCm)
        && BodyMassIndex::bandOfTenths(BodyMassIndex::tenths(kg, profile.heightCm))
            == BodyMassIndex::Band::Underweight;
    const double needed = r.resting * r.factor - (r.maintenance ? 0 : Deficit);
    // Half a step rounds up; the small margin keeps 1234.9999… from a product
    // of decimals on the side it was meant to be.
    const int rounded = int(std::floor(needed / 10.0 + 0.5 + 1e-9)) * 10;
    const int floor = floorFor(profile.sex);
    r.floored = rounded < floor;
    r.kcal = r.floored ? floor : rounded;

    const bool male = profile.sex == Profile::Sex::Male;
    r.explanation = QStringLiteral("静息代谢 10×%1 千克 + 6.25×%2 厘米 − 5×%3 岁 %4 = %5 大卡；"
                                   "× 活动系数 %6%8 = %7 大卡")
                        .arg(number(kg, 1), number(profile.heightCm, 0), QString::number(age),
                             male ? QStringLiteral("+ 5") : QStringLiteral("− 161"),
                             number(r.resting, 0), QString::number(r.factor), number(needed, 0),
                             r.maintenance ? QString() : QStringLiteral(" − 500"));
    if (r.maintenance)
        r.explanation += QStringLiteral("（BMI 已偏瘦，不宜再减重，所以预算只维持现在的体重，不再减去 500 大卡）");
    if (r.floored)
        r.explanation += QStringLiteral("，低于%1的下限，按 %2 大卡计。")
                             .arg(male ? QStringLiteral("男性") : QStringLiteral("女性"))
                             .arg(floor);
    else
        r.explanation += QStringLiteral("，取整为 %1 大卡。").arg(r.kcal);
    return r;
}
