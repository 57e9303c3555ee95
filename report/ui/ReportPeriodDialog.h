// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/ReportPeriod.h"
#include "widgets/SeamRecorder.h"

#include <QDialog>
#include <QList>
#include <optional>

class QDateEdit;
class QRadioButton;

// 导出报告: which days the report covers, chosen by name before the file is: 最近 7 天, 最近 30
// 天, or two dates. Keys: the arrow keys move between the three, Tab reaches the dates, Return
// confirms, Esc cancels.
//
// Tests answer it without showing it: a Recorder, while it lives, keeps the last day offered
// (today) of each ask() and answers it with the next queued period (or std::nullopt: cancelled),
// or as if the user cancelled.
class ReportPeriodDialog : public QDialog
{
    Q_OBJECT

public:
    ReportPeriodDialog(const QDate &today, int maxDays, QWidget *parent = nullptr);

    // The period as the dialog stands.
    ReportPeriod period() const;

    // The period chosen, or nothing when the user cancelled.
    static std::optional<ReportPeriod> ask(QWidget *parent, const QDate &today, int maxDays);

    using Recorder = SeamRecorder<ReportPeriodDialog, QDate, std::optional<ReportPeriod>>;

private:
    QDate m_today;
    int m_maxDays;
    QRadioButton *m_week;
    QRadioButton *m_month;
    QRadioButton *m_dates;
    QDateEdit *m_first;
    QDateEdit *m_last;
};
