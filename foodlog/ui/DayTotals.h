// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <optional>

class QLabel;
class QProgressBar;
class QToolButton;

// The day's total against the budget: eaten, burned by exercise, budget and left (or over, in
// another colour and in words), as figures and a bar. What exercise burns is added to the
// budget: left = budget − eaten + burned.
class DayTotals : public QWidget
{
    Q_OBJECT

public:
    explicit DayTotals(QWidget *parent = nullptr);

    // Without a budget, says what it needs; without a profile, offers to fill it in beside 预算.
    void setTotals(qint64 eaten, qint64 burned, std::optional<int> budget, const QString &noBudgetHint,
                   bool profileMissing = false);

signals:
    // 填写个人资料… beside 预算.
    void profileAsked();

private:
    QLabel *m_eaten;
    QLabel *m_burned;
    QLabel *m_budget;
    QLabel *m_left;
    QProgressBar *m_bar;
    QToolButton *m_profile;
};
