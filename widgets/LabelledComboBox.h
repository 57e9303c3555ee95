// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QAccessibleInterface;
class QObject;

// A combo box as a screen reader hears it: by its label and its value ("餐次：早餐"). Qt names a
// combo box on Linux by its current text alone ("早餐"), which does not say what is chosen;
// here the name is the control's accessible name with the value after it, and the value stays
// the value. For QAccessible::installFactory, once, before the first window.
namespace LabelledComboBox {

QAccessibleInterface *accessible(const QString &className, QObject *object);

// The name a screen reader reads for a combo box named `label` showing `value`.
QString spokenName(const QString &label, const QString &value);

} // namespace LabelledComboBox
