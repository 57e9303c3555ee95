// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// A button the keyboard presses with Return and Enter as well as Space (a plain
// QAbstractButton takes Space only). Held down, Return clicks once.
class KeyPressButton : public QAbstractButton
{
    Q_OBJECT

public:
    using QAbstractButton::QAbstractButton;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
