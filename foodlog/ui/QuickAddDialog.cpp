// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/QuickAddDialog.h"

#include "foodlog/LogBounds.h"
#include "foodlog/LogCalendar.h"
#include "widgets/AmountHint.h"
#include "widgets/AmountSpinBox.h"
#include "foods/FoodText.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A quick entry is stored as grams at 100 kcal per 100 g (FoodLogEntry::quick): the grams' range.
constexpr AmountText::Field QuickKcal{"热量", "大卡", 1, LogBounds::MaxGrams, 0};

} // namespace

QuickAddDialog::QuickAddDialog(int meal, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("quickAddDialog"));
    setWindowTitle(QStringLiteral("快速记录"));
    setAccessibleName(QStringLiteral("快速记录"));
    m_kcal = new AmountSpinBox(QuickKcal, this);
    m_kcal->setObjectName(QStringLiteral("quickKcal"));
    m_kcal->setAccessibleName(QStringLiteral("热量（大卡）"));
    m_kcal->setValue(200);
    m_kcalHint = new AmountHint(m_kcal, QStringLiteral("热量的提示"), this);
    m_note = new QLineEdit(this);
    m_note->setObjectName(QStringLiteral("quickNote"));
    m_note->setAccessibleName(QStringLiteral("备注"));
    m_note->setPlaceholderText(QStringLiteral("可不填，例如：同事的生日蛋糕"));
    m_note->setMaxLength(40);
    // Wide enough for its whole hint (a cut "可不填，例如：…" no longer says what to write).
    m_note->setMinimumWidth(m_note->fontMetrics().horizontalAdvance(m_note->placeholderText())
                            + 4 * m_note->fontMetrics().averageCharWidth());
    m_meal = new QComboBox(this);
    m_meal->setObjectName(QStringLiteral("quickMeal"));
    m_meal->setAccessibleName(QStringLiteral("餐次"));
    for (int m = 0; m < LogCalendar::MealCount; ++m)
        m_meal->addItem(LogCalendar::mealName(m));
    m_meal->setCurrentIndex(meal);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("记录"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("记录"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("quickSave"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("取消"));
    // A figure that does not read keeps the dialog open, the problem shown under it.
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_kcalHint->takeAmount())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("热量（大卡）"), m_kcal);
    form->addRow(QString(), m_kcalHint);
    form->addRow(QStringLiteral("备注"), m_note);
    form->addRow(QStringLiteral("餐次"), m_meal);
    form->addRow(buttons);
    m_kcal->setFocus();
    m_kcal->selectAll();
}

double QuickAddDialog::kcal() const
{
    return m_kcal->value();
}

QString QuickAddDialog::note() const
{
    return FoodText::name(m_note->text());
}

int QuickAddDialog::meal() const
{
    return m_meal->currentIndex();
}
