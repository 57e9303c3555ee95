#include "AutoSizeLabel.h"

#include <QEvent>

AutoSizeLabel::AutoSizeLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setMargin(0);
    setIndent(0);
    // A label without a layout tells its container that its size hint changed (setText posts
    // a layout request to the parent); that is where the label learns its text changed.
    if (parent)
        parent->installEventFilter(this);
}

void AutoSizeLabel::fitToText()
{
    const QSize hint = sizeHint();
    resize(hint.width(), qMax(height(), hint.height()));
}

bool AutoSizeLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::LayoutRequest && width() != sizeHint().width())
        fitToText();
    return QLabel::eventFilter(watched, event);
}
