// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

// "已删除“米饭”  撤销" for a few seconds after a delete; 撤销 or Ctrl+Z takes it back.
class UndoBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ShownMs = 6000;

    explicit UndoBar(QWidget *parent = nullptr);

    void offer(const QString &what);
    void withdraw();
    bool isOffered() const { return m_timer.isActive(); }

signals:
    void undoAsked();

private:
    QLabel *m_text;
    QPushButton *m_undo;
    QTimer m_timer;
};
