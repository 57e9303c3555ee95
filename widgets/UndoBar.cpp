// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/UndoBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

UndoBar::UndoBar(QWidget *parent, const QString &namePrefix) : QWidget(parent)
{
    // "undoBar", or "exerciseUndoBar" for namePrefix "exercise".
    const auto named = [&namePrefix](const char *name) {
        const QString plain = QLatin1String(name);
        return namePrefix.isEmpty() ? plain : namePrefix + plain.left(1).toUpper() + plain.mid(1);
    };
    setObjectName(named("undoBar"));
    m_text = new QLabel(this);
    m_text->setObjectName(named("undoText"));
    m_text->setAccessibleName(QStringLiteral("删除提示"));
    m_undo = new QPushButton(QStringLiteral("撤销 (Ctrl+Z)"), this);
    m_undo->setObjectName(named("undoDelete"));
    m_undo->setAccessibleName(QStringLiteral("撤销删除"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_text, 1);
    row->addWidget(m_undo);
    connect(m_undo, &QPushButton::clicked, this, &UndoBar::undoAsked);
    hide();
}

void UndoBar::offer(const QString &what)
{
    offerText(QStringLiteral("已删除“%1”").arg(what));
}

void UndoBar::offerText(const QString &text)
{
    m_text->setText(text);
    m_text->setAccessibleDescription(m_text->text());
    m_offered = true;
    m_undo->show();
    show();
}

void UndoBar::tell(const QString &text)
{
    m_text->setText(text);
    m_text->setAccessibleDescription(m_text->text());
    m_offered = false;
    m_undo->hide();
    show();
}

void UndoBar::withdraw()
{
    m_offered = false;
    hide();
}
