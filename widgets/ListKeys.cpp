// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ListKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

const char OwnMenuProperty[] = "hasOwnContextMenu";

} // namespace

ListKeys::ListKeys(std::function<void()> edit, std::function<void()> remove)
    : m_edit(std::move(edit)), m_remove(std::move(remove))
{
}

bool ListKeys::press(QKeyEvent *event, bool editing) const
{
    if (editing)
        return false;
    switch (event->key()) {
    case Qt::Key_Delete:
        m_remove();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        m_edit();
        break;
    default:
        return false;
    }
    event->accept();
    return true;
}

void ListKeys::giveOwnMenu(QWidget *list)
{
    list->setProperty(OwnMenuProperty, true);
}

bool ListKeys::hasOwnMenu(const QWidget *widget)
{
    return widget->property(OwnMenuProperty).toBool();
}
