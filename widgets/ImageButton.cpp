// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ImageButton.h"

#include "resources/Pictures.h"

#include <QEvent>
#include <QPainter>

ImageButton::ImageButton(const QString &pictureName, const QString &toolTip, QWidget *parent)
    : KeyPressButton(parent), m_pictureName(pictureName)
{
    setToolTip(toolTip);
    setAccessibleName(toolTip);
    setFocusPolicy(Qt::TabFocus);
    refreshCursor();
}

QSize ImageButton::sizeHint() const
{
    return QSize(25, 25);
}

const QPixmap &ImageButton::picture()
{
    // Rendered for the current screen, so the picture stays crisp at any scale.
    const qreal dpr = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.size() != size() * dpr
        || !qFuzzyCompare(m_picture.devicePixelRatio(), dpr))
        m_picture = Pictures::pixmap(m_pictureName, size(), dpr);
    return m_picture;
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(QPoint(0, 0), picture());
    if (hasFocus()) {
        QPen ring(palette().color(QPalette::Highlight), 2);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ImageButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        setAccessibleName(toolTip());
    QAbstractButton::changeEvent(event);
}

void ImageButton::showEvent(QShowEvent *event)
{
    // The window may have moved to a screen of another scale since the cursor was made.
    refreshCursor();
    QAbstractButton::showEvent(event);
}

void ImageButton::refreshCursor()
{
    const qreal dpr = devicePixelRatioF();
    // The picture buttons of a window share one cursor: drawing it costs far more than making
    // the button, and the main window makes five of them before its first frame.
    if (const QWidget *parent = parentWidget()) {
        const auto siblings = parent->findChildren<const ImageButton *>(Qt::FindDirectChildrenOnly);
        for (const ImageButton *sibling : siblings) {
            if (sibling != this && sibling->testAttribute(Qt::WA_SetCursor)
                && sibling->cursor().shape() == Qt::BitmapCursor
                && qFuzzyCompare(sibling->cursor().pixmap().devicePixelRatio(), dpr)) {
                setCursor(sibling->cursor());
                return;
            }
        }
    }
    setCursor(Pictures::handCursor(dpr));
}
