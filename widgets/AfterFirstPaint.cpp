// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AfterFirstPaint.h"

#include <QEvent>
#include <utility>
#include <QTimer>
#include <QWidget>

AfterFirstPaint::AfterFirstPaint(QWidget *widget, std::function<void()> step)
    : QObject(widget), m_step(std::move(step))
{
    widget->installEventFilter(this);
}

bool AfterFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && m_step) {
        watched->removeEventFilter(this);
        // Queued on the widget: a step for a window that is gone never runs.
        QTimer::singleShot(0, static_cast<QWidget *>(watched), std::exchange(m_step, nullptr));
    }
    return QObject::eventFilter(watched, event);
}
