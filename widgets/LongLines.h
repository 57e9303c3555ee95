// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QTextBlock;
class QTextCursor;
class QTextDocument;

// Text with very long lines, shown and edited without freezing the window.
//
// Qt lays out each paragraph of a document whole. Its line breaking looks ahead to the next
// break opportunity, so a paragraph with none (one long word, a pasted code) takes time that
// grows with the square of its length, and even a paragraph of words costs about a microsecond
// a character. A line longer than MaxBlockChars is therefore held as several paragraphs, each
// one after the first starting at a line-break opportunity (or, in a run without one, at a
// character boundary) and marked as continuing the line: its break before it is not part of
// the text. plainText() and text() leave those breaks out, so what is read, saved or copied is
// the text as it was given. A document without such marks reads as toPlainText() does.
namespace LongLines {

// Longest paragraph laid out: short enough that even a run without break opportunities lays out
// in a few milliseconds, long enough that few lines end early.
constexpr int MaxBlockChars = 4096;

// Replaces the document's text with `text`; lines of up to MaxBlockChars go in as they are
// (the document then holds exactly what setPlainText() would give).
void setText(QTextDocument *document, const QString &text);

// Inserts `text` at the cursor in the same way (a paste or a drop), as one undo step.
void insert(QTextCursor &cursor, const QString &text);

// A paragraph break the user typed: a real one, whatever paragraph the cursor is in.
void insertParagraphBreak(QTextCursor &cursor);

// True for a paragraph that continues the line of the one before it.
bool continuesLine(const QTextBlock &block);

// The document's text (as toPlainText() gives it), without the breaks added for long lines.
QString plainText(const QTextDocument *document);

// The text between two positions of the document, likewise (a copy of a selection).
QString text(const QTextDocument *document, int from, int to);

} // namespace LongLines
