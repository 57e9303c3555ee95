// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AutoSizeLabel.h"

#include <QEvent>

AutoSizeLabel::AutoSizeLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setMargin(0);
    setIndent(0);
    setAutoFillBackground(false);
    // A label without a layout tells its container that its size hint changed (setText posts
    // a layout request to the parent); that is where the label learns its text changed.
    if (parent)
        parent->installEventFilter(this);
}

void AutoSizeLabel::fitToText()
{
    const QSize hint = sizeHint();
    resize(hint.width(), qMax(height(), hint.height()));
    placeFollower();
}

void AutoSizeLabel::setFollower(QWidget *follower)
{
    m_follower = follower;
    if (follower)
        m_followerPlace = follower->pos();
    placeFollower();
}

void AutoSizeLabel::placeFollower()
{
    if (!m_follower)
        return;
    m_follower->move(text().isEmpty() ? m_followerPlace : QPoint(x() + width(), m_follower->y()));
}

bool AutoSizeLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::LayoutRequest && width() != sizeHint().width())
        fitToText();
    return QLabel::eventFilter(watched, event);
}

void AutoSizeLabel::showEvent(QShowEvent *event)
{
    // A container that is not on show gets no layout request when the text changes.
    if (width() != sizeHint().width())
        fitToText();
    QLabel::showEvent(event);
}

void AutoSizeLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    placeFollower();
}

void AutoSizeLabel::moveEvent(QMoveEvent *event)
{
    QLabel::moveEvent(event);
    placeFollower();
}
