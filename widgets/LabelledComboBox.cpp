// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LabelledComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace {

class ComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QComboBox *box() const { return static_cast<QComboBox *>(widget()); }

    QString value() const
    {
        return box()->isEditable() && box()->lineEdit() ? box()->lineEdit()->text() : box()->currentText();
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return LabelledComboBox::spokenName(box()->accessibleName(), value());
        case QAccessible::Value:
            return value();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    // The list it opens, as Qt's own combo box offers it.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = box()->view()->isVisible();
        s.editable = box()->isEditable();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction()) {
            if (box()->view()->isVisible())
                box()->hidePopup();
            else
                box()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

} // namespace

namespace LabelledComboBox {

QString spokenName(const QString &label, const QString &value)
{
    if (label.isEmpty())
        return value;
    if (value.isEmpty())
        return label;
    return QStringLiteral("%1：%2").arg(label, value);
}

QAccessibleInterface *accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox") && object && object->isWidgetType())
        return new ComboBoxAccessible(static_cast<QComboBox *>(object));
    return nullptr;
}

} // namespace LabelledComboBox
