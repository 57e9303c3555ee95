// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/ui/EntryCommands.h"
#include "foodlog/ui/LogPage.h"
#include "foods/FoodChoices.h"
#include "foods/HouseholdMeasures.h"

#include <QDate>
#include <QWidget>
#include <functional>
#include <optional>

class DateBar;
class DayTotals;
class EntryCommands;
class EntryList;
class FoodPicker;
class IntakeChart;
class MacroSummary;
class QLabel;
class QScrollArea;
class QTabWidget;
class UndoBar;
class WeightPanel;

// The 饮食记录 view: one day's entries by meal and its exercise against the budget, adding and
// changing entries, the day's weight and BMI, and the last 30 days as a chart. Pages of other
// features (运动) are handed in (addPage) and follow the day on show.
// Every change is written through the store before the screen shows it.
class FoodLogView : public QWidget
{
    Q_OBJECT

public:

    FoodLogView(FoodLogStore &store, FoodChoices foods, Clock clock, QWidget *parent = nullptr);
    // The foods the search offers from now on.
    void setFoods(FoodChoices foods);
    // The household measures offered from now on (the user's own foods' added).
    void setMeasures(HouseholdMeasures measures);

    QDate day() const { return m_day; }
    void showDay(const QDate &day);
    // Reads the day again from the file and shows it.
    void refresh();
    // The 饮食 page on show, the keyboard in its food search.
    void focusSearch();
    // Adds another feature's page as a tab before 体重与预算 and shows the day on it.
    void addPage(LogPage page);
    // The page added with `widget` on show, the keyboard where it is typed into.
    void focusPage(const QWidget *widget);

    // Adds `grams` of `food` to today's log, at the meal of the time of day.
    // False (after a message) when it could not be saved.
    bool logToday(const FoodChoice &food, double grams);
    // The entry logToday adds at `now`: on that log day, at the meal of its time.
    static FoodLogEntry todaysEntry(const FoodChoice &food, double grams, const QDateTime &now);

    // The profile dialog (open, not blocking), when the user asks for it: from 个人资料… in
    // 体重与预算 or 填写个人资料… beside 预算, never by itself.
    void askProfile();

    // The budget shown for the day on show, if there is one.
    std::optional<int> budget() const { return m_budget; }

signals:
    // The search found nothing for `typed` and the user wants it as an own food.
    void ownFoodAsked(const QString &typed);

private:
    QDate today() const;
    // Moves on to the new day after midnight when today was on show.
    void followDayChange();
    void addChosenFood();
    void changeGrams(qint64 id, double grams);
    void deleteEntry(const FoodLogEntry &entry);
    void undoDelete();
    // Ctrl+Z: takes back the last delete of the page on show.
    void undoLastDelete();
    void enterWeight(double kg);
    void enterWaist(double cm);
    void removeWaist();
    // Runs a write; on failure shows why and returns false.
    bool write(const std::function<void()> &change);
    void showProblem(const QString &text);
    // The change that can be taken back is no longer offered: the day changed since.
    void forgetDeleted();
    // A copy, move or quick entry was made: shown, and offered to be taken back.
    void offerUndo(const LogChange &change);

    FoodLogStore &m_store;
    ExerciseStore m_exerciseStore;
    Clock m_clock;
    QDate m_day;
    QDate m_knownToday; // today as last seen, to notice midnight
    std::optional<int> m_budget;
    std::optional<LogChange> m_lastChange; // what Ctrl+Z takes back

    DateBar *m_dateBar;
    DayTotals *m_totals;
    QTabWidget *m_tabs;
    FoodPicker *m_picker;
    EntryList *m_entries;
    EntryCommands *m_commands;
    MacroSummary *m_macros;
    UndoBar *m_undo;
    QLabel *m_skippedHint;
    QList<LogPage> m_pages;
    WeightPanel *m_weight;
    QScrollArea *m_weightPage;
    IntakeChart *m_chart;
    QLabel *m_trendText; // the trend, where it leads, and where eating like this day leads
};
