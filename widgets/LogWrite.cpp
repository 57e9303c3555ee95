// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LogWrite.h"

#include "db/DataError.h"
#include "widgets/MessageBox.h"

#include <QWidget>

bool writeOrSay(QWidget *parent, const QString &title, const std::function<void()> &change)
{
    try {
        change();
        return true;
    } catch (const DataError &error) {
        MessageBox::information(parent ? parent->window() : nullptr, title, error.message());
        return false;
    }
}
