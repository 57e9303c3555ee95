// SPDX-License-Identifier: GPL-3.0-or-later
// The program's text renders: pinyin's toned letters too, which some CJK fonts draw empty. ctest
// runs this in an English and in a Chinese environment, as the platform picks fonts by language.
#include "skin/ui/MainForm.h"
#include "shell/Startup.h"
#include "widgets/TextFonts.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// How many pixels a text drawn black on white in `font` darkens.
int ink(const QFont &font, const QString &text)
{
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    painter.end();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 160 ? 1 : 0;
    return dark;
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lettersHaveInk_data();
    void lettersHaveInk();
    void emptyGlyphsAreFound();
};

void TestFonts::initTestCase()
{
    Startup::prepareApplication(*qApp);
}

void TestFonts::lettersHaveInk_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("letters");
    for (const char *font : {"application", "notebook"}) {
        QTest::addRow("%s: ǎ ǒ ǐ ǔ ü", font) << font << "ǎǒǐǔü";
        QTest::addRow("%s: every toned letter", font) << font << TextFonts::PinyinLetters;
        QTest::addRow("%s: Chinese", font) << font << "黄瓜鸡蛋";
        QTest::addRow("%s: Latin and digits", font) << font << "AaZz09";
    }
}

// Each letter, drawn alone in the font the program gives its text, leaves ink.
void TestFonts::lettersHaveInk()
{
    QFETCH(QString, font);
    QFETCH(QString, letters);
    const QFont used = font == QLatin1String("application") ? QApplication::font() : MainFormLayout::songFont();
    for (const QChar letter : letters)
        QVERIFY2(ink(used, letter) > 0, qPrintable(QStringLiteral("%1 in %2").arg(letter, used.families().join(u','))));
    QVERIFY(TextFonts::drawsAll(used, letters));
}

// A font that maps the toned letters to empty glyphs is told apart from one that draws them.
void TestFonts::emptyGlyphsAreFound()
{
    const QFont application = QApplication::font();
    QVERIFY(TextFonts::drawsAll(application, QStringLiteral("ǎa黄")));
    QVERIFY(!TextFonts::drawsAll(application, QStringLiteral("a b"))); // a space has no ink
    // Whether the font has the letters itself or another font draws them, an empty one counts.
    QVERIFY(!TextFonts::drawsAll(application, QStringLiteral("黄 ǎ")));
    QVERIFY(!TextFonts::drawsAll(MainFormLayout::songFont(), QStringLiteral("ǎ　黄"))); // the ideographic space
}

QTEST_MAIN(TestFonts)
#include "test_fonts.moc"
