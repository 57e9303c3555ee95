// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/DateBar.h"

#include "foodlog/LogCalendar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton *button(QWidget *parent, const char *objectName, const QString &text, const QString &name,
                    const QString &keys = QString())
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(objectName));
    b->setText(text);
    b->setAccessibleName(name);
    b->setToolTip(keys.isEmpty() ? name : QStringLiteral("%1（%2）").arg(name, keys));
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAutoRaise(true);
    return b;
}

} // namespace

DateBar::DateBar(QWidget *parent) : QWidget(parent)
{
    m_previous = button(this, "dayBack", QStringLiteral("‹"), QStringLiteral("前一天"),
                        QStringLiteral("Alt+← 或 Ctrl+PgUp"));
    m_next = button(this, "dayForward", QStringLiteral("›"), QStringLiteral("后一天"),
                    QStringLiteral("Alt+→ 或 Ctrl+PgDn"));
    m_today = button(this, "dayToday", QStringLiteral("今天"), QStringLiteral("今天"));
    for (QToolButton *arrow : {m_previous, m_next}) {
        QFont f = arrow->font();
        f.setPixelSize(18);
        f.setBold(true);
        arrow->setFont(f);
    }
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("dayTitle"));
    m_title->setAccessibleName(QStringLiteral("日期"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setMinimumWidth(130);
    QFont f = m_title->font();
    f.setPixelSize(14);
    f.setBold(true);
    m_title->setFont(f);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(m_previous);
    row->addWidget(m_title);
    row->addWidget(m_next);
    row->addWidget(m_today);
    row->addStretch(1);

    connect(m_previous, &QToolButton::clicked, this, [this] { emit stepped(-1); });
    connect(m_next, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(m_today, &QToolButton::clicked, this, &DateBar::todayAsked);
}

void DateBar::setDay(const QDate &day, const QDate &today)
{
    m_day = day;
    m_title->setText(LogCalendar::dayTitle(day, today));
    m_title->setAccessibleDescription(m_title->text());
    m_today->setEnabled(day != today);
}
