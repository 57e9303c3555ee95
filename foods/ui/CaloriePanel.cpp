// SPDX-License-Identifier: GPL-3.0-or-later
#include "foods/ui/CaloriePanel.h"

#include "db/DataError.h"
#include "db/Database.h"
#include "foods/HouseholdMeasures.h"
#include "foods/Nutrients.h"
#include "foods/OwnFood.h"
#include "foods/SharedFoodIndex.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/FoodSearchBox.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>

CaloriePanel::CaloriePanel(Parts parts, FoodSearchIndex::Options options, QObject *parent)
    : QObject(parent), m_parts(std::move(parts))
{
    setObjectName(QStringLiteral("caloriePanelFeature"));
    m_lookup = new CalorieLookup(m_parts.dataFile, m_parts.lookup, this);
    m_lookup->setObjectName(QStringLiteral("calorieLookup"));
    SharedFoodIndex *foods = m_parts.foods;
    m_search = new FoodSearchBox(m_parts.panel, [foods] { return foods->index(); }, this);
    m_search->setObjectName(QStringLiteral("foodSearch"));
    m_search->setSearchOptions(options);
    m_search->setPreferredFoods(m_parts.preferredFoods);
    // The measures, the shipped ones too, and the figures of the user's own foods are read when a
    // food is first shown (not at start: the panel is hidden then), and again after they change.
    m_portion = new FoodPortionPanel(m_parts.panel, m_parts.kcalUnit, HouseholdMeasures(), this);
    m_portion->setObjectName(QStringLiteral("foodPortion"));
    connect(m_lookup, &CalorieLookup::foodShown, this, [this] {
        if (!m_tablesRead)
            offerOwnMeasures();
    });
    connect(m_lookup, &CalorieLookup::foodShown, m_portion, &FoodPortionPanel::showFood);
    connect(m_lookup, &CalorieLookup::foodShown, this, [this](const QString &, const QString &food) {
        if (m_parts.panel->isVisible()) {
            m_parts.lookup.titleView->setText(food);
            m_parts.lookup.titleView->setCursorPosition(0);
        }
    });
    connect(m_search, &FoodSearchBox::foodChosen, m_lookup, &CalorieLookup::revealFood);
    connect(m_search, &FoodSearchBox::categoryChosen, m_lookup, &CalorieLookup::revealCategory);
    // A restored backup rebuilds the tree: the search reads the foods of the new file.
    connect(m_lookup, &CalorieLookup::foodTreeBuilt, m_search, &FoodSearchBox::forgetFoods);
    connect(m_search, &FoodSearchBox::ownFoodAsked, this, &CaloriePanel::ownFoodAsked);
    connect(m_lookup, &CalorieLookup::ownFoodEditAsked, this, &CaloriePanel::ownFoodEditAsked);
    m_quickLog = new QuickLogButton(*m_portion, m_parts.log, m_parts.panel);
}

CaloriePanel::~CaloriePanel() = default;

QList<QWidget *> CaloriePanel::tabOrder() const
{
    return {static_cast<QWidget *>(m_search->field()), static_cast<QWidget *>(m_search->results()),
            static_cast<QWidget *>(m_search->addOwnFoodButton()), static_cast<QWidget *>(m_portion->amountField()),
            static_cast<QWidget *>(m_portion->measureChoice()), static_cast<QWidget *>(m_quickLog)};
}

void CaloriePanel::load(Database &db, DataReplaced &replaced)
{
    m_db = &db;
    connect(&replaced, &DataReplaced::replaced, this, &CaloriePanel::followReplaced);
    m_lookup->buildFoodTree();
}

void CaloriePanel::showTitle()
{
    // The title box names what is on show, as it names a record in the notebook's sections:
    // the food, else the section.
    const QString food = m_lookup->lastFood();
    m_parts.lookup.titleView->setText(food.isEmpty() ? QStringLiteral("热量计算") : food);
    m_parts.lookup.titleView->setCursorPosition(0);
}

void CaloriePanel::focusSearch()
{
    m_search->focusField();
}

void CaloriePanel::setSearchOptions(FoodSearchIndex::Options options)
{
    m_search->setSearchOptions(options);
}

void CaloriePanel::offerOwnMeasures()
{
    if (!m_db)
        return;
    QVector<OwnFood> own;
    try {
        own = OwnFoods::read(*m_db);
    } catch (const DataError &) {
        // The shipped measures and figures stay offered.
    }
    m_portion->setMeasures(HouseholdMeasures::builtIn().withOwn(own));
    m_portion->setNutrients(NutrientTable::read(*m_db).withOwn(own));
    m_tablesRead = true;
}

void CaloriePanel::followReplaced(DataReplaced::Part part, const QString &savedOwnFood)
{
    if (part == DataReplaced::Part::WholeFile) {
        try {
            m_lookup->buildFoodTree();
        } catch (const DataError &) {
            // A restored file was checked first: its tables are there.
        }
        m_tablesRead = false;
        return;
    }
    // Own foods: the tree reads the foods again; the keyboard stays where it was.
    QPointer<QWidget> focus = QApplication::focusWidget();
    try {
        m_lookup->buildFoodTree();
    } catch (const DataError &) {
        // The tree keeps what it showed; the searches read the file at their next use.
    }
    if (focus)
        focus->setFocus();
    m_tablesRead = false;
    // A food saved from the calorie panel is shown there, in its place in the tree.
    if (!savedOwnFood.isEmpty() && m_parts.panel->isVisible()) {
        for (const SearchableFood &food : m_parts.foods->index()->foods()) {
            if (food.own && food.name == savedOwnFood) {
                m_lookup->revealFood(food.category, food.rowId);
                break;
            }
        }
    }
}
