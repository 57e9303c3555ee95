// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/LogTargetDialog.h"

#include "foodlog/LogCalendar.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

LogTargetDialog::LogTargetDialog(const QString &title, const QDate &day, int meal, bool ownMeals, QWidget *parent)
    : QDialog(parent), m_ownMeals(ownMeals)
{
    setObjectName(QStringLiteral("logTargetDialog"));
    setWindowTitle(title);
    setAccessibleName(title);
    m_day = new QDateEdit(day, this);
    m_day->setObjectName(QStringLiteral("logTargetDay"));
    m_day->setAccessibleName(QStringLiteral("日期"));
    m_day->setCalendarPopup(true);
    m_day->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    m_meal = new QComboBox(this);
    m_meal->setObjectName(QStringLiteral("logTargetMeal"));
    m_meal->setAccessibleName(QStringLiteral("餐次"));
    if (ownMeals)
        m_meal->addItem(QStringLiteral("各自原来的餐次"));
    for (int m = 0; m < LogCalendar::MealCount; ++m)
        m_meal->addItem(LogCalendar::mealName(m));
    m_meal->setCurrentIndex(ownMeals ? 0 : meal);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("日期"), m_day);
    form->addRow(QStringLiteral("餐次"), m_meal);
    form->addRow(buttons);
}

QDate LogTargetDialog::day() const
{
    return m_day->date();
}

std::optional<int> LogTargetDialog::meal() const
{
    if (m_ownMeals)
        return m_meal->currentIndex() == 0 ? std::nullopt : std::optional<int>(m_meal->currentIndex() - 1);
    return m_meal->currentIndex();
}
