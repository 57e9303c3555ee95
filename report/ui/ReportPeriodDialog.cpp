// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ui/ReportPeriodDialog.h"

#include "widgets/Named.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QDateEdit *dateField(const QDate &day, const QDate &today, QWidget *parent)
{
    auto *field = new QDateEdit(day, parent);
    field->setCalendarPopup(true);
    field->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    field->setMaximumDate(today);
    return field;
}
} // namespace

ReportPeriodDialog::ReportPeriodDialog(const QDate &today, int maxDays, QWidget *parent)
    : QDialog(parent), m_today(today), m_maxDays(maxDays)
{
    setObjectName(QStringLiteral("reportPeriodDialog"));
    setWindowTitle(QStringLiteral("导出报告"));
    setAccessibleName(QStringLiteral("导出报告：选择时间段"));

    auto *question = new QLabel(QStringLiteral("报告包括哪些天？"), this);
    m_week = named(new QRadioButton(QStringLiteral("最近 7 天"), this), "reportLastWeek", QStringLiteral("最近 7 天"));
    m_month = named(new QRadioButton(QStringLiteral("最近 30 天"), this), "reportLastMonth", QStringLiteral("最近 30 天"));
    m_dates = named(new QRadioButton(QStringLiteral("指定日期"), this), "reportDates", QStringLiteral("指定日期"));
    auto *group = new QButtonGroup(this);
    for (QRadioButton *choice : {m_week, m_month, m_dates})
        group->addButton(choice);
    m_week->setChecked(true);

    m_first = named(dateField(today.addDays(-29), today, this), "reportFirstDay", QStringLiteral("指定日期：从"));
    m_last = named(dateField(today, today, this), "reportLastDay", QStringLiteral("指定日期：到"));
    auto *from = new QLabel(QStringLiteral("从"), this);
    from->setBuddy(m_first);
    auto *to = new QLabel(QStringLiteral("到"), this);
    to->setBuddy(m_last);
    auto *limit = new QLabel(QStringLiteral("最多 %1 天，从后一个日期往前数。").arg(maxDays), this);
    limit->setWordWrap(true);
    // Changing a date chooses the dates.
    for (QDateEdit *field : {m_first, m_last})
        connect(field, &QDateEdit::dateChanged, m_dates, [this] { m_dates->setChecked(true); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    named(ok, "reportPeriodOk", QStringLiteral("下一步：选择保存位置"))->setText(QStringLiteral("下一步…"));
    named(buttons->button(QDialogButtonBox::Cancel), "reportPeriodCancel", QStringLiteral("取消"))
        ->setText(QStringLiteral("取消"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *dates = new QGridLayout;
    dates->setContentsMargins(24, 0, 0, 0);
    dates->addWidget(from, 0, 0);
    dates->addWidget(m_first, 0, 1);
    dates->addWidget(to, 0, 2);
    dates->addWidget(m_last, 0, 3);
    dates->addWidget(limit, 1, 0, 1, 4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(m_week);
    layout->addWidget(m_month);
    layout->addWidget(m_dates);
    layout->addLayout(dates);
    layout->addWidget(buttons);
    m_week->setFocus();
}

ReportPeriod ReportPeriodDialog::period() const
{
    if (m_dates->isChecked())
        return ReportPeriod::between(m_first->date(), m_last->date(), m_maxDays);
    return ReportPeriod::lastDays(m_month->isChecked() ? ReportPeriod::Kind::LastMonth : ReportPeriod::Kind::LastWeek,
                                  m_today);
}

std::optional<ReportPeriod> ReportPeriodDialog::ask(QWidget *parent, const QDate &today, int maxDays)
{
    if (Recorder *recorder = Recorder::active())
        return recorder->record(today).value_or(std::nullopt);
    ReportPeriodDialog dialog(today, maxDays, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.period();
}
