// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/AmountText.h"

#include <QDoubleSpinBox>

// A spin box for one kind of amount, whose text is read by AmountText like every amount the
// program takes: full-width digits and the Chinese full stop are read, and a value outside the
// field's range stays as typed, with problemChanged() saying what is wrong, instead of being cut
// to the range or dropped without a word. Whoever saves the value asks reading() first.
class AmountSpinBox : public QDoubleSpinBox
{
    Q_OBJECT

public:
    AmountSpinBox(const AmountText::Field &field, QWidget *parent = nullptr);

    // The text as it stands, read for the field.
    AmountText::Reading reading() const;

signals:
    // The problem with the text as it stands; empty once it reads as an amount again.
    void problemChanged(const QString &problem);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    double valueFromText(const QString &text) const override;
    void fixup(QString &input) const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QString withoutSuffix(const QString &text) const;

    AmountText::Field m_field;
};
