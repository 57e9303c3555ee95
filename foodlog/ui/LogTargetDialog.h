// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDialog>
#include <optional>

class QComboBox;
class QDateEdit;

// Where entries go ("复制到…", "移到另一天…"): a day and a meal, or, for several entries, each to
// its own meal.
class LogTargetDialog : public QDialog
{
    Q_OBJECT

public:
    // `meal`: the meal offered first; `ownMeals`: offer "各自原来的餐次" first (several entries).
    LogTargetDialog(const QString &title, const QDate &day, int meal, bool ownMeals, QWidget *parent = nullptr);

    QDate day() const;
    // The meal chosen, or nothing for each entry's own.
    std::optional<int> meal() const;

private:
    QDateEdit *m_day;
    QComboBox *m_meal;
    bool m_ownMeals;
};
