// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodChoices.h"
#include "foods/HouseholdMeasures.h"

#include <QWidget>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class AmountHint;
class AmountSpinBox;
class SearchCompletion;

// Adding an entry, on one line: a search field over the foods, the amount in grams
// (or a household measure, where the food has them), the meal (preset from the
// time of day, can be changed) and 添加; and 快速记录…, which the view places. The search's first result is highlighted,
// so Return adds it; a result found by another name shows that name ("百香果 · 鸡蛋果");
// Escape clears the field, as in the calorie panel.
class FoodPicker : public QWidget
{
    Q_OBJECT

public:
    explicit FoodPicker(QWidget *parent = nullptr,
                        HouseholdMeasures measures = HouseholdMeasures::builtIn());

    void setFoods(FoodChoices foods);
    // The household measures offered from now on (the user's own foods' added).
    void setMeasures(HouseholdMeasures measures) { m_measureTable = std::move(measures); }
    // The user's own foods (names, most wanted first): first among equal matches, and listed
    // alone when the field is entered empty.
    void setPreferredFoods(const QStringList &names);
    void setMeal(int meal);
    int meal() const;
    int grams() const;
    // The grams typed, or nothing, with what is wrong shown under the field and the keyboard in it.
    std::optional<int> enteredGrams();
    QLineEdit *searchField() const { return m_search; }
    // 快速记录…, for the view to place.
    QPushButton *quickAddButton() const { return m_quickAdd; }

    // The food named in the field, if it is one of the foods.
    std::optional<FoodChoice> chosenFood() const;
    // After an entry was added: ready for the next one.
    void clearChoice();

signals:
    void addRequested();
    // 快速记录…: energy without a food.
    void quickAddRequested();

private:
    void offerMeasures();

    HouseholdMeasures m_measureTable;
    FoodChoices m_foods;
    QLineEdit *m_search;
    SearchCompletion *m_completion;
    AmountSpinBox *m_grams;
    AmountHint *m_gramsHint;
    QComboBox *m_measures;
    QComboBox *m_meal;
    QPushButton *m_add;
    QPushButton *m_quickAdd;
};
