// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/KeyPressButton.h"

class SkinEngine;
class SkinObject;

// The keyboard's and the screen reader's way to one object the skin draws: an invisible button
// lying over the object's rectangle. The mouse goes through it to the skin as before; Tab
// reaches it, a focus ring shows it, Space, Enter or Return press it, and a screen reader sees
// a button named by its caption and can press it. A press clicks the object through the engine,
// exactly as a mouse click on it does.
class SkinButton : public KeyPressButton
{
    Q_OBJECT

public:
    SkinButton(SkinEngine &engine, const SkinObject &object, const QString &caption,
               QWidget *window);

    // The skin object's name ("a", "logo", "x"); the button's own object name is "skin_" and it.
    QString skinObjectName() const { return m_skinObjectName; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_skinObjectName;
    bool m_round;
};
