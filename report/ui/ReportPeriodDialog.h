// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/ReportPeriod.h"

#include <QDialog>
#include <QList>
#include <optional>

class QDateEdit;
class QRadioButton;

// 导出报告: which days the report covers, chosen by name before the file is: 最近 7 天, 最近 30
// 天, or two dates. Keys: the arrow keys move between the three, Tab reaches the dates, Return
// confirms, Esc cancels.
//
// Tests answer it without showing it: a Recorder, while it lives, answers each ask() with the next
// queued period, or as if the user cancelled.
class ReportPeriodDialog : public QDialog
{
    Q_OBJECT

public:
    ReportPeriodDialog(const QDate &today, int maxDays, QWidget *parent = nullptr);

    // The period as the dialog stands.
    ReportPeriod period() const;

    // The period chosen, or nothing when the user cancelled.
    static std::optional<ReportPeriod> ask(QWidget *parent, const QDate &today, int maxDays);

    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder &) = delete;
        Recorder &operator=(const Recorder &) = delete;

        // Queues the answer to the next ask(): a period, or nothing (cancelled).
        void answer(std::optional<ReportPeriod> period) { m_answers.append(period); }
        int asked() const { return m_asked; }

    private:
        friend class ReportPeriodDialog;
        QList<std::optional<ReportPeriod>> m_answers;
        int m_asked = 0;
        Recorder *m_previous = nullptr;
    };

private:
    QDate m_today;
    int m_maxDays;
    QRadioButton *m_week;
    QRadioButton *m_month;
    QRadioButton *m_dates;
    QDateEdit *m_first;
    QDateEdit *m_last;
};
