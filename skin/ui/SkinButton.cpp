// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ui/SkinButton.h"

#include "skin/ui/SkinEngine.h"

#include <QPainter>

SkinButton::SkinButton(SkinEngine &engine, const SkinObject &object, const QString &caption,
                       QWidget *window)
    : KeyPressButton(window), m_skinObjectName(object.name())
{
    setObjectName(QStringLiteral("skin_") + object.name());
    setAccessibleName(caption);
    setGeometry(object.rect());
    // The skin handles the mouse: hover, press, drag and click stay exactly as they were.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::TabFocus);
    // A large near-square object (the mascot) gets a round ring; the small window boxes and
    // the wide buttons a rounded rectangle like their pictures.
    const QSize size = object.rect().size();
    m_round = qAbs(size.width() - size.height()) * 5 <= qMax(size.width(), size.height())
        && qMin(size.width(), size.height()) > 32;
    connect(this, &QAbstractButton::clicked, &engine,
            [&engine, name = object.name()] { engine.clickObject(name); });
}

void SkinButton::paintEvent(QPaintEvent *)
{
    // Nothing but the focus ring: the skin draws the object itself.
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QRectF outer = QRectF(rect()).adjusted(1, 1, -1, -1);
    const QRectF inner = outer.adjusted(2, 2, -2, -2);
    // A dark ring with a white one inside, so it shows on light and dark parts of the skin.
    const auto draw = [&](const QRectF &box, const QColor &colour, qreal width) {
        painter.setPen(QPen(colour, width));
        if (m_round)
            painter.drawEllipse(box);
        else
            painter.drawRoundedRect(box, 4, 4);
    };
    draw(outer, palette().color(QPalette::Highlight).darker(130), 2.5);
    draw(inner, Qt::white, 1.5);
}
