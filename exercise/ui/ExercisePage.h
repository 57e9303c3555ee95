// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/ActivitySearch.h"
#include "exercise/ActivityTable.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/DailyFigures.h"

#include <QDate>
#include <QWidget>
#include <functional>
#include <optional>

class AmountHint;
class AmountSpinBox;
class ExerciseList;
class QLabel;
class QLineEdit;
class QPushButton;
class SearchCompletion;
class UndoBar;

// The 运动 page of the food log: a search over the activities (the table that ships and the
// user's own), the minutes, 添加运动, and the day's activities with their minutes and kcal. An
// entry's energy is worked out from the latest weight on or before its day (before the first
// weigh-in, from the first weight after it, which the page names) and kept with it.
// The food log's view shows it as a tab (the shell hands it in): the view's one read of the day
// reads the page's part too (readDay), then the page shows it (showReadDay).
// Every change is written through the store before the page shows it; then changed() asks the
// view to read the day again, totals and chart with it.
class ExercisePage : public QWidget
{
    Q_OBJECT

public:
    ExercisePage(ExerciseStore store, ActivityTable table, QWidget *parent = nullptr);

    // Reads the day's entries, the activities logged lately and the user's own ones. Throws
    // DataError, keeping what was read before the failure.
    void readDay(const QDate &day);
    // Shows what readDay read of `day` (nothing, when the read failed before it), an entry's
    // energy worked out from `nearest` (the latest weight on or before the day, else the first
    // after it).
    void showReadDay(const QDate &day, const std::optional<DayWeight> &nearest, const QDate &today);

    // What the page shows of the day on show.
    struct Day
    {
        QDate day;
        ExerciseStore::DayEntries entries;
        std::optional<double> kg; // the latest weight on or before the day, else the first after it
        QString weightNote;       // which weight that is, where it is not the day's own or an earlier one
        QStringList recent;       // activities logged, most recent first
        QVector<Activity> custom; // the user's own
    };
    void showDay(const Day &day);

    QLineEdit *searchField() const { return m_search; }
    // A delete that Ctrl+Z can still take back.
    bool isUndoOffered() const;
    void undoDelete();
    // The day changed or another change was made: the delete is no longer offered.
    void forgetDeleted();

signals:
    void changed();

private:
    void addChosenActivity();
    void changeMinutes(qint64 id, double minutes);
    void deleteEntry(const ExerciseEntry &entry);
    void editCustomActivities();
    bool write(const std::function<void()> &change);
    void showProblem(const QString &text);

    ExerciseStore m_store;
    ActivityTable m_table;
    ActivitySearch m_activities;
    Day m_read; // what readDay read, not yet on show
    Day m_day;
    std::optional<ExerciseEntry> m_deleted;

    QLineEdit *m_search;
    SearchCompletion *m_completion;
    AmountSpinBox *m_minutes;
    AmountHint *m_minutesHint;
    QPushButton *m_add;
    QPushButton *m_custom;
    QLabel *m_needsWeight;
    QLabel *m_weightNote;
    ExerciseList *m_list;
    QLabel *m_skippedHint;
    UndoBar *m_undo;
};
