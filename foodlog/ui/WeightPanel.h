// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;

// The day's weight (20–400 kg, one decimal; entering again replaces it), its
// BMI and band, and how the budget was worked out.
class WeightPanel : public QWidget
{
    Q_OBJECT

public:
    explicit WeightPanel(QWidget *parent = nullptr);

    // `kg`: the day's weight, if one was entered. `bmiText`: "23.9（正常）" or a
    // hint. `budgetText`: how the budget was worked out, or where to set it.
    void showDay(std::optional<double> kg, const QString &bmiText, const QString &budgetText);
    double enteredKg() const;

signals:
    void weightEntered(double kg);
    void profileAsked();

private:
    QDoubleSpinBox *m_kg;
    QPushButton *m_save;
    QLabel *m_saved;
    QLabel *m_bmi;
    QLabel *m_budget;
    QPushButton *m_profile;
};
