// SPDX-License-Identifier: GPL-3.0-or-later
// The calorie panel's amount line and search box, on bare widgets: the
// arithmetic, the amount field's good and bad inputs, household measures, and
// the keys of the search.
#include "db/DataError.h"
#include "foods/HouseholdMeasures.h"
#include "foods/PortionCalculator.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/FoodSearchBox.h"
#include "support/TypeText.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QtTest>

namespace {

HouseholdMeasures riceMeasures()
{
    return HouseholdMeasures::parse("category,name,measure,grams,source\n"
                                    "谷薯主食,米饭,1小碗,100,估计\n"
                                    "谷薯主食,米饭,1碗,150,估计\n");
}

SearchableFood food(const QString &category, const QString &name, const QString &kcal, qint64 rowId,
                    const QStringList &aliases = {})
{
    SearchableFood f;
    f.category = category;
    f.name = name;
    f.kcal = kcal;
    f.portion = QStringLiteral("100克");
    f.rowId = rowId;
    f.aliases = aliases;
    return f;
}

} // namespace

class TestFoodPanel : public QObject
{
    Q_OBJECT

private slots:
    void portionGrams_data();
    void portionGrams();
    void amountField_data();
    void amountField();
    void withoutGrams_data();
    void withoutGrams();
    void measures();
    void shippedMeasures();
    void searchKeys();
    void searchShowsWhatFound_data();
    void searchShowsWhatFound();
    void searchNothingFound();
    void searchReaderFails();
};

void TestFoodPanel::portionGrams_data()
{
    QTest::addColumn<QString>("portion");
    QTest::addColumn<double>("grams"); // 0: not a weight in grams
    QTest::newRow("100克") << "100克" << 100.0;
    QTest::newRow("blanks") << " 100 克 " << 100.0;
    QTest::newRow("g") << "50g" << 50.0;
    QTest::newRow("decimal") << "12.5克" << 12.5;
    QTest::newRow("full-width digits") << "１００克" << 100.0;
    QTest::newRow("with 每") << "每100克" << 100.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("a piece") << "1个" << 0.0;
    QTest::newRow("millilitres") << "100毫升" << 0.0;
    QTest::newRow("zero grams") << "0克" << 0.0;
    QTest::newRow("words around") << "约100克" << 0.0;
}

void TestFoodPanel::portionGrams()
{
    QFETCH(QString, portion);
    QFETCH(double, grams);
    const std::optional<double> found = PortionCalculator::portionGrams(portion);
    QCOMPARE(found.value_or(0.0), grams);
}

// What the amount field shows for what is typed, with 346 kcal per 100 g.
void TestFoodPanel::amountField_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("grams"); // 0: no amount
    QTest::newRow("default") << "100" << "约 346 大卡" << 100;
    QTest::newRow("rounded") << "33" << "约 114 大卡" << 33; // 114.18
    QTest::newRow("rounded up") << "15" << "约 52 大卡" << 15; // 51.9
    QTest::newRow("least") << "1" << "约 3 大卡" << 1;
    QTest::newRow("most") << "5000" << "约 17300 大卡" << 5000;
    QTest::newRow("blanks around") << " 250 " << "约 865 大卡" << 250;
    QTest::newRow("full-width digits") << "２５０" << "约 865 大卡" << 250;
    QTest::newRow("leading zeros") << "0050" << "约 173 大卡" << 50;
    QTest::newRow("more zeros than the longest amount") << "00005000" << "约 17300 大卡" << 5000;
    QTest::newRow("only zeros") << "0000" << "食用量至少 1 克" << 0;
    QTest::newRow("empty") << "" << "请输入食用量（克）" << 0;
    QTest::newRow("zero") << "0" << "食用量至少 1 克" << 0;
    QTest::newRow("letters") << "abc" << "请输入 1 到 5000 之间的整数" << 0;
    QTest::newRow("digits and letters") << "12a" << "请输入 1 到 5000 之间的整数" << 0;
    QTest::newRow("a fraction") << "12.5" << "请输入整数克数" << 0;
    QTest::newRow("negative") << "-5" << "请输入 1 到 5000 之间的整数" << 0;
    QTest::newRow("other digits") << "١٠٠" << "请输入 1 到 5000 之间的整数" << 0;
    QTest::newRow("over 5000") << "5001" << "食用量最多 5000 克" << 0;
    QTest::newRow("far over") << "99999999" << "食用量最多 5000 克" << 0;
}

