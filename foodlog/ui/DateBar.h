// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QWidget>

class QLabel;
class QToolButton;

// ‹ date › 今天: steps the view's day one at a time, or back to today.
class DateBar : public QWidget
{
    Q_OBJECT

public:
    explicit DateBar(QWidget *parent = nullptr);

    // Shows `day`; `today` decides whether the year is shown and 今天 is needed.
    void setDay(const QDate &day, const QDate &today);
    QDate day() const { return m_day; }

signals:
    void stepped(int days);
    void todayAsked();

private:
    QToolButton *m_previous;
    QLabel *m_title;
    QToolButton *m_next;
    QToolButton *m_today;
    QDate m_day;
};
