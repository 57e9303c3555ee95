// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/ui/FoodLogView.h"

#include <QHash>
#include <QMetaObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

class Database;
class DataReplaced;

// The 饮食记录 view's place in the window: shown in the left panel in place of
// the notebook and calorie controls, and left again when another section is
// chosen, with those controls as they were. Nothing of the view is made until
// it is first shown.
class FoodLogSection
{
public:
    // The foods to log from; throws DataError when they cannot be read.
    using FoodSource = std::function<FoodChoices()>;

    // `replaced`: the controls of the left panel that the view stands in for. `foods`: the
    // window's shared foods (SharedFoodIndex), asked at every entry so that a restored file's
    // foods arrive and a failed read is tried again; without it the file is read each time.
    FoodLogSection(Database &db, QWidget *window, QList<QWidget *> replaced, QRect area,
                   Clock clock = Clock(), FoodSource foods = {});
    ~FoodLogSection();

    void enter();
    // The keyboard in the log's food search (Ctrl+6); nothing before the view is made.
    void focusSearch();
    // Puts the replaced controls back as they were; nothing when not shown.
    void leave();
    bool isShown() const { return m_shown; }
    // The foods the user logged, most recent first, for the searches; none when the log
    // cannot be read.
    QStringList recentFoods(int limit = PreferredFoods);
    static constexpr int PreferredFoods = 30;
    // From now on, when the whole file is replaced (a restore) nothing known of its tables is
    // kept and a view on show reads it afresh; when the own foods change the view takes them.
    void follow(DataReplaced &replaced);
    // Null until the view was first shown.
    FoodLogView *view() const { return m_view; }

    // Called once the view is made, before it is first shown: the pages of other features are
    // added to it (FoodLogView::addPage).
    void setViewMade(std::function<void(FoodLogView &)> made) { m_viewMade = std::move(made); }
    // The log's tables in the window's file, for the features that share them (exercise, own foods).
    LogSchema &schema() { return store().schema(); }
    // The foods to log from, or none after saying once why they cannot be read.
    FoodChoices foods();

    // Adds `grams` of `food` to today's log whether or not the view was ever
    // shown. False (after a message) when it could not be saved.
    bool logToday(const FoodChoice &food, double grams);

private:
    // The user's own foods changed: the view's search and measures take them.
    void ownFoodsChanged();
    FoodLogStore &store();
    // The household measures, the user's own foods' with them.
    HouseholdMeasures currentMeasures();

    Database &m_db;
    QWidget *m_window;
    QList<QWidget *> m_replaced;
    QRect m_area;
    Clock m_clock;
    FoodSource m_foods;
    bool m_foodsFailed = false;
    std::function<void(FoodLogView &)> m_viewMade;
    std::unique_ptr<FoodLogStore> m_store;
    QPointer<FoodLogView> m_view;
    QHash<QWidget *, bool> m_wasVisible;
    bool m_shown = false;
    bool m_returnAfterReplace = false; // stepped aside for a replaced file while on show
    QList<QMetaObject::Connection> m_following; // DataReplaced, cut before this goes
};
