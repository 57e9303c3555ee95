// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ReturnClicks.h"

#include <QAbstractButton>
#include <QKeyEvent>

ReturnClicks::ReturnClicks(QWidget *field, QAbstractButton *button) : QObject(field), m_button(button)
{
    field->installEventFilter(this);
}

bool ReturnClicks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_button) {
            if (m_button->isEnabled())
                m_button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
