// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of typed amounts: every field that takes one (grams, weight, height, minutes,
// energy) reads the same texts the same way; and the one writer of figures, whose text it reads back.
#include "foods/AmountText.h"
#include "foods/FigureText.h"
#include "foods/FoodChoices.h"
#include "foods/PortionCalculator.h"

#include <QTest>

class TestAmountText : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void storedFiguresReadTheSameWay_data();
    void storedFiguresReadTheSameWay();
    void figureText_data();
    void figureText();
};

void TestAmountText::read_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("value");   // -1: refused
    QTest::addColumn<QString>("problem");

    // The same numbers in every field: full-width digits and stops as typed in Chinese.
    const struct
    {
        const char *field;
        const char *plain;
        double value;
    } fields[] = {{"grams", "100", 100}, {"weight", "72.5", 72.5}, {"height", "165", 165},
                  {"minutes", "30", 30}, {"kcal", "52.5", 52.5}};
    for (const auto &f : fields) {
        const QString plain = QString::fromLatin1(f.plain);
        QString fullWidth;
        for (QChar c : plain)
            fullWidth += c == QLatin1Char('.') ? QChar(0xFF0E) : QChar(0xFF10 + (c.unicode() - u'0'));
        QTest::addRow("%s: plain", f.field) << f.field << plain << f.value << QString();
        QTest::addRow("%s: full-width", f.field) << f.field << fullWidth << f.value << QString();
        QTest::addRow("%s: blanks around", f.field) << f.field << " \u3000" + plain + " " << f.value << QString();
        QTest::addRow("%s: exponent", f.field) << f.field << plain + "e0" << -1.0 << QString();
        QTest::addRow("%s: plus sign", f.field) << f.field << "+" + plain << -1.0 << QString();
        QTest::addRow("%s: minus sign", f.field) << f.field << "-" + plain << -1.0 << QString();
        QTest::addRow("%s: trailing point", f.field) << f.field << plain.section('.', 0, 0) + "." << -1.0 << QString();
        QTest::addRow("%s: leading point", f.field) << f.field << ".5" << -1.0 << QString();
        QTest::addRow("%s: thousands separator", f.field) << f.field << "1,000" << -1.0 << QString();
        QTest::addRow("%s: other digits", f.field) << f.field << "١٠٠" << -1.0 << QString();
        QTest::addRow("%s: infinity", f.field) << f.field << "inf" << -1.0 << QString();
    }
    // The Chinese full stop as the point, and each field's words for what is wrong.
    QTest::newRow("weight: 72。5") << "weight" << "72。5" << 72.5 << QString();
    QTest::newRow("weight: trailing zero") << "weight" << "72.50" << 72.5 << QString();
    QTest::newRow("weight: 500") << "weight" << "500" << -1.0 << "体重最多 400 千克";
    QTest::newRow("weight: 19.9") << "weight" << "19.9" << -1.0 << "体重至少 20 千克";
    QTest::newRow("weight: two decimals") << "weight" << "72.55" << -1.0 << "体重最多保留 1 位小数";
    QTest::newRow("weight: empty") << "weight" << "" << -1.0 << "请输入体重（千克）";
    QTest::newRow("weight: words") << "weight" << "七十" << -1.0 << "请输入 20 到 400 之间的数";
    QTest::newRow("grams: 0") << "grams" << "0" << -1.0 << "食用量至少 1 克";
    QTest::newRow("grams: 5001") << "grams" << "5001" << -1.0 << "食用量最多 5000 克";
    QTest::newRow("grams: a fraction") << "grams" << "12.5" << -1.0 << "请输入整数克数";
    QTest::newRow("grams: 100.0") << "grams" << "100.0" << 100.0 << QString();
    QTest::newRow("grams: many digits") << "grams" << "99999999999999999999999" << -1.0 << "食用量最多 5000 克";
    QTest::newRow("height: 49") << "height" << "49" << -1.0 << "身高至少 50 厘米";
    QTest::newRow("height: 80, as the file takes") << "height" << "80" << 80.0 << QString();
    QTest::newRow("minutes: 601") << "minutes" << "601" << -1.0 << "时长最多 600 分钟";
    QTest::newRow("kcal: 0") << "kcal" << "0" << 0.0 << QString();
    QTest::newRow("kcal: 900.1") << "kcal" << "900.1" << -1.0 << "每100克热量最多 900 大卡";
}

