// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AmountDelegate.h"

#include "widgets/AmountSpinBox.h"

AmountDelegate::AmountDelegate(const AmountText::Field &field, QString editorName, QString accessibleName,
                               QObject *parent)
    : QStyledItemDelegate(parent), m_field(field), m_editorName(std::move(editorName)),
      m_accessibleName(std::move(accessibleName))
{
}

QWidget *AmountDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *box = new AmountSpinBox(m_field, parent);
    box->setObjectName(m_editorName);
    box->setAccessibleName(m_accessibleName);
    box->setFrame(false);
    // Narrow enough to stay within its own cell and the food's name beside it, never over the
    // 大卡 figure (the arrows keys still step it), and opaque, so the figure it edits does not
    // show through.
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setAutoFillBackground(true);
    return box;
}

void AmountDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    static_cast<AmountSpinBox *>(editor)->setValue(qRound(index.data(Qt::EditRole).toDouble()));
}

void AmountDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const AmountText::Reading typed = static_cast<AmountSpinBox *>(editor)->reading();
    if (typed.value)
        model->setData(index, *typed.value, Qt::EditRole);
}

void AmountDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &) const
{
    QRect area = option.rect;
    const int wanted = editor->sizeHint().width();
    if (area.width() < wanted)
        area.setLeft(area.right() + 1 - wanted);
    editor->setGeometry(area);
}
