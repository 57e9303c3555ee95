// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/DayTotals.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

QLabel *figure(QWidget *parent, const char *objectName, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setAccessibleName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A figure's name says what it is ("已摄入"); a screen reader reads its text as the description.
void showText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}

} // namespace

DayTotals::DayTotals(QWidget *parent) : QWidget(parent)
{
    m_eaten = figure(this, "eatenKcal", QStringLiteral("已摄入"));
    m_burned = figure(this, "burnedKcal", QStringLiteral("运动消耗"));
    m_budget = figure(this, "budgetKcal", QStringLiteral("预算"));
    m_left = figure(this, "leftKcal", QStringLiteral("剩余"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("budgetBar"));
    m_bar->setAccessibleName(QStringLiteral("已摄入占预算"));
    m_bar->setTextVisible(false);
    m_bar->setFixedHeight(8);
    // Where the budget needs it, the profile is asked for here, by the user, never by itself.
    // As low as the figures beside it, so the row keeps its height.
    m_profile = new QToolButton(this);
    m_profile->setText(QStringLiteral("填写个人资料…"));
    m_profile->setObjectName(QStringLiteral("totalsProfileButton"));
    m_profile->setAccessibleName(QStringLiteral("填写个人资料，算出预算"));
    m_profile->setToolTip(QStringLiteral("填写性别、出生年份、身高和活动水平，记录体重后即可算出每日预算"));
    m_profile->setAutoRaise(true);
    m_profile->setFocusPolicy(Qt::StrongFocus);
    m_profile->setCursor(Qt::PointingHandCursor);
    m_profile->setMaximumHeight(m_eaten->sizeHint().height() + 2);
    m_profile->hide();
    connect(m_profile, &QToolButton::clicked, this, &DayTotals::profileAsked);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_eaten, 0, 0);
    grid->addWidget(m_burned, 0, 1);
    grid->addWidget(m_budget, 0, 2);
    grid->addWidget(m_left, 0, 3);
    grid->addWidget(m_profile, 0, 3, Qt::AlignRight);
    grid->addWidget(m_bar, 1, 0, 1, 4);
}

void DayTotals::setTotals(qint64 eaten, qint64 burned, std::optional<int> budget, const QString &noBudgetHint,
                          bool profileMissing)
{
    m_profile->setVisible(profileMissing);
    m_left->setVisible(!profileMissing);
    const qint64 kcal = eaten;
    showText(m_eaten, QStringLiteral("已摄入 %1 大卡").arg(kcal));
    showText(m_burned, QStringLiteral("运动消耗 %1 大卡").arg(burned));
    QPalette leftPalette = palette();
    if (!budget) {
        showText(m_budget, QStringLiteral("预算 —"));
        showText(m_left, noBudgetHint);
        m_left->setAccessibleName(QStringLiteral("剩余"));
        m_left->setPalette(leftPalette);
        m_bar->setRange(0, 1);
        m_bar->setValue(0);
        m_bar->setEnabled(false);
        return;
    }
    m_bar->setEnabled(true);
    showText(m_budget, QStringLiteral("预算 %1 大卡").arg(*budget));
    const qint64 allowed = *budget + burned;
    const qint64 left = allowed - kcal;
    if (left >= 0) {
        showText(m_left, QStringLiteral("剩余 %1 大卡").arg(left));
        leftPalette.setColor(QPalette::WindowText, QColor(0x2E, 0x7D, 0x32));
    } else {
        showText(m_left, QStringLiteral("超出 %1 大卡").arg(-left));
        leftPalette.setColor(QPalette::WindowText, QColor(0xC6, 0x28, 0x28));
    }
    m_left->setPalette(leftPalette);
    // Exercise makes room: the bar runs to budget + burned.
    const int barEnd = int(std::clamp<qint64>(allowed, 1, std::numeric_limits<int>::max()));
    m_bar->setRange(0, barEnd);
    m_bar->setValue(int(std::min<qint64>(kcal, barEnd)));
    QPalette barPalette = m_bar->palette();
    barPalette.setColor(QPalette::Highlight, left >= 0 ? QColor(0x5D, 0xB2, 0x46) : QColor(0xE5, 0x53, 0x3B));
    m_bar->setPalette(barPalette);
}
