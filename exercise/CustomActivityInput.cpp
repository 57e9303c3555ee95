// SPDX-License-Identifier: GPL-3.0-or-later
#include "exercise/CustomActivityInput.h"

#include "exercise/ActivitySearch.h"
#include "exercise/ExerciseEntry.h"
#include "foodlog/LogBounds.h"
#include "foods/AmountText.h"

#include <cmath>

namespace CustomActivityInput {

namespace {

// The MET a figure stands for, or what is wrong with it in `problem`.
std::optional<double> metOf(const QString &figure, bool perHour, std::optional<double> kg, QString &problem)
{
    if (!perHour) {
        const AmountText::Reading met = AmountText::read(figure, AmountText::Met);
        if (!met.value)
            problem = met.problem + QStringLiteral("。");
        return met.value;
    }
    if (!kg) {
        problem = QStringLiteral("先记录体重，才能把每小时消耗换算成运动强度；也可以直接填写 MET。");
        return std::nullopt;
    }
    const AmountText::Reading perHourKcal = AmountText::read(figure, AmountText::KcalPerHour);
    if (!perHourKcal.value) {
        problem = perHourKcal.problem + QStringLiteral("。");
        return std::nullopt;
    }
    // 1 MET is about 1 kcal per kg and hour, rest included: the figure is the gross one.
    const double met = std::round(*perHourKcal.value / *kg * 10) / 10;
    if (!LogBounds::metInRange(met)) {
        problem = QStringLiteral("按体重 %1 千克，每小时消耗应在 %2–%3 大卡之间（运动强度 %4–%5 MET）。")
                      .arg(*kg)
                      .arg(std::ceil(*kg * LogBounds::MinMet))
                      .arg(std::floor(*kg * LogBounds::MaxMet))
                      .arg(LogBounds::MinMet)
                      .arg(LogBounds::MaxMet);
        return std::nullopt;
    }
    return met;
}

} // namespace

Reading read(const QString &name, const QString &figure, bool perHour, std::optional<double> kg,
             const ActivitySearch &known, const QString &renaming)
{
    Reading reading;
    reading.name = name.trimmed();
    if (reading.name.isEmpty()) {
        reading.problem = QStringLiteral("请输入运动名称。");
        return reading;
    }
    if (reading.name.size() > MaxNameLength) {
        reading.problem = QStringLiteral("运动名称最多 %1 个字（现在 %2 个）。").arg(MaxNameLength).arg(reading.name.size());
        return reading;
    }
    if (reading.name != renaming && known.isKnownName(reading.name)) {
        reading.problem = QStringLiteral("已经有名为“%1”的运动，请换一个名称。").arg(reading.name);
        return reading;
    }
    if (const std::optional<double> met = metOf(figure, perHour, kg, reading.problem))
        reading.met = *met;
    return reading;
}

QString preview(const QString &figure, bool perHour, std::optional<double> kg)
{
    QString problem;
    const std::optional<double> met = metOf(figure, perHour, kg, problem);
    if (!met)
        return QString();
    QString text = QStringLiteral("相当于 %1 MET").arg(*met, 0, 'f', 1);
    if (kg) {
        constexpr double Minutes = 30;
        text += QStringLiteral("；按体重 %1 千克，运动 %2 分钟记 %3 大卡（已扣除这段时间的静息消耗 %4 大卡）")
                    .arg(*kg)
                    .arg(Minutes)
                    .arg(wholeKcal(ExerciseEntry::netKcal(*met, *kg, Minutes)))
                    .arg(wholeKcal(*kg * Minutes / 60));
    }
    text += QStringLiteral("。");
    if (perHour && kg)
        text += QStringLiteral("这里要填含静息的总消耗；运动手表的“活动消耗”已经不含静息，填写前请每小时加上约 %1 大卡。")
                    .arg(wholeKcal(*kg));
    return text;
}

} // namespace CustomActivityInput