void TestFoodPanel::amountField()
{
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QFETCH(int, grams);
    QWidget panel;
    QLabel unit(QStringLiteral(" 大卡"), &panel);
    FoodPortionPanel portion(&panel, &unit, HouseholdMeasures());
    portion.showFood(QStringLiteral("谷薯主食"), QStringLiteral("大米"), QStringLiteral("346"),
                     QStringLiteral("100克"));
    QSignalSpy changes(&portion, &FoodPortionPanel::changed);
    portion.amountField()->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(portion.amountField(), Qt::Key_Delete);
    else
        typeText(portion.amountField(), typed);
    QCOMPARE(portion.result()->text(), result);
    QCOMPARE(portion.amountGrams().value_or(0), grams);
    QVERIFY(!changes.isEmpty());
    QCOMPARE(portion.kcalPer100g().value_or(-1), 346.0);
    QCOMPARE(portion.category(), QStringLiteral("谷薯主食"));
    QCOMPARE(portion.name(), QStringLiteral("大米"));
    QCOMPARE(portion.amountField()->accessibleName(), QStringLiteral("食用量（克）"));
    QCOMPARE(portion.result()->accessibleName(), QStringLiteral("食用量热量"));
    // Read out as shown: the figure or the red hint.
    QCOMPARE(portion.result()->accessibleDescription(), result);
    // A bad amount never leaves a figure behind.
    if (grams == 0)
        QVERIFY(!portion.amountKcal() && !portion.result()->text().contains(u'约'));
}

// A figure that is not for grams, or not a number, is shown as it is, with no
// amount line.
void TestFoodPanel::withoutGrams_data()
{
    QTest::addColumn<QString>("kcal");
    QTest::addColumn<QString>("portion");
    QTest::addColumn<QString>("caption");
    QTest::newRow("a piece") << "90" << "1个" << "每1个";
    QTest::newRow("a piece, with 每") << "90" << "每个" << "每个";
    QTest::newRow("no portion") << "90" << "" << "";
    QTest::newRow("no figure") << "" << "100克" << "";
    QTest::newRow("figure not a number") << "约90" << "100克" << "每100克";
}

void TestFoodPanel::withoutGrams()
{
    QFETCH(QString, kcal);
    QFETCH(QString, portion);
    QFETCH(QString, caption);
    QWidget panel;
    QLabel unit(QStringLiteral(" 大卡"), &panel);
    unit.setGeometry(250, 48, 30, 12);
    FoodPortionPanel amount(&panel, &unit, riceMeasures());
    panel.show();
    amount.showFood(QStringLiteral("谷薯主食"), QStringLiteral("米饭"), QStringLiteral("116"),
                    QStringLiteral("100克"));
    QVERIFY(amount.amountField()->isVisible());
    amount.showFood(QStringLiteral("水果"), QStringLiteral("苹果"), kcal, portion);
    QVERIFY(!amount.amountField()->isVisible());
    QVERIFY(!amount.result()->isVisible());
    QVERIFY(!amount.measureChoice()->isVisible());
    QVERIFY(!amount.kcalPer100g() && !amount.amountGrams() && !amount.amountKcal());
    auto *text = panel.findChild<QLabel *>(QStringLiteral("portionText"));
    QVERIFY(text);
    QCOMPARE(text->text(), caption);
    // It stands after the unit, and moves with it.
    QCOMPARE(text->x(), unit.geometry().right() + 7);
    unit.move(270, 48);
    QCOMPARE(text->x(), unit.geometry().right() + 7);
}

void TestFoodPanel::measures()
{
    QWidget panel;
    QLabel unit(QStringLiteral(" 大卡"), &panel);
    FoodPortionPanel amount(&panel, &unit, riceMeasures());
    panel.show();
    amount.showFood(QStringLiteral("谷薯主食"), QStringLiteral("米饭"), QStringLiteral("116"),
                    QStringLiteral("100克"));
    QComboBox *choice = amount.measureChoice();
    QVERIFY(choice->isVisible());
    QCOMPARE(choice->count(), 3);
    QCOMPARE(choice->itemText(2), QStringLiteral("1碗 (约150克)"));

    choice->setCurrentIndex(2);
    emit choice->activated(2);
    QCOMPARE(amount.amountField()->text(), QStringLiteral("150"));
    QCOMPARE(amount.result()->text(), QStringLiteral("约 174 大卡"));
    QCOMPARE(amount.amountKcal().value_or(0), 174);

    // Typing another amount leaves the measure.
    amount.amountField()->selectAll();
    QTest::keyClicks(amount.amountField(), QStringLiteral("200"));
    QCOMPARE(choice->currentIndex(), 0);
    QCOMPARE(amount.result()->text(), QStringLiteral("约 232 大卡"));

    // A food without measures shows no choice; the amount typed stays.
    amount.showFood(QStringLiteral("谷薯主食"), QStringLiteral("大米"), QStringLiteral("346"),
                    QStringLiteral("100克"));
    QVERIFY(!choice->isVisible());
    QCOMPARE(amount.result()->text(), QStringLiteral("约 692 大卡"));
}

