// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPoint>
#include <QPointer>

// A one-line label that grows and shrinks to the right with its text, keeping its top-left
// corner. It never gets smaller than the height it was given. It draws no background of its
// own: the container's shows through.
//
// A follower (the unit after a figure, say) sits right after the label's text: a text of
// any width never covers it.
class AutoSizeLabel : public QLabel
{
    Q_OBJECT

public:
    explicit AutoSizeLabel(const QString &text, QWidget *parent = nullptr);

    // Sizes the label to its text now. Also done by itself whenever the text changes.
    void fitToText();

    // While the label shows text, `follower` stands at the label's right edge, at its own
    // height; while the label is empty, it stands where it stood when this was called.
    void setFollower(QWidget *follower);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void placeFollower();

    QPointer<QWidget> m_follower;
    QPoint m_followerPlace;
};
