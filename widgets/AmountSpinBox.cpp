// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AmountSpinBox.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>

namespace {

// Longer than any amount with its blanks: refused as typed.
constexpr qsizetype MaxTyped = 16;

} // namespace

AmountSpinBox::AmountSpinBox(const AmountText::Field &field, QWidget *parent)
    : QDoubleSpinBox(parent), m_field(field)
{
    setDecimals(field.decimals);
    setRange(field.min, field.max);
    setSuffix(QLatin1Char(' ') + QString::fromUtf8(field.unit));
    setAccelerated(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit problemChanged(reading().problem); });
}

QString AmountSpinBox::withoutSuffix(const QString &text) const
{
    QString typed = text;
    if (!suffix().isEmpty() && typed.endsWith(suffix()))
        typed.chop(suffix().size());
    else if (typed.endsWith(suffix().trimmed()))
        typed.chop(suffix().trimmed().size());
    return typed;
}

AmountText::Reading AmountSpinBox::reading() const
{
    return AmountText::read(withoutSuffix(lineEdit()->text()), m_field);
}

QValidator::State AmountSpinBox::validate(QString &input, int &) const
{
    const QString typed = withoutSuffix(input);
    if (typed.size() > MaxTyped)
        return QValidator::Invalid;
    // Anything shorter may still be on its way to an amount, or shows its problem: never
    // corrected behind the user's back.
    return AmountText::read(typed, m_field).value ? QValidator::Acceptable : QValidator::Intermediate;
}

double AmountSpinBox::valueFromText(const QString &text) const
{
    return AmountText::number(withoutSuffix(text)).value_or(value());
}

void AmountSpinBox::fixup(QString &) const
{
    // Left as typed: the problem stays in view until the user changes it.
}

void AmountSpinBox::focusOutEvent(QFocusEvent *event)
{
    if (reading().value) {
        QDoubleSpinBox::focusOutEvent(event);
        return;
    }
    // Leaving the field with text that is no amount: the spin box would put back the last value
    // that was one, without a word, and that value (600 on the way to typing 6000) is not what
    // the user meant. The text stays as typed, its problem shown, and nothing is saved from it.
    QCoreApplication::sendEvent(lineEdit(), event);
    QWidget::focusOutEvent(event);
}
