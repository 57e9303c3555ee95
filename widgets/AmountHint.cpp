// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AmountHint.h"

#include "widgets/AmountSpinBox.h"

AmountHint::AmountHint(AmountSpinBox *field, const QString &accessibleName, QWidget *parent)
    : QLabel(parent), m_field(field)
{
    setAccessibleName(accessibleName);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(0xB0, 0x1C, 0x1C));
    setPalette(colours);
    hide();
    connect(field, &AmountSpinBox::problemChanged, this, &AmountHint::showProblem);
}

void AmountHint::showProblem(const QString &problem)
{
    setText(problem);
    setAccessibleDescription(problem);
    setVisible(!problem.isEmpty());
}

std::optional<double> AmountHint::takeAmount()
{
    const AmountText::Reading typed = m_field->reading();
    if (!typed.value) {
        showProblem(typed.problem);
        m_field->setFocus();
        return std::nullopt;
    }
    m_field->setValue(*typed.value);
    return typed.value;
}
