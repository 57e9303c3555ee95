// SPDX-License-Identifier: GPL-3.0-or-later
// Protein, fat and carbohydrate without a window: a day's shares against the adults' ranges,
// entries keeping the figures they were logged with, and an older file's entries given the food
// table's figures by the upgrade, after its backup.

#include "datafile/DataLayout.h"
#include "db/Database.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/MacroShares.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QtTest>

namespace {

FoodLogEntry eaten(const char *food, double grams, std::optional<Nutrients> per100g)
{
    FoodLogEntry e;
    e.day = QDate(2026, 12, 10);
    e.food = QString::fromUtf8(food);
    e.category = QStringLiteral("谷薯主食");
    e.grams = grams;
    e.kcalPer100g = per100g ? per100g->kcal() : 100;
    e.nutrientsPer100g = per100g;
    return e;
}

} // namespace

class NutrientLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void sharesAgainstTheRanges_data();
    void sharesAgainstTheRanges();
    void verdictsOnlyWhenTheFiguresCoverTheDay_data();
    void verdictsOnlyWhenTheFiguresCoverTheDay();
    void fibreAndSodiumAgainstTheGuidelines_data();
    void fibreAndSodiumAgainstTheGuidelines();
    void entriesKeepTheirFigures();
    void upgradeGivesEarlierEntriesTheTablesFigures();
};

void NutrientLogicTest::sharesAgainstTheRanges_data()
{
    QTest::addColumn<double>("protein"); // grams eaten in the day
    QTest::addColumn<double>("fat");
    QTest::addColumn<double>("carbohydrate");
    QTest::addColumn<QString>("verdicts"); // protein, fat, carbohydrate
    QTest::addColumn<QString>("percents");
    // 60 g × 4 = 240, 50 g × 9 = 450, 250 g × 4 = 1000: 1690 kcal.
    QTest::newRow("all within") << 60.0 << 50.0 << 250.0 << "适宜 适宜 适宜" << "14 27 59";
    QTest::newRow("fat high, carbohydrate low") << 60.0 << 90.0 << 150.0 << "适宜 偏高 偏低" << "15 49 36";
    QTest::newRow("protein low, carbohydrate high") << 20.0 << 40.0 << 300.0 << "偏低 适宜 偏高" << "5 22 73";
    // 20 %, 30 % and 50 % exactly (of 1000 kcal) are within.
    QTest::newRow("edges") << 50.0 << 33.333 << 125.0 << "适宜 适宜 适宜" << "20 30 50";
}

void NutrientLogicTest::sharesAgainstTheRanges()
{
    QFETCH(double, protein);
    QFETCH(double, fat);
    QFETCH(double, carbohydrate);
    QFETCH(QString, verdicts);
    QFETCH(QString, percents);
    // Given as one food of 100 g, with one entry without figures beside it.
    const MacroShares shares = MacroShares::of({eaten("饭菜", 100, Nutrients{protein, fat, carbohydrate, 0}),
                                                eaten("奶茶", 250, std::nullopt)});
    QCOMPARE(QStringList({shares.protein.verdictText(), shares.fat.verdictText(), shares.carbohydrate.verdictText()})
                 .join(QLatin1Char(' ')),
             verdicts);
    QCOMPARE(QStringList({QString::number(qRound(shares.protein.percent)), QString::number(qRound(shares.fat.percent)),
                          QString::number(qRound(shares.carbohydrate.percent))})
                 .join(QLatin1Char(' ')),
             percents);
    QCOMPARE(shares.protein.grams, protein);
    QCOMPARE(shares.entriesWithout, 1);
}

void NutrientLogicTest::verdictsOnlyWhenTheFiguresCoverTheDay_data()
{
    QTest::addColumn<double>("withoutKcal"); // energy of the entries without figures, beside 1000 kcal with
    QTest::addColumn<bool>("quick");         // given as a 快速记录 instead of a food
    QTest::addColumn<int>("coverage");
    QTest::addColumn<bool>("judged");
    QTest::newRow("all covered") << 0.0 << false << 100 << true;
    QTest::newRow("exactly 80 %") << 250.0 << false << 80 << true;
    // 1000 / 1260 = 79.4 %, shown as 79 %: no verdict.
    QTest::newRow("just under") << 260.0 << false << 79 << false;
    // Rice with figures, four dishes without: the day of the complaint.
    QTest::newRow("rice only") << 1500.0 << false << 40 << false;
    QTest::newRow("a quick entry counts") << 1500.0 << true << 40 << false;
}

// Shares are always shown; 偏低 / 适宜 / 偏高 only when the entries with figures carry at least
// 80 % of the day's logged energy.
void NutrientLogicTest::verdictsOnlyWhenTheFiguresCoverTheDay()
{
    QFETCH(double, withoutKcal);
    QFETCH(bool, quick);
    QFETCH(int, coverage);
    QFETCH(bool, judged);
    QList<FoodLogEntry> day{eaten("饭菜", 100, Nutrients{60, 50, 250, 0})}; // 1690 kcal of figures, logged as 1000
    day.first().kcalPer100g = 1000;
    if (withoutKcal > 0)
        day << (quick ? FoodLogEntry::quick(day.first().day, 1, withoutKcal, QStringLiteral("蛋糕"))
                      : eaten("奶茶", withoutKcal, std::nullopt));
    const MacroShares shares = MacroShares::of(day);
    QCOMPARE(shares.coveragePercent(), coverage);
    QCOMPARE(shares.judged(), judged);
    QCOMPARE(qRound(shares.fat.percent), 27); // the shares themselves do not depend on it
}

