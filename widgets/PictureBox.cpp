// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PictureBox.h"

#include "resources/Pictures.h"

#include <QPainter>

PictureBox::PictureBox(const QString &pictureName, QSize pictureSize, QWidget *parent)
    : QWidget(parent), m_pictureName(pictureName), m_pictureSize(pictureSize)
{
    setAutoFillBackground(true);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    const qreal dpr = devicePixelRatioF();
    if (m_picture.isNull() || !qFuzzyCompare(m_picture.devicePixelRatio(), dpr))
        m_picture = Pictures::pixmap(m_pictureName, m_pictureSize, dpr);
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), m_picture);
}
