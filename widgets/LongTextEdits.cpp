// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LongTextEdits.h"

#include "widgets/LongLines.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace {

QMimeData *selectionAsText(const QTextDocument *document, const QTextCursor &cursor)
{
    auto *data = new QMimeData;
    data->setText(LongLines::text(document, cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

} // namespace

QMimeData *RecordView::createMimeDataFromSelection() const
{
    return selectionAsText(document(), textCursor());
}

void BodyInput::insertFromMimeData(const QMimeData *source)
{
    if (isReadOnly() || !source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor cursor = textCursor();
    LongLines::insert(cursor, source->text());
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData *BodyInput::createMimeDataFromSelection() const
{
    return selectionAsText(document(), textCursor());
}

void BodyInput::keyPressEvent(QKeyEvent *event)
{
    // Backspace at the start of a paragraph that continues a line, or Delete at the end of the
    // one before it, would take out a break that is not part of the text and seem to do
    // nothing: they take the character beyond it.
    QTextCursor at = textCursor();
    const bool plainKey = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plainKey && !at.hasSelection() && !isReadOnly()) {
        const QTextBlock block = at.block();
        if (event->key() == Qt::Key_Backspace && at.atBlockStart() && LongLines::continuesLine(block)) {
            at.setPosition(block.position() - 1);
            at.deletePreviousChar();
            setTextCursor(at);
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Delete && at.atBlockEnd() && LongLines::continuesLine(block.next())) {
            at.setPosition(block.next().position());
            at.deleteChar();
            setTextCursor(at);
            event->accept();
            return;
        }
    }

    const bool paragraphBreak = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & ~Qt::KeypadModifier) && !isReadOnly();
    if (!paragraphBreak) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Qt's own break would copy the paragraph's format, and with it a mark that the break
    // before it is not part of the text.
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    LongLines::insertParagraphBreak(cursor);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
    event->accept();
}
