// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class AmountHint;
class AmountSpinBox;
class QComboBox;
class QLineEdit;

// "快速记录": energy without a food (a number and an optional note, "同事的生日蛋糕") into a meal.
class QuickAddDialog : public QDialog
{
    Q_OBJECT

public:
    QuickAddDialog(int meal, QWidget *parent = nullptr);

    double kcal() const;
    QString note() const;
    int meal() const;

private:
    AmountSpinBox *m_kcal;
    AmountHint *m_kcalHint;
    QLineEdit *m_note;
    QComboBox *m_meal;
};
