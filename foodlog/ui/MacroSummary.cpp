// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/MacroSummary.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace {

QLabel *figure(QWidget *parent, const char *objectName, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setAccessibleName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// With `judged` false the share is shown without a verdict: its figures cover too little of the day.
void showShare(QLabel *label, const QString &name, const MacroShares::Share &share, bool judged)
{
    QString text = QStringLiteral("%1 %2 克 %3%").arg(name).arg(share.grams, 0, 'f', 1).arg(qRound(share.percent));
    if (judged)
        text += QLatin1Char(' ') + share.verdictText();
    label->setText(text);
    label->setToolTip(QStringLiteral("%1占能量 %2%，成人参考范围 %3–%4%").arg(name).arg(qRound(share.percent)).arg(share.low).arg(share.high));
    // The grams on screen are read out too; the verdict only where the screen gives one.
    label->setAccessibleDescription(QStringLiteral("%1 %2 克，占能量 %3%，成人参考范围 %4–%5%")
                                        .arg(name)
                                        .arg(share.grams, 0, 'f', 1)
                                        .arg(qRound(share.percent))
                                        .arg(share.low)
                                        .arg(share.high)
                                    + (judged ? QStringLiteral("，") + share.verdictText() : QString()));
    QPalette palette = label->parentWidget()->palette();
    if (judged && share.verdict != MacroShares::Verdict::InRange)
        palette.setColor(QPalette::WindowText, QColor(0xB0, 0x1C, 0x1C));
    label->setPalette(palette);
}

// "膳食纤维 26.1 克 适宜（建议 25–30 克）"; "膳食纤维 0.5 克（覆盖今日能量 16%）" when the entries
// with the figure carry too little of the day; "—" when none has it. The advice is short, as two
// amounts share a line; `adviceDetail` says the rest in the tooltip and to a screen reader.
void showAmount(QLabel *label, const MacroShares &shares, const MacroShares::Amount &amount, const QString &name,
                const QString &value, const QString &advice, const QString &adviceDetail)
{
    const bool judged = shares.judged(amount);
    QString text = name + QLatin1Char(' ') + (amount.entries > 0 ? value : QStringLiteral("—"));
    if (judged)
        text += QLatin1Char(' ') + MacroShares::textOf(amount.verdict);
    // A total of part of the day says so where it is read, not only in the tooltip.
    if (amount.entries > 0 && !judged)
        text += QStringLiteral("（覆盖今日能量 %1%）").arg(shares.coveragePercentOf(amount));
    else
        text += QStringLiteral("（%1）").arg(advice);
    label->setText(text);
    label->setToolTip(amount.entries > 0 && !judged
                          ? QStringLiteral("有%1数据的记录覆盖今日能量的 %2%，不作评价").arg(name).arg(shares.coveragePercentOf(amount))
                          : adviceDetail);
    label->setAccessibleDescription(label->toolTip());
    QPalette palette = label->parentWidget()->palette();
    if (judged && amount.verdict != MacroShares::Verdict::InRange)
        palette.setColor(QPalette::WindowText, QColor(0xB0, 0x1C, 0x1C));
    label->setPalette(palette);
}

} // namespace

MacroSummary::MacroSummary(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("macroSummary"));
    m_protein = figure(this, "proteinShare", QStringLiteral("蛋白质"));
    m_fat = figure(this, "fatShare", QStringLiteral("脂肪"));
    m_carbohydrate = figure(this, "carbohydrateShare", QStringLiteral("碳水"));
    m_fibre = figure(this, "fibreTotal", QStringLiteral("膳食纤维"));
    m_sodium = figure(this, "sodiumTotal", QStringLiteral("钠"));
    m_note = figure(this, "macroNote", QStringLiteral("三大营养素说明"));
    m_note->setWordWrap(true);
    // Smaller than the entries above: three figures share one line.
    QFont small = font();
    small.setPixelSize(11);
    for (QLabel *label : {m_protein, m_fat, m_carbohydrate, m_fibre, m_sodium, m_note})
        label->setFont(small);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    grid->addWidget(m_protein, 0, 0);
    grid->addWidget(m_fat, 0, 1);
    grid->addWidget(m_carbohydrate, 0, 2);
    // Fibre and sodium each take the width they need, whatever the shares above leave their columns.
    auto *amounts = new QHBoxLayout;
    amounts->setSpacing(12);
    amounts->addWidget(m_fibre);
    amounts->addWidget(m_sodium);
    amounts->addStretch();
    grid->addLayout(amounts, 1, 0, 1, 3);
    grid->addWidget(m_note, 2, 0, 1, 3);
}

void MacroSummary::showDay(const MacroShares &shares, std::optional<double> kg)
{
    setVisible(shares.isKnown() || shares.entriesWithout > 0);
    for (QLabel *label : {m_protein, m_fat, m_carbohydrate, m_fibre, m_sodium})
        label->setVisible(shares.isKnown());
    if (shares.isKnown()) {
        showShare(m_protein, QStringLiteral("蛋白质"), shares.protein, shares.judged());
        showShare(m_fat, QStringLiteral("脂肪"), shares.fat, shares.judged());
        showShare(m_carbohydrate, QStringLiteral("碳水"), shares.carbohydrate, shares.judged());
        showAmount(m_fibre, shares, shares.fibre, QStringLiteral("膳食纤维"),
                   QStringLiteral("%1 克").arg(shares.fibre.total, 0, 'f', 1), QStringLiteral("建议 25–30 克"),
                   QStringLiteral("成人每天建议 25–30 克膳食纤维"));
        showAmount(m_sodium, shares, shares.sodium, QStringLiteral("钠"),
                   QStringLiteral("%1 毫克").arg(qRound(shares.sodium.total)), QStringLiteral("建议少于 2000 毫克"),
                   QStringLiteral("成人每天建议钠少于 2000 毫克，约合食盐 5 克"));
    }
    QStringList notes;
    if (shares.isKnown() && !shares.judged())
        notes << QStringLiteral("有营养素数据的记录覆盖今日能量的 %1%，不足 %2%，不作评价")
                     .arg(shares.coveragePercent())
                     .arg(MacroShares::MinimumCoverage);
    if (shares.isKnown() && kg && *kg > 0)
        notes << QStringLiteral("蛋白质每千克体重 %1 克").arg(shares.protein.grams / *kg, 0, 'f', 1);
    if (shares.entriesWithout > 0)
        notes << QStringLiteral("%1 条记录没有营养素数据，未计入").arg(shares.entriesWithout);
    if (shares.isKnown())
        // One line, so that the entries above keep their room; each share's range is in its
        // tooltip and its spoken description.
        notes << QStringLiteral("参考范围：中国居民膳食营养素参考摄入量（2023）、膳食指南（2022）");
    m_note->setText(notes.join(QStringLiteral("；")));
    m_note->setAccessibleDescription(m_note->text());
}
