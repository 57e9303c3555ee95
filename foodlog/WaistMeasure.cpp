// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/WaistMeasure.h"

namespace WaistMeasure {

QString describe(std::optional<double> cm, std::optional<Profile::Sex> sex)
{
    if (!cm)
        return QString();
    const QString rule = QStringLiteral("卫生行业标准 WS/T 428《成人体重判定》以男性腰围 90 厘米及以上、"
                                        "女性 85 厘米及以上作为中心型肥胖的界限；这只是筛查的参考，不是诊断，"
                                        "有疑问请咨询医生。");
    QString text = QStringLiteral("腰围 %1 厘米").arg(*cm, 0, 'f', 1);
    if (sex) {
        const bool male = *sex == Profile::Sex::Male;
        const double threshold = male ? MenThresholdCm : WomenThresholdCm;
        // Compared as shown, to one decimal.
        const bool reached = qRound(*cm * 10) >= qRound(threshold * 10);
        text += reached ? QStringLiteral("，达到了%1 %2 厘米的界限。").arg(male ? QStringLiteral("男性") : QStringLiteral("女性")).arg(threshold)
                        : QStringLiteral("，低于%1 %2 厘米的界限。").arg(male ? QStringLiteral("男性") : QStringLiteral("女性")).arg(threshold);
    } else {
        text += QStringLiteral("。");
    }
    return text + rule;
}

} // namespace WaistMeasure
