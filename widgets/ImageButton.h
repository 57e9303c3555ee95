// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/KeyPressButton.h"
#include <QPixmap>

// A clickable picture: draws its picture over its whole box, shows a tooltip and the
// pointing-hand cursor, takes the keyboard focus with Tab only (a mouse click does not leave
// a focus ring behind), and is clicked with Space, Enter or Return. Screen readers name it by
// its tooltip, since it has no visible text.
class ImageButton : public KeyPressButton
{
    Q_OBJECT

public:
    ImageButton(const QString &pictureName, const QString &toolTip, QWidget *parent = nullptr);

    QString pictureName() const { return m_pictureName; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refreshCursor();
    const QPixmap &picture();

    QString m_pictureName;
    QPixmap m_picture;
};
