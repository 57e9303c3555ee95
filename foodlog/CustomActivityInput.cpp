// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/CustomActivityInput.h"

#include "foodlog/ActivitySearch.h"
#include "foodlog/LogBounds.h"
#include "foods/AmountText.h"

#include <cmath>

namespace CustomActivityInput {

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
    if (!perHour) {
        const AmountText::Reading met = AmountText::read(figure, AmountText::Met);
        if (!met.value) {
            reading.problem = met.problem + QStringLiteral("。");
            return reading;
        }
        reading.met = *met.value;
        return reading;
    }
    if (!kg) {
        reading.problem = QStringLiteral("先记录体重，才能把每小时消耗换算成运动强度；也可以直接填写 MET。");
        return reading;
    }
    const AmountText::Reading perHourKcal = AmountText::read(figure, AmountText::KcalPerHour);
    if (!perHourKcal.value) {
        reading.problem = perHourKcal.problem + QStringLiteral("。");
        return reading;
    }
    // 1 MET is about 1 kcal per kg and hour: the figure a watch shows includes rest.
    const double met = std::round(*perHourKcal.value / *kg * 10) / 10;
    if (!LogBounds::metInRange(met)) {
        reading.problem = QStringLiteral("按体重 %1 千克，每小时消耗应在 %2–%3 大卡之间（运动强度 %4–%5 MET）。")
                              .arg(*kg)
                              .arg(std::ceil(*kg * LogBounds::MinMet))
                              .arg(std::floor(*kg * LogBounds::MaxMet))
                              .arg(LogBounds::MinMet)
                              .arg(LogBounds::MaxMet);
        return reading;
    }
    reading.met = met;
    return reading;
}

} // namespace CustomActivityInput
