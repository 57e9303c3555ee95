// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/FoodLogEntry.h"

#include <QTreeWidget>
#include <optional>

// The day's entries under their meals (早餐, 午餐, 晚餐, 加餐), each meal with its
// subtotal. From the keyboard: F2 or Return edits the grams of the entry under
// the cursor, Delete removes it.
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

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<FoodLogEntry> m_entries;
};
