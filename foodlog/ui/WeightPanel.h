// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

class AmountHint;
class AmountSpinBox;
class QLabel;
class QPushButton;

// The day's weight (20–400 kg, one decimal; entering again replaces it; a weight that
// is not one of those is named in red under the field and not saved), its
// BMI and band, and how the budget was worked out. Beside it the day's waist (40–250 cm, one
// decimal, optional) against the threshold for central obesity.
class WeightPanel : public QWidget
{
    Q_OBJECT

public:
    explicit WeightPanel(QWidget *parent = nullptr);

    // `kg`: the day's weight, if one was entered. `bmiText`: "23.9（正常）" or a
    // hint. `budgetText`: how the budget was worked out, or where to set it.
    void showDay(std::optional<double> kg, const QString &bmiText, const QString &budgetText);
    double enteredKg() const;
    // `cm`: the day's waist, if one was entered; `description`: it against the threshold.
    void showWaist(std::optional<double> cm, const QString &description);
    // Where eating like this day leads ("照今天这样吃，五周后约 …"), or an empty text to hide it.
    void showOutlook(const QString &text);

private slots:
    void saveWeight();
    void saveWaist();

signals:
    void weightEntered(double kg);
    void profileAsked();
    void waistEntered(double cm);
    void waistRemoved();

private:
    AmountSpinBox *m_kg;
    AmountHint *m_hint;
    QPushButton *m_save;
    QLabel *m_saved;
    QLabel *m_bmi;
    QLabel *m_budget;
    QPushButton *m_profile;
    AmountSpinBox *m_waist;
    AmountHint *m_waistHint;
    QPushButton *m_saveWaist;
    QPushButton *m_removeWaist;
    QLabel *m_waistText;
    QLabel *m_outlook;
};
