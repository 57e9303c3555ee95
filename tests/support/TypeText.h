// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Typing into a widget as a keyboard does, one key press and release a
// character, Chinese included (QTest::keyClicks takes Latin-1 only).

#include <QCoreApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &release);
    }
}
