// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/KeyPressButton.h"

#include <QKeyEvent>

void KeyPressButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    default:
        QAbstractButton::keyPressEvent(event); // Space
    }
}
