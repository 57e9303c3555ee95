// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/LongLines.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Set on the format of a paragraph that continues the line before it. A paragraph split by a
// typed break keeps its format in the first part, and two paragraphs joined keep the first
// one's: the mark stays with the break it describes.
const int ContinuesLineProperty = QTextFormat::UserProperty + 0x4c4c; // "LL"

// The characters QTextCursor::insertText() turns into paragraph breaks.
bool isParagraphBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
        || c.unicode() == 0xfdd0 || c.unicode() == 0xfdd1;
}

QTextBlockFormat breakFormat(const QTextBlockFormat &base, bool continuesLine)
{
    QTextBlockFormat format = base;
    if (continuesLine)
        format.setProperty(ContinuesLineProperty, true);
    else
        format.clearProperty(ContinuesLineProperty);
    return format;
}

// Where the lines of `text` are cut: for each cut, the offset of the first character after it.
// Real paragraph breaks are not listed.
QList<qsizetype> cutsIn(const QString &text)
{
    QList<qsizetype> cuts;
    qsizetype lineStart = 0;
    const qsizetype size = text.size();
    while (lineStart < size) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < size && !isParagraphBreak(text.at(lineEnd)))
            ++lineEnd;
        if (lineEnd - lineStart > LongLines::MaxBlockChars) {
            const QString line = text.mid(lineStart, lineEnd - lineStart);
            QTextBoundaryFinder opportunities(QTextBoundaryFinder::Line, line);
            QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, line);
            // One pass over the break opportunities: `next` is the first one not yet passed.
            qsizetype next = opportunities.toNextBoundary();
            qsizetype pieceStart = 0;
            while (line.size() - pieceStart > LongLines::MaxBlockChars) {
                const qsizetype limit = pieceStart + LongLines::MaxBlockChars;
                // The last break opportunity within the limit...
                qsizetype cut = -1;
                while (next != -1 && next <= limit) {
                    if (next > pieceStart)
                        cut = next;
                    next = opportunities.toNextBoundary();
                }
                // ...or, in a run without one, the last character boundary.
                if (cut < 0) {
                    characters.setPosition(limit);
                    cut = characters.isAtBoundary() ? limit : characters.toPreviousBoundary();
                    if (cut <= pieceStart)
                        cut = limit;
                }
                cuts << lineStart + cut;
                pieceStart = cut;
            }
        }
        lineStart = lineEnd + 1;
    }
    return cuts;
}

// Inserts `text` with paragraphs for its real breaks and marked paragraphs at `cuts`.
void insertWithCuts(QTextCursor &cursor, const QString &text, const QList<qsizetype> &cuts)
{
    const QTextBlockFormat base = cursor.blockFormat();
    qsizetype pieceStart = 0;
    qsizetype nextCut = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        const bool atCut = nextCut < cuts.size() && cuts.at(nextCut) == i;
        if (!atEnd && !atCut && !isParagraphBreak(text.at(i)))
            continue;
        if (i > pieceStart)
            cursor.insertText(text.mid(pieceStart, i - pieceStart));
        if (atEnd)
            break;
        if (atCut) {
            ++nextCut;
            cursor.insertBlock(breakFormat(base, true));
            pieceStart = i;
            --i; // the character at the cut starts the next piece
            continue;
        }
        cursor.insertBlock(breakFormat(base, false));
        // CR LF is one break, as QTextCursor::insertText() takes it.
        if (text.at(i) == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        pieceStart = i + 1;
    }
}

} // namespace

void LongLines::setText(QTextDocument *document, const QString &text)
{
    const QList<qsizetype> cuts = cutsIn(text);
    if (cuts.isEmpty()) {
        document->setPlainText(text);
        return;
    }
    // As QTextDocument::setPlainText() does it: the clearing and the new text in one edit, which
    // a view takes as a new document and lays out a screen at a time.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    document->clear();
    insertWithCuts(cursor, text, cuts);
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

void LongLines::insert(QTextCursor &cursor, const QString &text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertWithCuts(cursor, text, cutsIn(text));
    cursor.endEditBlock();
}

void LongLines::insertParagraphBreak(QTextCursor &cursor)
{
    cursor.insertBlock(breakFormat(cursor.blockFormat(), false));
}

bool LongLines::continuesLine(const QTextBlock &block)
{
    return block.blockFormat().boolProperty(ContinuesLineProperty);
}

QString LongLines::plainText(const QTextDocument *document)
{
    return text(document, 0, document->characterCount() - 1);
}

QString LongLines::text(const QTextDocument *document, int from, int to)
{
    if (to <= from)
        return QString();
    QTextCursor selection(const_cast<QTextDocument *>(document));
    selection.setPosition(from);
    selection.setPosition(to, QTextCursor::KeepAnchor);
    const QString selected = selection.selectedText(); // paragraph breaks as U+2029
    // Leave out the breaks before continuing paragraphs.
    QList<qsizetype> added;
    for (QTextBlock block = document->findBlock(from).next(); block.isValid() && block.position() <= to;
         block = block.next()) {
        if (continuesLine(block) && block.position() - 1 < to)
            added << block.position() - 1 - from;
    }
    QString result;
    result.reserve(selected.size() - added.size());
    qsizetype copied = 0;
    for (qsizetype at : added) {
        result += QStringView(selected).mid(copied, at - copied);
        copied = at + 1;
    }
    result += QStringView(selected).mid(copied);
    // As toPlainText() gives it.
    for (QChar &c : result) {
        switch (c.unicode()) {
        case 0xfdd0:
        case 0xfdd1:
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            c = QLatin1Char('\n');
            break;
        case QChar::Nbsp:
            c = QLatin1Char(' ');
            break;
        default:
            break;
        }
    }
    return result;
}
