// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/WeightPanel.h"

#include "foodlog/ui/AmountHint.h"
#include "foodlog/ui/AmountSpinBox.h"
#include "widgets/ReturnClicks.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

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
    grid->addWidget(m_bmi, 3, 0, 1, 4);
    grid->addWidget(m_budget, 4, 0, 1, 4);
    grid->setRowStretch(4, 1);
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

void WeightPanel::saveWeight()
{
    if (m_hint->takeAmount())
        emit weightEntered(m_kg->value());
}

double WeightPanel::enteredKg() const
{
    return m_kg->value();
}
