// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/FoodChoices.h"
#include "foods/OwnFood.h"
#include "ownfoods/OwnFoodInput.h"

#include <QDialog>
#include <QSet>
#include <optional>

class AmountSpinBox;
class QButtonGroup;
class QComboBox;
class QDialogButtonBox;
class QLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class SearchCompletion;

// "自定义食物": a food of the user's own, or a home recipe (自制菜谱) made from foods with their
// grams, its energy per 100 g and per serving shown as the ingredients are filled in. Also changes
// or removes one of theirs. Nothing is written here: the dialog closes with what to do, checked
// (OwnFoodInput), and the caller writes it.
class OwnFoodDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Outcome { Save, Remove };

    // `foods`: every food (shipped and own), for the ingredients, the categories and the names
    // that are taken. `editing`: the own food to change, if any. `typedName`: a name to start a
    // new food with (what the log's search did not find).
    OwnFoodDialog(FoodChoices foods, std::optional<OwnFood> editing, const QString &typedName = QString(),
                  QWidget *parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    // The food to save (id 0 for a new one) or to remove.
    const OwnFood &food() const { return m_result; }

private:
    // The dialog's steps as it is made, in the order the fields are met.
    // Fills m_taken; returns the shipped foods' categories.
    QStringList takenNamesAndCategories();
    void makeNameAndMode(const QStringList &categories);
    // One page a way of giving the energy: per 100 g, a package label, a recipe.
    void makeEnergyPages();
    QWidget *makePer100gPage();
    QWidget *makeLabelPage();
    QWidget *makeRecipePage();
    // The recipe's ingredients with their grams, changed in place.
    void makePartList(QWidget *page);
    void makeNutrientRow();
    QLayout *makeAliasesAndMeasure();
    // The label's figures that disagree, and what keeps the food from being saved.
    void makeMessages();
    QDialogButtonBox *makeButtons();
    void layOut(QLayout *measureRow, QDialogButtonBox *buttons);
    // The food edited, else a new one named `typedName`.
    void fillIn(const QString &typedName);

    void showEnergyMode();
    // What the energy and figures come to per 100 g, and a label that disagrees with itself.
    void showLabelFigures();
    OwnFoodInput::Fields fields() const;
    void addPart();
    void showParts();
    void showRecipeFigures();
    void save();
    void remove();
    bool isTaken(const QString &name) const;

    FoodChoices m_foods;
    std::optional<OwnFood> m_editing;
    QSet<QString> m_taken; // names and other names of every food but the one edited
    QList<RecipePart> m_parts;
    Outcome m_outcome = Outcome::Save;
    OwnFood m_result;

    QLineEdit *m_name;
    QComboBox *m_category;
    QRadioButton *m_per100g;
    QRadioButton *m_perServing;
    QRadioButton *m_recipe;
    QWidget *m_energy;
    QList<QWidget *> m_pages; // per 100 g, per serving, recipe
    QLineEdit *m_kcal;
    QLineEdit *m_labelEnergy;
    QComboBox *m_energyUnit;  // 千焦, 大卡
    QComboBox *m_labelBasis;  // 每100克, 每份
    QLineEdit *m_servingGrams;
    QLabel *m_labelFigures;
    QLabel *m_figuresWarning;
    QLineEdit *m_ingredient;
    SearchCompletion *m_ingredientSearch;
    AmountSpinBox *m_ingredientGrams;
    QTreeWidget *m_partList;
    QLineEdit *m_cooked;
    QLabel *m_recipeFigures;
    QWidget *m_nutrientRow;
    QLabel *m_nutrientLabel;
    QLineEdit *m_protein;
    QLineEdit *m_fat;
    QLineEdit *m_carbohydrate;
    QLineEdit *m_sodium;
    QLineEdit *m_aliases;
    QLineEdit *m_measure;
    QLineEdit *m_measureGrams;
    QLabel *m_problem;
};
