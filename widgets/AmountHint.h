// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <optional>

class AmountSpinBox;

// What is wrong with the amount typed in a field, in red words under it (as the calorie panel's
// amount says it), hidden while the amount reads; read out by a screen reader as its description.
class AmountHint : public QLabel
{
    Q_OBJECT

public:
    AmountHint(AmountSpinBox *field, const QString &accessibleName, QWidget *parent);

    // Shows `problem`, or hides the hint for an empty one.
    void showProblem(const QString &problem);
    // The amount typed in the field, set as its value; or nothing, the problem shown and the
    // keyboard put back in the field.
    std::optional<double> takeAmount();

private:
    AmountSpinBox *m_field;
};
