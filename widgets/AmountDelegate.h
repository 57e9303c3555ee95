// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/AmountText.h"

#include <QStyledItemDelegate>

// An amount edited in place in a list (grams of a food, minutes of an activity), read like every
// amount (AmountText); a text that does not read as one is not stored.
class AmountDelegate : public QStyledItemDelegate
{
public:
    AmountDelegate(const AmountText::Field &field, QString editorName, QString accessibleName, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    // As wide as the largest amount needs, growing to the left over the name when the column is
    // narrower.
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const override;

private:
    AmountText::Field m_field;
    QString m_editorName;
    QString m_accessibleName;
};
