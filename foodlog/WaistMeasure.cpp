// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/WaistMeasure.h"

namespace WaistMeasure {

QString describe(std::optional<double> cm, std::optional<Profile::Sex> sex)
{
    if (!cm)
        return QString();
    const QString rule = QStringLiteral("WS/T 428《成人体重判定》：男性腰围 ≥ 90 厘米、女性 ≥ 85 厘米为中心型肥胖；"
                                        "仅供参考，不是诊断");
    QString text = QStringLiteral("腰围 %1 厘米").arg(*cm, 0, 'f', 1);
    if (sex) {
        const QString who = *sex == Profile::Sex::Male ? QStringLiteral("男性") : QStringLiteral("女性");
        const double threshold = *sex == Profile::Sex::Male ? MenThresholdCm : WomenThresholdCm;
        // Compared as shown, to one decimal.
        const bool reached = qRound(*cm * 10) >= qRound(threshold * 10);
        text += QStringLiteral("，%1%2 %3 厘米的界限").arg(reached ? QStringLiteral("达到了") : QStringLiteral("低于"), who)
                    .arg(threshold);
    }
    return text + QStringLiteral("（") + rule + QStringLiteral("）");
}

} // namespace WaistMeasure
