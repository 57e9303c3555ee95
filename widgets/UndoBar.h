// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// "已删除“米饭”  撤销" after a delete (or a copy, a move, a quick entry), until the next change of
// that day's log or another day is shown; 撤销 or Ctrl+Z takes it back. No timer: a user who reads slowly, or is interrupted,
// still finds it there.
class UndoBar : public QWidget
{
    Q_OBJECT

public:
    // `namePrefix` tells the object names of two bars in one view apart.
    explicit UndoBar(QWidget *parent = nullptr, const QString &namePrefix = QString());

    // "已删除“what”".
    void offer(const QString &what);
    // Any change that can be taken back, in its own words ("已把“米饭”移到晚餐").
    void offerText(const QString &text);
    // A sentence without 撤销, such as what an undo did; gone with the next change or day.
    void tell(const QString &text);
    void withdraw();
    bool isOffered() const { return m_offered; }

signals:
    void undoAsked();

private:
    QLabel *m_text;
    QPushButton *m_undo;
    bool m_offered = false;
};
