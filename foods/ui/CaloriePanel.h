// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/DataReplaced.h"
#include "foods/FoodSearchIndex.h"
#include "foods/ui/CalorieLookup.h"
#include "foods/ui/QuickLogButton.h"

#include <QObject>
#include <functional>

class Database;
class FoodPortionPanel;
class FoodSearchBox;
class SharedFoodIndex;
class QFrame;
class QLineEdit;

// The 热量计算 panel as one feature: the food tree and the food on show (CalorieLookup), the
// search box, the amount line with the food's measures and nutrients, and 记一笔. The window's
// form makes its controls; the panel fills them and follows the data they show (DataReplaced).
class CaloriePanel : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        QString dataFile;
        CalorieLookupControls lookup;
        QFrame *panel = nullptr;
        QWidget *kcalUnit = nullptr;          // the amount line follows the unit after the figure
        SharedFoodIndex *foods = nullptr;     // the window's shared foods, for the search
        // 记一笔: the food on show and its amount into today's food log.
        QuickLogButton::Log log;
        // The foods the user logs, which the search puts first.
        std::function<QStringList()> preferredFoods;
    };
    CaloriePanel(Parts parts, FoodSearchIndex::Options options, QObject *parent);
    ~CaloriePanel() override;

    // The user's file, once open: the food tree is built and the own foods' measures and
    // figures are read from it (when a food is first shown); `replaced` is followed from now on.
    void load(Database &db, DataReplaced &replaced);

    // The panel on show: the title box names the food on show, else the panel.
    void showTitle();
    // The keyboard in the search field.
    void focusSearch();
    void setSearchOptions(FoodSearchIndex::Options options);

    CalorieLookup &lookup() { return *m_lookup; }
    FoodSearchBox *search() const { return m_search; }
    // The controls Tab reaches in the panel, in order, after the food tree.
    QList<QWidget *> tabOrder() const;

signals:
    // The search found nothing and the user wants it as an own food (the typed text), or the
    // own food on show is to be changed (right click on its node: its name).
    void ownFoodAsked(const QString &typed);
    void ownFoodEditAsked(const QString &name);

private:
    // The measures, the shipped ones too, and the figures of the user's own foods.
    void offerOwnMeasures();
    void followReplaced(DataReplaced::Part part, const QString &savedOwnFood);

    Parts m_parts;
    Database *m_db = nullptr;
    bool m_tablesRead = false; // offerOwnMeasures() since the file or own foods last changed
    CalorieLookup *m_lookup = nullptr;
    FoodSearchBox *m_search = nullptr;
    FoodPortionPanel *m_portion = nullptr;
    QuickLogButton *m_quickLog = nullptr;
};
