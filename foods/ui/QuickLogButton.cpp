// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/QuickLogButton.h"

#include "foods/FoodChoices.h"
#include "foods/ui/FoodPortionPanel.h"
#include "widgets/ReturnClicks.h"

namespace {
const QString Caption = QStringLiteral("记一笔");
}

QuickLogButton::QuickLogButton(FoodPortionPanel &portion, Log log, QWidget *panel)
    : QPushButton(Caption, panel), m_portion(portion), m_log(std::move(log))
{
    setObjectName(QStringLiteral("quickLog"));
    setAccessibleName(Caption);
    setToolTip(QStringLiteral("把这份食物记到今天的饮食记录"));
    // At the right end of the line under the amount, where "约 N 大卡" leaves room.
    setGeometry(369, 94, 64, 22);
    m_doneShown.setSingleShot(true);
    m_doneShown.setInterval(2000);
    connect(&m_doneShown, &QTimer::timeout, this, [this] { setText(Caption); });
    connect(&portion, &FoodPortionPanel::changed, this, &QuickLogButton::follow);
    connect(this, &QPushButton::clicked, this, &QuickLogButton::logFood);
    new ReturnClicks(this, this); // Return on the focused button presses it
    follow();
}

void QuickLogButton::follow()
{
    setVisible(m_portion.kcalPer100g().has_value());
    setEnabled(m_portion.amountGrams().has_value());
}

void QuickLogButton::logFood()
{
    const std::optional<double> per100 = m_portion.kcalPer100g();
    const std::optional<int> grams = m_portion.amountGrams();
    if (!per100 || !grams)
        return;
    FoodChoice food;
    food.name = m_portion.name();
    food.category = m_portion.category();
    food.kcalPer100g = *per100;
    food.nutrients = m_portion.nutrientsPer100g();
    if (!m_log(food, *grams))
        return;
    const QString done = QStringLiteral("已记入今天的饮食记录：%1 %2 克").arg(food.name).arg(*grams);
    setText(QStringLiteral("已记 ✓"));
    setAccessibleDescription(done);
    setToolTip(done);
    m_doneShown.start();
}
