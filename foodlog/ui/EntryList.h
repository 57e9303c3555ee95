// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/FoodLogEntry.h"
#include "widgets/ListKeys.h"

#include <QTreeWidget>
#include <optional>

// The day's entries under their meals (早餐, 午餐, 晚餐, 加餐), each meal with its
// subtotal. From the keyboard: F2 or Return edits the grams of the entry under
// the cursor, Delete removes it. Its context menu (a right click, or the Menu key or Shift+F10
// while it has the keyboard) copies an entry, a meal or the day (to today or to a chosen day),
// moves an entry to another meal or day, and adds a quick entry.
class EntryList : public QTreeWidget
{
    Q_OBJECT

public:
    enum Column { FoodColumn, GramsColumn, KcalColumn };

    explicit EntryList(QWidget *parent = nullptr);

    void setEntries(const QList<FoodLogEntry> &entries);
    // The entry on the current row, if the current row is one.
    std::optional<FoodLogEntry> currentEntry() const;
    // Makes the entry with this id current, if it is listed.
    void selectEntry(qint64 id);
    // Starts editing the grams of the current entry.
    void editCurrentGrams();

signals:
    void gramsChanged(qint64 id, double grams);
    void deleteRequested(const FoodLogEntry &entry);
    // Copy `entries` to today, or to a day (and meal) to be chosen; `several`: a meal or the day,
    // which may keep each entry's own meal.
    void copyAsked(const QList<FoodLogEntry> &entries, bool toToday, bool several);
    void moveToMealAsked(const FoodLogEntry &entry, int meal);
    void moveToDayAsked(const FoodLogEntry &entry);
    void quickAddAsked(int meal);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // The meal of the current row (an entry's, or a meal row's), or -1.
    int currentMeal() const;

    QList<FoodLogEntry> m_entries;
    ListKeys m_keys;
};
