// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/WeightPanel.h"

#include "foodlog/LogBounds.h"
#include "widgets/AmountHint.h"
#include "widgets/AmountSpinBox.h"
#include "widgets/ReturnClicks.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

static_assert(AmountText::Waist.min == LogBounds::MinWaistCm && AmountText::Waist.max == LogBounds::MaxWaistCm,
              "the waist field offers what the file takes");

// A label's name says what it is; a screen reader reads its text as the description.
void showText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

} // namespace

WeightPanel::WeightPanel(QWidget *parent) : QWidget(parent)
{
    m_kg = new AmountSpinBox(AmountText::Weight, this);
    m_kg->setObjectName(QStringLiteral("weightKg"));
    m_kg->setAccessibleName(QStringLiteral("体重（千克）"));
    m_kg->setSingleStep(0.1);
    m_kg->setValue(60);

    // What is wrong with the weight typed, in words and in red, as the calorie panel's amount.
    m_hint = new AmountHint(m_kg, QStringLiteral("体重的提示"), this);
    m_hint->setObjectName(QStringLiteral("weightHint"));

    m_save = new QPushButton(QStringLiteral("记录体重"), this);
    m_save->setObjectName(QStringLiteral("weightSave"));
    m_save->setAccessibleName(QStringLiteral("记录体重"));
    connect(m_save, &QPushButton::clicked, this, &WeightPanel::saveWeight);
    // Return in the weight field records the weight typed; on the focused button it presses it.
    new ReturnClicks(m_kg, m_save);
    new ReturnClicks(m_save, m_save);

    m_saved = new QLabel(this);
    m_saved->setObjectName(QStringLiteral("weightSaved"));
    m_saved->setAccessibleName(QStringLiteral("当天体重"));

    m_bmi = new QLabel(this);
    m_bmi->setObjectName(QStringLiteral("bmiText"));
    m_bmi->setAccessibleName(QStringLiteral("BMI"));

    m_budget = new QLabel(this);
    m_budget->setObjectName(QStringLiteral("budgetExplanation"));
    m_budget->setAccessibleName(QStringLiteral("预算的算法"));
    m_budget->setWordWrap(true);
    m_budget->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_budget->setTextFormat(Qt::PlainText);

    m_profile = new QPushButton(QStringLiteral("个人资料…"), this);
    m_profile->setObjectName(QStringLiteral("profileButton"));
    m_profile->setAccessibleName(QStringLiteral("个人资料"));
    connect(m_profile, &QPushButton::clicked, this, &WeightPanel::profileAsked);

    // The waist is optional: nothing is asked for until the user records one.
    m_waist = new AmountSpinBox(AmountText::Waist, this);
    m_waist->setObjectName(QStringLiteral("waistCm"));
    m_waist->setAccessibleName(QStringLiteral("腰围（厘米）"));
    m_waist->setSingleStep(0.5);
    m_waist->setValue(80);
    m_waistHint = new AmountHint(m_waist, QStringLiteral("腰围的提示"), this);
    m_waistHint->setObjectName(QStringLiteral("waistHint"));
    m_saveWaist = new QPushButton(QStringLiteral("记录腰围"), this);
    m_saveWaist->setObjectName(QStringLiteral("waistSave"));
    m_saveWaist->setAccessibleName(QStringLiteral("记录腰围"));
    connect(m_saveWaist, &QPushButton::clicked, this, &WeightPanel::saveWaist);
    new ReturnClicks(m_waist, m_saveWaist);
    new ReturnClicks(m_saveWaist, m_saveWaist);
    m_removeWaist = new QPushButton(QStringLiteral("删除腰围"), this);
    m_removeWaist->setObjectName(QStringLiteral("waistRemove"));
    m_removeWaist->setAccessibleName(QStringLiteral("删除腰围"));
    connect(m_removeWaist, &QPushButton::clicked, this, &WeightPanel::waistRemoved);
    new ReturnClicks(m_removeWaist, m_removeWaist);
    m_waistText = new QLabel(this);
    m_waistText->setObjectName(QStringLiteral("waistText"));
    m_waistText->setAccessibleName(QStringLiteral("腰围"));
    m_waistText->setWordWrap(true);
    m_waistText->setTextFormat(Qt::PlainText);

    m_outlook = new QLabel(this);
    m_outlook->setObjectName(QStringLiteral("eatingOutlook"));
    m_outlook->setAccessibleName(QStringLiteral("照今天这样吃"));
    m_outlook->setWordWrap(true);
    m_outlook->setTextFormat(Qt::PlainText);
    m_outlook->hide();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    auto *label = new QLabel(QStringLiteral("当天体重"), this);
    label->setBuddy(m_kg);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_kg, 0, 1);
    grid->addWidget(m_save, 0, 2);
    grid->addWidget(m_profile, 0, 3, Qt::AlignRight);
    grid->addWidget(m_hint, 1, 0, 1, 4);
    grid->addWidget(m_saved, 2, 0, 1, 4);
    auto *waistLabel = new QLabel(QStringLiteral("腰围（厘米）"), this);
    waistLabel->setBuddy(m_waist);
    grid->addWidget(waistLabel, 3, 0);
    grid->addWidget(m_waist, 3, 1);
    grid->addWidget(m_saveWaist, 3, 2);
    grid->addWidget(m_removeWaist, 3, 3, Qt::AlignLeft);
    grid->addWidget(m_waistHint, 4, 0, 1, 4);
    grid->addWidget(m_waistText, 5, 0, 1, 4);
    grid->addWidget(m_bmi, 6, 0, 1, 4);
    grid->addWidget(m_outlook, 7, 0, 1, 4);
    grid->addWidget(m_budget, 8, 0, 1, 4);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(3, 1);
}

void WeightPanel::showDay(std::optional<double> kg, const QString &bmiText, const QString &budgetText)
{
    if (kg) {
        m_kg->setValue(*kg);
        showText(m_saved, QStringLiteral("已记录：%1 千克（再次记录会替换）").arg(*kg, 0, 'f', 1));
    } else {
        showText(m_saved, QStringLiteral("这一天还没有记录体重。"));
    }
    showText(m_bmi, bmiText);
    showText(m_budget, budgetText);
}

void WeightPanel::showWaist(std::optional<double> cm, const QString &description)
{
    if (cm)
        m_waist->setValue(*cm);
    m_removeWaist->setVisible(cm.has_value());
    showText(m_waistText, cm ? QStringLiteral("已记录：%1").arg(description)
                             : QStringLiteral("这一天没有记录腰围（可不填）。"));
}

void WeightPanel::showOutlook(const QString &text)
{
    showText(m_outlook, text);
    m_outlook->setVisible(!text.isEmpty());
}

void WeightPanel::saveWaist()
{
    if (const std::optional<double> cm = m_waistHint->takeAmount())
        emit waistEntered(*cm);
}

void WeightPanel::saveWeight()
{
    if (m_hint->takeAmount())
        emit weightEntered(m_kg->value());
}

double WeightPanel::enteredKg() const
{
    return m_kg->value();
}
