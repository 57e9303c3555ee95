// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "foodlog/FoodLogEntry.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <functional>

class FoodLogStore;
class QWidget;

// A change to the log that Ctrl+Z can take back: what the undo bar says, how to take it back,
// and the day (and entry) to show afterwards.
struct LogChange
{
    QString undoText;                       // "已把“米饭”移到晚餐"
    std::function<void(FoodLogStore &)> takeBack;
    QDate day;                              // the day the change is seen on
    qint64 select = 0;                      // the entry to make current, if any
    // Once taken back: the day to show, where that is another (a move's first day), and what
    // is said there ("已撤销移动：“米饭”回到12月9日 周三午餐").
    QDate undoneDay;
    QString undoneText;
};

// Logging faster: copying an entry, a meal or a day (to today, or a day and meal chosen in a
// dialog), moving an entry to another meal or day, and quick entries without a food. Each is
// written in one step through the store (a copy in one transaction) and reported as a LogChange;
// a failure is shown in a message and changes nothing.
class EntryCommands : public QObject
{
    Q_OBJECT

public:
    EntryCommands(FoodLogStore &store, Clock clock, QWidget *dialogParent);

    void copy(const QList<FoodLogEntry> &entries, bool toToday, bool several);
    void moveToMeal(const FoodLogEntry &entry, int meal);
    void moveToDay(const FoodLogEntry &entry);
    void quickAdd(const QDate &day, int meal);

signals:
    void changed(const LogChange &change);

private:
    void copyTo(const QList<FoodLogEntry> &entries, const QDate &day, std::optional<int> meal);
    void moveTo(const FoodLogEntry &entry, const QDate &day, int meal);
    bool write(const std::function<void()> &change);
    // "今天", or the day's title ("12月9日 周三").
    QString dayName(const QDate &day) const;

    FoodLogStore &m_store;
    Clock m_clock;
    QWidget *m_parent;
};