void TestAmountText::read()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(double, value);
    QFETCH(QString, problem);
    const AmountText::Field &which = field == QLatin1String("grams")    ? AmountText::Grams
                                     : field == QLatin1String("weight") ? AmountText::Weight
                                     : field == QLatin1String("height") ? AmountText::Height
                                     : field == QLatin1String("minutes") ? AmountText::Minutes
                                                                         : AmountText::KcalPer100g;
    const AmountText::Reading reading = AmountText::read(typed, which);
    QCOMPARE(reading.value.value_or(-1.0), value);
    QCOMPARE(reading.value.has_value(), reading.problem.isEmpty());
    if (!problem.isEmpty())
        QCOMPARE(reading.problem, problem);
    // The calorie panel's amount reads grams through the same reader.
    if (field == QLatin1String("grams"))
        QCOMPARE(PortionCalculator::parseAmount(typed).grams.value_or(-1), int(value));
}

// A food's stored portion and energy decide whether it can be logged, read as the fields read
// what is typed: the panel and the log agree on every one.
void TestAmountText::storedFiguresReadTheSameWay_data()
{
    QTest::addColumn<QString>("portion");
    QTest::addColumn<QString>("kcal");
    QTest::addColumn<double>("per100"); // -1: not loggable by weight
    QTest::newRow("plain") << "100克" << "116" << 116.0;
    QTest::newRow("full-width portion") << "１００克" << "116" << 116.0;
    QTest::newRow("half portion") << "50克" << "58" << 116.0;
    QTest::newRow("exponent") << "1e2克" << "116" << -1.0;
    QTest::newRow("sign") << "+50克" << "58" << -1.0;
    QTest::newRow("trailing point") << "50.克" << "58" << -1.0;
    QTest::newRow("energy with a sign") << "100克" << "+116" << -1.0;
    QTest::newRow("energy as an exponent") << "100克" << "1.16e2" << -1.0;
    QTest::newRow("energy with the Chinese stop") << "100克" << "49。3" << 49.3;
}

void TestAmountText::storedFiguresReadTheSameWay()
{
    QFETCH(QString, portion);
    QFETCH(QString, kcal);
    QFETCH(double, per100);
    SearchableFood food;
    food.name = QStringLiteral("米饭");
    food.category = QStringLiteral("谷薯");
    food.portion = portion;
    food.kcal = kcal;
    const std::optional<FoodChoice> choice = FoodChoices::loggable(food);
    QCOMPARE(choice ? choice->kcalPer100g : -1.0, per100);
    const bool panelReadsIt = PortionCalculator::portionGrams(portion) && PortionCalculator::kcalValue(kcal);
    QCOMPARE(panelReadsIt, per100 >= 0);
}

void TestAmountText::figureText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 150.0 << "150";
    QTest::newRow("one decimal") << 12.5 << "12.5";
    QTest::newRow("second decimal rounds down") << 49.34 << "49.3";
    QTest::newRow("second decimal rounds up") << 49.36 << "49.4";
    QTest::newRow("rounds up to a whole number") << 2.96 << "3";
    QTest::newRow("rounds down to a whole number") << 2.04 << "2";
    QTest::newRow("rounds up across a ten") << 9.97 << "10";
    QTest::newRow("smallest shown") << 0.05 << "0.1";
    QTest::newRow("too small to show") << 0.04 << "0";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("negative whole") << -3.0 << "-3";
    QTest::newRow("negative rounds to zero") << -0.04 << "0";
    QTest::newRow("large whole") << 88000.0 << "88000";
    QTest::newRow("large, no exponent, half rounds up") << 123456789.25 << "123456789.3";
    QTest::newRow("beyond any range") << 1e15 << "1000000000000000";
}

void TestAmountText::figureText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FigureText::upToOneDecimal(value), text);
    // What is written reads back as the figure shown, wherever a non-negative one is typed.
    if (value >= 0)
        QCOMPARE(AmountText::number(text), std::optional<double>(text.toDouble()));
}

QTEST_GUILESS_MAIN(TestAmountText)
#include "tst_amount_text.moc"
