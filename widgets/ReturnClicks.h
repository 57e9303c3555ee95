// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;

// Return or Enter in `field` clicks `button`, while the button is enabled: in a field, it submits
// what was typed; on the focused button itself (field == button), it presses it as Space does.
// Lives as long as `field`.
class ReturnClicks : public QObject
{
    Q_OBJECT

public:
    ReturnClicks(QWidget *field, QAbstractButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QAbstractButton> m_button;
};
