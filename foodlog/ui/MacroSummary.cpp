// SPDX-License-Identifier: GPL-3.0-or-later
#include "foodlog/ui/MacroSummary.h"

#include <QGridLayout>
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

void showShare(QLabel *label, const QString &name, const MacroShares::Share &share)
{
    const QString text = QStringLiteral("%1 %2 克 %3% %4")
                             .arg(name)
                             .arg(share.grams, 0, 'f', 1)
                             .arg(qRound(share.percent))
                             .arg(share.verdictText());
    label->setText(text);
    label->setToolTip(QStringLiteral("%1占能量 %2%，成人参考范围 %3–%4%").arg(name).arg(qRound(share.percent)).arg(share.low).arg(share.high));
    // The grams on screen are read out too.
    label->setAccessibleDescription(QStringLiteral("%1 %2 克，占能量 %3%，成人参考范围 %4–%5%，%6")
                                        .arg(name)
                                        .arg(share.grams, 0, 'f', 1)
                                        .arg(qRound(share.percent))
                                        .arg(share.low)
                                        .arg(share.high)
                                        .arg(share.verdictText()));
    QPalette palette = label->parentWidget()->palette();
    if (share.verdict != MacroShares::Verdict::InRange)
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
    m_note = figure(this, "macroNote", QStringLiteral("三大营养素说明"));
    m_note->setWordWrap(true);
    // Smaller than the entries above: three figures share one line.
    QFont small = font();
    small.setPixelSize(11);
    for (QLabel *label : {m_protein, m_fat, m_carbohydrate, m_note})
        label->setFont(small);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    grid->addWidget(m_protein, 0, 0);
    grid->addWidget(m_fat, 0, 1);
    grid->addWidget(m_carbohydrate, 0, 2);
    grid->addWidget(m_note, 1, 0, 1, 3);
}

void MacroSummary::showDay(const MacroShares &shares, std::optional<double> kg)
{
    setVisible(shares.isKnown() || shares.entriesWithout > 0);
    for (QLabel *label : {m_protein, m_fat, m_carbohydrate})
        label->setVisible(shares.isKnown());
    if (shares.isKnown()) {
        showShare(m_protein, QStringLiteral("蛋白质"), shares.protein);
        showShare(m_fat, QStringLiteral("脂肪"), shares.fat);
        showShare(m_carbohydrate, QStringLiteral("碳水"), shares.carbohydrate);
    }
    QStringList notes;
    if (shares.isKnown() && kg && *kg > 0)
        notes << QStringLiteral("蛋白质每千克体重 %1 克").arg(shares.protein.grams / *kg, 0, 'f', 1);
    if (shares.entriesWithout > 0)
        notes << QStringLiteral("%1 条记录没有营养素数据，未计入").arg(shares.entriesWithout);
    if (shares.isKnown())
        notes << QStringLiteral("参考：蛋白质 10–20%、脂肪 20–30%、碳水 50–65%（中国居民膳食营养素参考摄入量 2023版）");
    m_note->setText(notes.join(QStringLiteral("；")));
    m_note->setAccessibleDescription(m_note->text());
}