// Every measure we ship names a food of the shipped table, in its category,
// and names where its grams come from; enough foods are covered.
void TestFoodPanel::shippedMeasures()
{
    const HouseholdMeasures shipped = HouseholdMeasures::builtIn();
    QVERIFY2(shipped.problems().isEmpty(), qPrintable(shipped.problems().join(u'\n')));
    QFile csv(QStringLiteral(PELLOMIR_FOODS_CSV));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QSet<QPair<QString, QString>> foods;
    for (const QString &line : QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u',');
        foods.insert(qMakePair(fields.value(0), fields.value(1)));
    }
    const QStringList sources{"膳食指南", "包装规格", "估计"};
    for (const auto &key : shipped.foods()) {
        QVERIFY2(foods.contains(key), qPrintable(key.first + u'/' + key.second));
        for (const auto &measure : shipped.of(key.first, key.second))
            QVERIFY2(sources.contains(measure.source), qPrintable(measure.source));
    }
    QVERIFY(shipped.foods().size() >= 80);

    const HouseholdMeasures bad = HouseholdMeasures::parse("category,name,measure,grams,source\n"
                                                           "a,b,1个,x,估计\n"
                                                           "a,b,1个,0,估计\n"
                                                           "a,b,1个,50\n"
                                                           "a,b,1个,50,估计\n");
    QCOMPARE(bad.problems().size(), 3);
    QCOMPARE(bad.of("a", "b").size(), 1);
}

void TestFoodPanel::searchKeys()
{
    QWidget panel;
    int reads = 0;
    FoodSearchBox search(&panel, FoodSearchBox::indexing([&reads] {
        ++reads;
        return QVector<SearchableFood>{food("蔬菜", "西红柿", "15", 7, {"番茄"}),
                                       food("家常菜肴", "西红柿炒鸡蛋", "86", 9, {"番茄炒蛋"}),
                                       food("调味品", "番茄酱", "", 11)};
    }));
    panel.show();
    QCOMPARE(reads, 0); // nothing read before it is needed
    QCOMPARE(search.field()->accessibleName(), QStringLiteral("搜索食物"));
    QCOMPARE(search.field()->placeholderText(), QStringLiteral("搜索食物：名称或拼音"));
    QCOMPARE(search.results()->accessibleName(), QStringLiteral("搜索结果"));
    QVERIFY(!search.results()->isVisible());

    QSignalSpy chosen(&search, &FoodSearchBox::foodChosen);
    search.field()->setFocus();
    QTest::keyClicks(search.field(), QStringLiteral("fanqie"));
    QCOMPARE(reads, 1);
    QVERIFY(search.results()->isVisible());
    QCOMPARE(search.results()->count(), 3);
    QCOMPARE(search.results()->item(0)->text(), QStringLiteral("西红柿（番茄） · 蔬菜 · 15 大卡"));
    QCOMPARE(search.results()->item(1)->text(), QStringLiteral("番茄酱 · 调味品 · 热量不详"));
    QCOMPARE(search.results()->item(2)->text(), QStringLiteral("西红柿炒鸡蛋（番茄炒蛋） · 家常菜肴 · 86 大卡"));

    // Down twice, Up once: the second result.
    QTest::keyClick(search.field(), Qt::Key_Down);
    QTest::keyClick(search.field(), Qt::Key_Down);
    QTest::keyClick(search.field(), Qt::Key_Down); // stays on the last
    QTest::keyClick(search.field(), Qt::Key_Up);
    QTest::keyClick(search.field(), Qt::Key_Return);
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("调味品"));
    QCOMPARE(chosen.at(0).at(1).toLongLong(), 11);

    // A click chooses too.
    const QRect first = search.results()->visualItemRect(search.results()->item(0));
    QTest::mouseClick(search.results()->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(chosen.size(), 2);
    QCOMPARE(chosen.at(1).at(1).toLongLong(), 7);

    // Escape, in the list or in the field: the field empty, the list gone.
    QTest::keyClick(search.results(), Qt::Key_Escape);
    QVERIFY(search.field()->text().isEmpty());
    QVERIFY(!search.results()->isVisible());
    QCOMPARE(reads, 1); // read once

    // Forgotten (the file was replaced): read again at the next search.
    QTest::keyClicks(search.field(), QStringLiteral("xhs"));
    search.forgetFoods();
    QVERIFY(search.field()->text().isEmpty() && !search.results()->isVisible());
    QTest::keyClicks(search.field(), QStringLiteral("xhs"));
    QCOMPARE(reads, 2);
}

