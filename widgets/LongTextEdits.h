// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>
#include <QTextEdit>

// The record on show (bodyView): copies leave out the breaks LongLines adds to long lines, so a
// copied record is its text as stored.
class RecordView : public QTextEdit
{
    Q_OBJECT

public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override;
};

// The body input (bodyEdit): pastes and drops go in through LongLines, so a pasted long line does
// not freeze the window; Return and Enter make real paragraph breaks; copies leave out the
// breaks LongLines added.
class BodyInput : public QPlainTextEdit
{
    Q_OBJECT

public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;
    void keyPressEvent(QKeyEvent *event) override;
};
