// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/HouseholdMeasures.h"
#include "foods/Nutrients.h"

#include <QObject>
#include <QString>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// The amount line of the calorie panel. Beside the calorie figure it says what
// the figure is for ("每100克"); under it the user types an amount in grams,
// or picks a household measure ("1碗 (约150克)"), and reads what that amount
// costs ("约 520 大卡"). A food whose portion is not in grams, or whose figure
// is not a number, shows its figure only, without the amount line.
//
// Other parts of the window read the food on show and the amount through the
// getters, and hear of every change through changed().
class FoodPortionPanel : public QObject
{
    Q_OBJECT

public:
    // `panel` receives the controls; the portion text follows `calorieUnit`
    // (the " 大卡" after the figure) wherever it moves.
    // The household measures offered from now on (the user's own foods' added).
    void setMeasures(HouseholdMeasures measures) { m_table = std::move(measures); }
    // The food on show's protein, fat and carbohydrate per 100 g, if known.
    std::optional<Nutrients> nutrientsPer100g() const { return m_nutrients.of(m_category, m_name); }
    // Protein, fat and carbohydrate of the foods, shown per 100 g and for the amount.
    void setNutrients(NutrientTable nutrients)
    {
        m_nutrients = std::move(nutrients);
        update();
    }

    FoodPortionPanel(QWidget *panel, QWidget *calorieUnit, HouseholdMeasures measures,
                     QObject *parent = nullptr);

    // A food was shown: its trimmed category and name, the calorie text and the
    // portion text as stored.
    void showFood(const QString &category, const QString &name, const QString &kcal,
                  const QString &portion);

    QString category() const { return m_category; }
    QString name() const { return m_name; }
    // Kilocalories per 100 g of the food on show; nothing when no food is on
    // show or its figure is not for a weight in grams.
    std::optional<double> kcalPer100g() const;
    // The amount typed, when it is a whole number of grams from 1 to 5000 and
    // the food has a figure per grams.
    std::optional<int> amountGrams() const;
    // What that amount costs, rounded to whole kilocalories.
    std::optional<qint64> amountKcal() const;

    QLineEdit *amountField() const { return m_amount; }
    QComboBox *measureChoice() const { return m_measures; }
    QLabel *result() const { return m_result; }

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placePortionText();
    void fillMeasures();
    void amountEdited();
    void measureChosen(int index);
    void update();
    void showNutrients();

    QWidget *m_calorieUnit;
    HouseholdMeasures m_table;
    NutrientTable m_nutrients;
    QLabel *m_per100g = nullptr;
    QLabel *m_forAmount = nullptr;
    QString m_category;
    QString m_name;
    std::optional<double> m_kcal;
    std::optional<double> m_portionGrams;
    QString m_portionCaption; // "每100克"

    QLabel *m_portionText;
    QLabel *m_amountCaption;
    QLineEdit *m_amount;
    QLabel *m_gramUnit;
    QComboBox *m_measures;
    QLabel *m_result;
};
