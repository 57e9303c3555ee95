// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/ExerciseEntry.h"
#include "widgets/ListKeys.h"

#include <QTreeWidget>
#include <optional>

// The day's exercise: each activity with its minutes and kcal. From the keyboard: F2 or Return
// edits the minutes of the entry under the cursor, Delete removes it.
class ExerciseList : public QTreeWidget
{
    Q_OBJECT

public:
    enum Column { ActivityColumn, MinutesColumn, KcalColumn };

    explicit ExerciseList(QWidget *parent = nullptr);

    void setEntries(const QList<ExerciseEntry> &entries);
    std::optional<ExerciseEntry> currentEntry() const;
    void selectEntry(qint64 id);
    void editCurrentMinutes();

signals:
    void minutesChanged(qint64 id, double minutes);
    void deleteRequested(const ExerciseEntry &entry);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<ExerciseEntry> m_entries;
    ListKeys m_keys;
};
