// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ClearButton.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

void enableNamedClearButton(QLineEdit *field)
{
    field->setClearButtonEnabled(true);
    const QString name = QStringLiteral("清除");
    // The button is Qt's own: found by the action it shows.
    for (QAction *action : field->findChildren<QAction *>()) {
        if (action->objectName() == QLatin1String("_q_qlineeditclearaction")) {
            action->setText(name);
            action->setToolTip(QStringLiteral("清除输入的内容"));
        }
    }
    for (QToolButton *button : field->findChildren<QToolButton *>()) {
        button->setAccessibleName(name);
        button->setAccessibleDescription(QStringLiteral("清除输入的内容"));
    }
}
