// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a step once, right after a widget has painted for the first time: queued behind the
// paint, so the frame is drawn and handed to the screen before the step runs. For work at
// start that the user need not wait for before seeing the window.
class AfterFirstPaint : public QObject
{
public:
    // Watches `widget` (and is owned by it); `step` runs once.
    AfterFirstPaint(QWidget *widget, std::function<void()> step);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_step;
};
