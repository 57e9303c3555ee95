// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

class QLabel;
class QProgressBar;

// The day's total against the budget: eaten, burned by exercise, budget and left (or over, in
// another colour and in words), as figures and a bar. What exercise burns is added to the
// budget: left = budget − eaten + burned.
class DayTotals : public QWidget
{
    Q_OBJECT

public:
    explicit DayTotals(QWidget *parent = nullptr);

    // Without a budget, says where to set one.
    void setTotals(qint64 eaten, qint64 burned, std::optional<int> budget, const QString &noBudgetHint);

private:
    QLabel *m_eaten;
    QLabel *m_burned;
    QLabel *m_budget;
    QLabel *m_left;
    QProgressBar *m_bar;
};