void TestFoodPanel::searchShowsWhatFound_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("first");
    QTest::newRow("by its name") << "baiguo" << "白果 · 坚果 · 355 大卡";
    QTest::newRow("by its name's initials: nothing more") << "bg" << "白果 · 坚果 · 355 大卡";
    QTest::newRow("by another name") << "fangua" << "南瓜（番瓜） · 蔬菜 · 23 大卡";
    QTest::newRow("by another name typed") << "银杏果" << "白果（银杏果） · 坚果 · 355 大卡";
    QTest::newRow("typed tones first") << "li4zhi1" << "荔枝 · 水果 · 71 大卡";
    QTest::newRow("no tones: the tree's order") << "lizhi" << "梨汁 · 饮料 · 44 大卡";
}

// A result line says what the food was found by when it was another name, never a reading.
void TestFoodPanel::searchShowsWhatFound()
{
    QFETCH(QString, query);
    QFETCH(QString, first);
    QWidget panel;
    FoodSearchBox search(&panel, FoodSearchBox::indexing([] {
        return QVector<SearchableFood>{food("坚果", "白果", "355", 1, {"银杏果"}), food("蔬菜", "南瓜", "23", 2, {"番瓜"}),
                                       food("水果", "荔枝", "71", 3), food("饮料", "梨汁", "44", 4)};
    }));
    panel.show();
    typeText(search.field(), query);
    QVERIFY(search.results()->count() > 0);
    QCOMPARE(search.results()->item(0)->text(), first);
}

void TestFoodPanel::searchNothingFound()
{
    QWidget panel;
    FoodSearchBox search(&panel, FoodSearchBox::indexing([] { return QVector<SearchableFood>{food("蔬菜", "西红柿", "15", 7)}; }));
    panel.show();
    QSignalSpy chosen(&search, &FoodSearchBox::foodChosen);
    typeText(search.field(), QStringLiteral(" 牛排 "));
    QCOMPARE(search.results()->count(), 1);
    QCOMPARE(search.results()->item(0)->text(), QStringLiteral("没有找到“牛排”"));
    QTest::keyClick(search.field(), Qt::Key_Down);
    QTest::keyClick(search.field(), Qt::Key_Return);
    QTest::mouseClick(search.results()->viewport(), Qt::LeftButton, {},
                      search.results()->visualItemRect(search.results()->item(0)).center());
    QCOMPARE(chosen.size(), 0);
}

// A file that cannot be read: the list says so and why, never "nothing found";
// the next keystroke tries again.
void TestFoodPanel::searchReaderFails()
{
    QWidget panel;
    bool broken = true;
    FoodSearchBox search(&panel, FoodSearchBox::indexing([&broken]() -> QVector<SearchableFood> {
        if (broken)
            throw DataError(QStringLiteral("数据库文件正被另一个程序使用。"));
        return {food("蔬菜", "西红柿", "15", 7)};
    }));
    panel.show();
    QTest::keyClicks(search.field(), QStringLiteral("xhs"));
    QCOMPARE(search.results()->count(), 1);
    QCOMPARE(search.results()->item(0)->text(), QStringLiteral("无法搜索食物：数据库文件正被另一个程序使用。"));
    QSignalSpy chosen(&search, &FoodSearchBox::foodChosen);
    QTest::keyClick(search.field(), Qt::Key_Return);
    QCOMPARE(chosen.size(), 0);

    broken = false;
    QTest::keyClick(search.field(), Qt::Key_Backspace);
    QCOMPARE(search.results()->item(0)->text(), QStringLiteral("西红柿 · 蔬菜 · 15 大卡"));
}

QTEST_MAIN(TestFoodPanel)
#include "tst_food_panel.moc"