void NutrientLogicTest::fibreAndSodiumAgainstTheGuidelines_data()
{
    QTest::addColumn<double>("fibre");   // grams in the day's food with figures; -1: not known
    QTest::addColumn<double>("sodium");  // mg; -1: not known
    QTest::addColumn<double>("withoutKcal"); // beside its 1690 kcal, energy of entries without figures
    QTest::addColumn<QString>("verdicts"); // fibre, sodium; "-" where none is given
    QTest::newRow("little fibre, sodium within") << 12.0 << 1500.0 << 0.0 << "偏低 适宜";
    QTest::newRow("enough fibre, too much sodium") << 27.0 << 3200.0 << 0.0 << "适宜 偏高";
    QTest::newRow("more fibre than 30 g is no fault") << 40.0 << 2000.0 << 0.0 << "适宜 适宜";
    // 1690 of 2690 kcal, 63 %: a day of mostly unknown food is not judged.
    QTest::newRow("too little of the day known") << 12.0 << 3200.0 << 1000.0 << "- -";
    QTest::newRow("figures not given") << -1.0 << -1.0 << 0.0 << "- -";
}

// Fibre and sodium add up over the entries that have them and are judged against 25–30 g and
// 2000 mg only when those entries carry 80 % of the day.
void NutrientLogicTest::fibreAndSodiumAgainstTheGuidelines()
{
    QFETCH(double, fibre);
    QFETCH(double, sodium);
    QFETCH(double, withoutKcal);
    QFETCH(QString, verdicts);
    Nutrients per100g{60, 50, 250, 0};
    if (fibre >= 0)
        per100g.fibre = fibre / 2; // eaten as 200 g
    if (sodium >= 0)
        per100g.sodium = sodium / 2;
    QList<FoodLogEntry> day{eaten("饭菜", 200, per100g)};
    day.first().kcalPer100g = 1690.0 / 2;
    if (withoutKcal > 0)
        day << eaten("奶茶", withoutKcal, std::nullopt);
    const MacroShares shares = MacroShares::of(day);
    const auto verdict = [&](const MacroShares::Amount &amount) {
        return shares.judged(amount) ? MacroShares::textOf(amount.verdict) : QStringLiteral("-");
    };
    QCOMPARE(verdict(shares.fibre) + QLatin1Char(' ') + verdict(shares.sodium), verdicts);
    QCOMPARE(shares.fibre.total, qMax(fibre, 0.0));
    QCOMPARE(shares.sodium.total, qMax(sodium, 0.0));
}

// Figures kept with the entry: a later food table does not change them; delete and undo keep them.
void NutrientLogicTest::entriesKeepTheirFigures()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    const FoodLogEntry egg = store.addEntry(eaten("鸡蛋", 50, Nutrients{13.3, 8.8, 2.8, 0}));
    store.addEntry(eaten("奶茶", 250, std::nullopt));
    QList<FoodLogEntry> day = store.entriesOn(QDate(2026, 12, 10));
    QCOMPARE(day.size(), 2);
    QCOMPARE(day.at(0).nutrientsPer100g->protein, 13.3);
    QVERIFY(!day.at(1).nutrientsPer100g);
    store.removeEntry(egg.id);
    QCOMPARE(file.query(QStringLiteral("SELECT count(*) FROM food_log_nutrient")).toInt(), 0);
    store.restoreEntry(day.at(0));
    QCOMPARE(store.entriesOn(QDate(2026, 12, 10)).at(0).nutrientsPer100g->fat, 8.8);
    QCOMPARE(store.copyEntries({day.at(0)}, QDate(2026, 12, 11), 2).first().nutrientsPer100g->carbohydrate, 2.8);
    QCOMPARE(store.entriesOn(QDate(2026, 12, 11)).at(0).nutrientsPer100g->carbohydrate, 2.8);
}

// A 1.2 file with entries: the upgrade (after its backup) gives them the food table's figures for
// their name where it has some; the rest stay without.
void NutrientLogicTest::upgradeGivesEarlierEntriesTheTablesFigures()
{
    TempDatabase file;
    file.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS food_nutrient (id INTEGER PRIMARY KEY, category TEXT, "
                             "food TEXT, protein REAL, fat REAL, carbohydrate REAL, alcohol REAL)"));
    file.exec(QStringLiteral("INSERT INTO food_nutrient (category, food, protein, fat, carbohydrate) VALUES "
                             "('谷薯主食', '米饭', 2.6, 0.3, 25.9), ('蛋类', '鸡蛋', 13.3, 8.8, 2.8)"));
    for (const QString &sql : LogSchema::createStatements().mid(0, 10))
        file.exec(sql);
    file.exec(QStringLiteral("INSERT INTO food_log (day, meal, food, category, grams, kcal_per_100g, created) VALUES "
                             "('2026-12-09', 0, '米饭', '谷薯', 150, 116, ''), ('2026-12-09', 0, '宫保鸡丁', '菜肴', 200, 197, '')"));
    auto db = openDatabase(file.path());
    FoodLogStore store(*db, DataLayout::layout());
    QVERIFY(!store.entriesOn(QDate(2026, 12, 9)).at(0).nutrientsPer100g); // reading changes nothing
    store.setWeight(QDate(2026, 12, 10), 60);
    QCOMPARE(QDir(file.dir()).entryList({QStringLiteral("data.mdb.bak-*")}, QDir::Files).size(), 1);
    const QList<FoodLogEntry> day = store.entriesOn(QDate(2026, 12, 9));
    QCOMPARE(day.at(0).food, QStringLiteral("米饭"));
    QCOMPARE(day.at(0).nutrientsPer100g->carbohydrate, 25.9);
    QVERIFY(!day.at(1).nutrientsPer100g);
}

QTEST_GUILESS_MAIN(NutrientLogicTest)
#include "test_nutrient_logic.moc"
