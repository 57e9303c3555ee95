// SPDX-License-Identifier: GPL-3.0-or-later
// Long lines: held as short paragraphs for layout, read, saved and copied as they were given.
#include "widgets/LongLines.h"
#include "widgets/LongTextEdits.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

namespace {

// What the document gives for `text` without any of this: setPlainText() and toPlainText().
QString asQtReadsIt(const QString &text)
{
    QTextDocument document;
    document.setPlainText(text);
    return document.toPlainText();
}

QString repeated(const QString &piece, int size)
{
    QString text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    return text;
}

} // namespace

class TestLongLines : public QObject
{
    Q_OBJECT

private slots:
    void readBackAsGiven_data();
    void readBackAsGiven();
    void typedBreakInALongLineIsKept();
    void pasteAndCopyKeepTheText();
};

void TestLongLines::readBackAsGiven_data()
{
    QTest::addColumn<QString>("text");
    const int max = LongLines::MaxBlockChars;
    QTest::newRow("short") << QStringLiteral("燕麦加牛奶\n少糖");
    QTest::newRow("empty") << QString();
    QTest::newRow("a line at the limit") << QString(max, QLatin1Char('x'));
    QTest::newRow("one over") << QString(max + 1, QLatin1Char('x'));
    QTest::newRow("100 KB without a break") << QString(100000, QLatin1Char('x'));
    QTest::newRow("100 KB of words") << repeated(QStringLiteral("walk more "), 100000);
    QTest::newRow("100 KB of Chinese") << repeated(QStringLiteral("每天走一万步，"), 100000);
    QTest::newRow("long line between short ones")
        << QStringLiteral("第一行\n") + QString(3 * max, QLatin1Char('y')) + QStringLiteral("\n\n末行\n");
    QTest::newRow("emoji across the limit") << QString(max - 1, QLatin1Char('x')) + repeated(QStringLiteral("😀"), 2 * max);
    QTest::newRow("accents across the limit") << QString(max - 1, QLatin1Char('x')) + repeated(QStringLiteral("e\u0301"), 2 * max);
    QTest::newRow("CR LF and other breaks") << QString(2 * max, QLatin1Char('z')) + QStringLiteral("\r\na\u2029b\u2028c\u00a0d");
}

// The text reads back as Qt reads it without long-line handling, and no paragraph is longer than
// the limit or starts inside a character.
void TestLongLines::readBackAsGiven()
{
    QFETCH(QString, text);
    QTextDocument document;
    LongLines::setText(&document, text);
    QCOMPARE(LongLines::plainText(&document), asQtReadsIt(text));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QVERIFY(block.length() - 1 <= LongLines::MaxBlockChars);
        if (LongLines::continuesLine(block)) {
            const QChar first = block.text().at(0);
            QVERIFY(!first.isLowSurrogate());
            QVERIFY(first.category() != QChar::Mark_NonSpacing);
        }
    }
    // Any part of it copies as the same part of the text.
    const QString whole = asQtReadsIt(text);
    if (whole.size() > 10) {
        const int from = int(whole.size() / 3);
        const int to = int(whole.size() - 5);
        // Positions count the added breaks: find them through the document.
        int offset = 0;
        int docFrom = -1;
        int docTo = -1;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block != document.begin() && !LongLines::continuesLine(block))
                ++offset; // a real break is one character of the text
            const int length = block.length() - 1;
            if (docFrom < 0 && from <= offset + length)
                docFrom = block.position() + (from - offset);
            if (docTo < 0 && to <= offset + length)
                docTo = block.position() + (to - offset);
            offset += length;
        }
        QCOMPARE(LongLines::text(&document, docFrom, docTo), whole.mid(from, to - from));
    }
}

void TestLongLines::typedBreakInALongLineIsKept()
{
    const QString line(3 * LongLines::MaxBlockChars, QLatin1Char('x'));
    BodyInput input;
    LongLines::setText(input.document(), line);
    QTextBlock continuing = input.document()->begin().next();
    QVERIFY(LongLines::continuesLine(continuing));

    // Return in a continuing paragraph: a real break, which is read back.
    QTextCursor cursor(continuing);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 10);
    input.setTextCursor(cursor);
    const int at = LongLines::MaxBlockChars + 10;
    QTest::keyClick(&input, Qt::Key_Return);
    QCOMPARE(LongLines::plainText(input.document()), line.left(at) + QLatin1Char('\n') + line.mid(at));

    // Backspace and Delete beside an added break take the character beyond it.
    QTextCursor joint(input.document()->begin().next());
    QVERIFY(LongLines::continuesLine(joint.block()));
    input.setTextCursor(joint);
    QTest::keyClick(&input, Qt::Key_Backspace);
    QTest::keyClick(&input, Qt::Key_Delete);
    QString edited = line.left(at) + QLatin1Char('\n') + line.mid(at);
    edited.remove(LongLines::MaxBlockChars - 1, 2);
    QCOMPARE(LongLines::plainText(input.document()), edited);
    input.undo();
    input.undo();
    QCOMPARE(LongLines::plainText(input.document()), line.left(at) + QLatin1Char('\n') + line.mid(at));
    input.setTextCursor(cursor); // after the typed break again

    // Joining it again with Backspace, and undoing: the text follows.
    QTest::keyClick(&input, Qt::Key_Backspace);
    QCOMPARE(LongLines::plainText(input.document()), line);
    input.undo();
    QCOMPARE(LongLines::plainText(input.document()), line.left(at) + QLatin1Char('\n') + line.mid(at));
}

void TestLongLines::pasteAndCopyKeepTheText()
{
    // A long line without breaks, with words and Chinese after it.
    const QString pasted = QString(300000, QLatin1Char('x')) + repeated(QStringLiteral("少油 less oil "), 50000);
    BodyInput input;
    input.setPlainText(QStringLiteral("前\n后"));
    QTextCursor cursor(input.document());
    cursor.setPosition(1);
    input.setTextCursor(cursor);
    QApplication::clipboard()->setText(pasted);
    input.paste();
    const QString expected = QStringLiteral("前") + pasted + QStringLiteral("\n后");
    QCOMPARE(LongLines::plainText(input.document()), expected);
    QVERIFY(input.document()->blockCount() > pasted.size() / LongLines::MaxBlockChars);

    input.selectAll();
    input.copy();
    QCOMPARE(QApplication::clipboard()->text(), expected);
    input.undo();
    QCOMPARE(LongLines::plainText(input.document()), QStringLiteral("前\n后"));

    // The record view copies what it shows as it was stored.
    RecordView view;
    LongLines::setText(view.document(), pasted);
    view.selectAll();
    view.copy();
    QCOMPARE(QApplication::clipboard()->text(), pasted);
}

QTEST_MAIN(TestLongLines)
#include "test_long_lines.moc"
