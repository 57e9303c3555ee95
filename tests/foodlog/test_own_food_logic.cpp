// SPDX-License-Identifier: GPL-3.0-or-later
// The user's own foods and home recipes without a window: the dialog's input read or refused,
// the recipe arithmetic, the tables added through the log's one upgrade from every earlier
// layout, every search finding them, the shipped tables left alone, past entries kept.

#include "datafile/DataLayout.h"
#include "db/Clock.h"
#include "db/Database.h"
#include "db/DataError.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/LogSchema.h"
#include "ownfoods/OwnFoodStore.h"
#include "foods/FoodCatalog.h"
#include "foods/FoodChoices.h"
#include "ownfoods/OwnFoodCsv.h"
#include "foods/AmountText.h"
#include "ownfoods/OwnFoodInput.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QStringEncoder>
#include <QtTest>

namespace {

const QDateTime Noon(QDate(2026, 12, 10), QTime(12, 0));

// A file with a small shipped food table (and other names), as makedb makes one.
void fillFoods(TempDatabase &file)
{
    file.insertRows(QStringLiteral("02"), {QStringLiteral("category")}, {{QStringLiteral("谷薯主食")}, {QStringLiteral("饮料")}});
    file.insertRows(QStringLiteral("01"),
                    {QStringLiteral("category"), QStringLiteral("food"), QStringLiteral("portion"), QStringLiteral("kcal")},
                    {{QStringLiteral("谷薯主食"), QStringLiteral("米饭"), QStringLiteral("100克"), 116},
                     {QStringLiteral("饮料"), QStringLiteral("奶茶"), QStringLiteral("100克"), 60},
                     {QStringLiteral("谷薯主食"), QStringLiteral("鸡蛋"), QStringLiteral("100克"), 144}});
    file.insertRows(QStringLiteral("food_alias"), {QStringLiteral("category"), QStringLiteral("food"), QStringLiteral("alias")},
                    {{QStringLiteral("谷薯主食"), QStringLiteral("米饭"), QStringLiteral("白米饭")}});
}

OwnFood milkTea()
{
    OwnFood food;
    food.name = QStringLiteral("我的奶茶");
    food.category = OwnFood::defaultCategory();
    food.kcalPer100g = 80;
    food.aliases = {QStringLiteral("珍珠奶茶")};
    food.measure = QStringLiteral("1杯");
    food.measureGrams = 500;
    return food;
}

int backupCount(const TempDatabase &file)
{
    return int(QDir(file.dir()).entryList({QStringLiteral("data.mdb.bak-*")}, QDir::Files).size());
}

} // namespace

class OwnFoodLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogInput_data();
    void dialogInput();
    void ownFiguresAreOptional_data();
    void ownFiguresAreOptional();
    void labelsAsPrinted_data();
    void labelsAsPrinted();
    void recipeArithmetic_data();
    void recipeArithmetic();
    void upgradeFromEveryEarlierLayout_data();
    void upgradeFromEveryEarlierLayout();
    void everySearchFindsThemBesideShippedOnes();
    void changesNeverTouchPastEntries();
    void sodiumIsKeptWithTheFood();
    void importReplacesOrKeepsOnAClash();
    void csvRoundTrip();
    void csvSodiumColumn_data();
    void csvSodiumColumn();
    void csvRefusesBrokenFiles_data();
    void csvRefusesBrokenFiles();
    void csvFromAChineseSpreadsheet();
    void csvOfManyFoods();
};

void OwnFoodLogicTest::dialogInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kcal");       // per 100 g; "serving:KCAL:GRAMS" for a package label
    QTest::addColumn<QString>("aliases");
    QTest::addColumn<QString>("measure");    // "NAME=GRAMS" or empty
    QTest::addColumn<double>("per100g");     // when good
    QTest::addColumn<QString>("problem");    // a part of the message; empty when good
    QTest::newRow("good") << "我的奶茶" << "80" << "" << "" << 80.0 << "";
    QTest::newRow("full-width digits and stop") << "我的奶茶" << "８０。５" << "" << "" << 80.5 << "";
    QTest::newRow("900 at the edge") << "猪油渣" << "900" << "" << "" << 900.0 << "";
    QTest::newRow("per serving: 250 kcal in 200 g") << "饼干" << "serving:250:200" << "" << "" << 125.0 << "";
    QTest::newRow("empty name") << "  " << "80" << "" << "" << 0.0 << "请输入食物名称";
    QTest::newRow("41 characters") << QString(41, QChar(0x8336)) << "80" << "" << "" << 0.0 << "最多 40 个字";
    QTest::newRow("a shipped name") << "米饭" << "80" << "" << "" << 0.0 << "已经有名为“米饭”的食物";
    QTest::newRow("a shipped other name") << "白米饭" << "80" << "" << "" << 0.0 << "已经有名为“白米饭”";
    QTest::newRow("901") << "我的奶茶" << "901" << "" << "" << 0.0 << "每100克热量最多 900 大卡";
    QTest::newRow("-1") << "我的奶茶" << "-1" << "" << "" << 0.0 << "请输入 0 到 900 之间的数";
    QTest::newRow("letters") << "我的奶茶" << "abc" << "" << "" << 0.0 << "请输入 0 到 900 之间的数";
    QTest::newRow("nothing") << "我的奶茶" << "" << "" << "" << 0.0 << "请输入每100克热量";
    QTest::newRow("per serving over 900 per 100 g") << "饼干" << "serving:1000:100" << "" << "" << 0.0 << "超过 900 大卡";
    QTest::newRow("other name taken") << "我的奶茶" << "80" << "奶茶" << "" << 0.0 << "其他名称“奶茶”已是另一种食物的名称";
    QTest::newRow("measure without grams") << "我的奶茶" << "80" << "" << "1杯=" << 0.0 << "同时填写名称和克数";
    QTest::newRow("measure of 6000 g") << "我的奶茶" << "80" << "" << "1桶=6000" << 0.0 << "最多 5000 克";
}

void OwnFoodLogicTest::dialogInput()
{
    QFETCH(QString, name);
    QFETCH(QString, kcal);
    QFETCH(QString, aliases);
    QFETCH(QString, measure);
    QFETCH(double, per100g);
    QFETCH(QString, problem);
    const QSet<QString> taken = {QStringLiteral("米饭"), QStringLiteral("白米饭"), QStringLiteral("奶茶")};
    OwnFoodInput::Fields fields;
    fields.name = name;
    if (kcal.startsWith(QLatin1String("serving:"))) {
        fields.fromLabel = true;
        fields.perServing = true;
        fields.labelEnergy = kcal.section(QLatin1Char(':'), 1, 1);
        fields.servingGrams = kcal.section(QLatin1Char(':'), 2, 2);
    } else {
        fields.kcalPer100g = kcal;
    }
    fields.aliases = aliases;
    fields.measure = measure.section(QLatin1Char('='), 0, 0);
    fields.measureGrams = measure.section(QLatin1Char('='), 1, 1);
    const OwnFoodInput::Reading r = OwnFoodInput::read(fields, [&](const QString &n) { return taken.contains(n); });
    QVERIFY2(problem.isEmpty() ? r.problem.isEmpty() : r.problem.contains(problem), qPrintable(r.problem));
    if (problem.isEmpty()) {
        QCOMPARE(r.food.kcalPer100g, per100g);
        QCOMPARE(r.food.category, OwnFood::defaultCategory());
    }
}

void OwnFoodLogicTest::ownFiguresAreOptional_data()
{
    QTest::addColumn<QStringList>("figures"); // protein, fat, carbohydrate as typed
    QTest::addColumn<QString>("problem");
    QTest::newRow("none") << QStringList{"", "", ""} << "";
    QTest::newRow("all three, full-width") << QStringList{"３.5", "4", "10.2"} << "";
    QTest::newRow("two of three") << QStringList{"3.5", "", "10"} << "三项都填";
    QTest::newRow("over 100 together") << QStringList{"50", "40", "20"} << "不能超过 100 克";
    QTest::newRow("letters") << QStringList{"3", "多", "1"} << "之间的数";
}

// Protein, fat and carbohydrate of an own food: none, or all three per 100 g.
void OwnFoodLogicTest::ownFiguresAreOptional()
{
    QFETCH(QStringList, figures);
    QFETCH(QString, problem);
    OwnFoodInput::Fields fields;
    fields.name = QStringLiteral("我的奶茶");
    fields.kcalPer100g = QStringLiteral("80");
    fields.protein = figures.at(0);
    fields.fat = figures.at(1);
    fields.carbohydrate = figures.at(2);
    const OwnFoodInput::Reading r = OwnFoodInput::read(fields, [](const QString &) { return false; });
    QVERIFY2(problem.isEmpty() ? r.problem.isEmpty() : r.problem.contains(problem), qPrintable(r.problem));
    if (problem.isEmpty())
        QCOMPARE(r.food.nutrients.has_value(), !figures.first().isEmpty());
}

void OwnFoodLogicTest::labelsAsPrinted_data()
{
    QTest::addColumn<QString>("energy");     // "1500 千焦" or "358 大卡"
    QTest::addColumn<QString>("basis");      // "100" or "serving"
    QTest::addColumn<QString>("serving");    // the serving's grams as typed
    QTest::addColumn<QStringList>("figures"); // protein, fat, carbohydrate, sodium as on the label
    QTest::addColumn<double>("per100g");     // kcal; -1 refused
    QTest::addColumn<QStringList>("expected"); // per 100 g: protein, fat, carbohydrate, sodium; or the problem
    QTest::addColumn<bool>("warned");
    // A biscuit label per 100 g that names a 30 g serving: 1500 kJ ÷ 4.184 = 358.5 kcal; 5 × 4 +
    // 14.5 × 9 + 66.5 × 4 = 416.5, within 20 %.
    QTest::newRow("per 100 g in kJ with a serving")
        << "1500 千焦" << "100" << "30" << QStringList{"5", "14.5", "66.5", "380"} << 358.5
        << QStringList{"5", "14.5", "66.5", "380"} << false;
    // The same label printed per 30 g serving: 450 kJ, 1.5 g protein…
    QTest::newRow("per serving in kJ") << "450 千焦" << "serving" << "30" << QStringList{"1.5", "4.4", "20", "114"}
                                       << 358.5 << QStringList{"5", "14.7", "66.7", "380"} << false;
    QTest::newRow("per serving in kcal, full-width") << "１２０ 大卡" << "serving" << "２５" << QStringList{"3", "5", "16", ""}
                                                     << 480.0 << QStringList{"12", "20", "64", ""} << false;
    // 1500 kJ against 30 g protein, 30 g fat, 30 g carbohydrate (510 kcal): saved, with a warning.
    QTest::newRow("energy and figures disagree") << "1500 千焦" << "100" << "" << QStringList{"30", "30", "30", ""}
                                                 << 358.5 << QStringList{"30", "30", "30", ""} << true;
    // A diet drink: 0 kJ beside 0.4 g carbohydrate is how labels round, not a mistake.
    QTest::newRow("zero energy, a trace of sugar") << "0 千焦" << "100" << "" << QStringList{"0", "0", "0.4", "10"}
                                                   << 0.0 << QStringList{"0", "0", "0.4", "10"} << false;
    QTest::newRow("per serving without its grams") << "450 千焦" << "serving" << "" << QStringList{"", "", "", ""}
                                                   << -1.0 << QStringList{"请输入每份重量"} << false;
    QTest::newRow("over 900 per 100 g") << "2000 千焦" << "serving" << "20" << QStringList{"", "", "", ""} << -1.0
                                        << QStringList{"超过 900 大卡"} << false;
    QTest::newRow("sodium alone") << "1500 千焦" << "100" << "" << QStringList{"", "", "", "380"} << -1.0
                                  << QStringList{"钠要和蛋白质、脂肪、碳水一起填写"} << false;
    QTest::newRow("per serving over 100 g together") << "400 千焦" << "serving" << "10" << QStringList{"5", "5", "5", ""}
                                                     << -1.0 << QStringList{"合计超过 100 克"} << false;
}

// A package label as printed: energy in 千焦 or 大卡, figures per 100 g or per serving, kept per
// 100 g, with the serving as the food's "1份".
void OwnFoodLogicTest::labelsAsPrinted()
{
    QFETCH(QString, energy);
    QFETCH(QString, basis);
    QFETCH(QString, serving);
    QFETCH(QStringList, figures);
    QFETCH(double, per100g);
    QFETCH(QStringList, expected);
    QFETCH(bool, warned);
    OwnFoodInput::Fields fields;
    fields.name = QStringLiteral("饼干");
    fields.fromLabel = true;
    fields.kilojoules = energy.endsWith(QStringLiteral("千焦"));
    fields.labelEnergy = energy.section(QLatin1Char(' '), 0, 0);
    fields.perServing = basis == QLatin1String("serving");
    fields.servingGrams = serving;
    fields.protein = figures.at(0);
    fields.fat = figures.at(1);
    fields.carbohydrate = figures.at(2);
    fields.sodium = figures.at(3);
    const OwnFoodInput::Reading r = OwnFoodInput::read(fields, [](const QString &) { return false; });
    if (per100g < 0) {
        QVERIFY2(r.problem.contains(expected.first()), qPrintable(r.problem));
        QVERIFY(OwnFoodInput::preview(fields).figures.isEmpty());
        return;
    }
    QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
    QCOMPARE(r.food.kcalPer100g, per100g);
    QCOMPARE(!r.warning.isEmpty(), warned);
    const QString preview = OwnFoodInput::preview(fields).figures;
    QVERIFY2(preview.contains(QStringLiteral("折合每100克 %1 大卡").arg(per100g)), qPrintable(preview));
    QCOMPARE(OwnFoodInput::preview(fields).warning, r.warning);
    if (fields.kilojoules)
        QVERIFY2(preview.contains(QStringLiteral("千焦 ÷ 4.184")), qPrintable(preview));
    if (!serving.isEmpty()) {
        QCOMPARE(r.food.measure, QStringLiteral("1份"));
        QCOMPARE(r.food.measureGrams, AmountText::number(serving).value());
    } else {
        QVERIFY(r.food.measure.isEmpty());
    }
    if (figures.first().isEmpty()) {
        QVERIFY(!r.food.nutrients);
        return;
    }
    QVERIFY(r.food.nutrients);
    QCOMPARE(QStringList({QString::number(r.food.nutrients->protein), QString::number(r.food.nutrients->fat),
                          QString::number(r.food.nutrients->carbohydrate),
                          r.food.nutrients->sodium ? QString::number(*r.food.nutrients->sodium) : QString()}),
             expected);
}

void OwnFoodLogicTest::recipeArithmetic_data()
{
    QTest::addColumn<QString>("cooked");   // typed; empty: the parts' weight
    QTest::addColumn<double>("per100g");   // -1: refused
    // 100 g rice (116) + 50 g egg (144): 188 kcal in 150 g.
    QTest::newRow("raw weight") << "" << 125.3;
    QTest::newRow("cooked down to 100 g") << "100" << 188.0;
    QTest::newRow("with water to 376 g") << "376" << 50.0;
    QTest::newRow("full-width") << "３７６" << 50.0;
    QTest::newRow("no weight") << "0" << -1.0;
    QTest::newRow("too dense: 188 kcal in 20 g") << "20" << -1.0;
}

void OwnFoodLogicTest::recipeArithmetic()
{
    QFETCH(QString, cooked);
    QFETCH(double, per100g);
    const QList<RecipePart> parts = {{QStringLiteral("米饭"), QStringLiteral("谷薯主食"), 116, 100},
                                     {QStringLiteral("鸡蛋"), QStringLiteral("谷薯主食"), 144, 50}};
    OwnFoodInput::Fields fields;
    fields.name = QStringLiteral("蛋炒饭");
    const OwnFoodInput::Reading r =
        OwnFoodInput::readRecipe(fields, parts, cooked, [](const QString &) { return false; });
    if (per100g < 0) {
        QVERIFY(!r.problem.isEmpty());
        return;
    }
    QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
    QCOMPARE(r.food.kcalPer100g, per100g);
    QCOMPARE(r.food.parts.size(), 2);
    // Without figures for every part the recipe has none; with them, they follow the cooked weight.
    QVERIFY(!r.food.nutrients);
    QList<RecipePart> known = parts;
    known[0].nutrients = Nutrients{2.6, 0.3, 25.9, 0};
    known[1].nutrients = Nutrients{13.3, 8.8, 2.8, 0};
    const double cookedGrams = r.food.cookedGrams;
    const std::optional<Nutrients> n = OwnFood::recipeNutrients(known, cookedGrams);
    QVERIFY(n);
    QCOMPARE(qRound(n->protein * cookedGrams / 100 * 10), qRound((2.6 + 6.65) * 10)); // 9.25 g in the dish
    QVERIFY(OwnFoodInput::readRecipe(fields, {}, cooked, [](const QString &) { return false; })
                .problem.contains(QStringLiteral("配料")));
}

void OwnFoodLogicTest::upgradeFromEveryEarlierLayout_data()
{
    QTest::addColumn<int>("statements");
    QTest::newRow("1.0: no log tables") << 0;
    QTest::newRow("1.1: tables, no ranges") << 4;
    QTest::newRow("1.2: tables and ranges") << 10;
}

// The first own food in a file of any earlier release: one checked copy, then every missing
// table in one step; reading first changes nothing.
void OwnFoodLogicTest::upgradeFromEveryEarlierLayout()
{
    QFETCH(int, statements);
    TempDatabase file;
    fillFoods(file);
    for (const QString &sql : DataLayout::logStatements().mid(0, statements))
        file.exec(sql);
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout(), Clock([] { return Noon; }));
    OwnFoodStore store(schema);
    QVERIFY(store.foods().isEmpty());
    QCOMPARE(backupCount(file), 0);

    OwnFood recipe;
    recipe.name = QStringLiteral("蛋炒饭");
    recipe.category = QStringLiteral("谷薯主食");
    recipe.parts = {{QStringLiteral("米饭"), QStringLiteral("谷薯主食"), 116, 100},
                    {QStringLiteral("鸡蛋"), QStringLiteral("谷薯主食"), 144, 50}};
    recipe.cookedGrams = 150;
    recipe.kcalPer100g = 125.3;
    store.add(recipe);
    store.add(milkTea());
    QCOMPARE(backupCount(file), 1);
    QVERIFY(schema.isUpToDate());
    const QVector<OwnFood> read = store.foods();
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.at(0).name, QStringLiteral("我的奶茶"));
    QCOMPARE(read.at(0).aliases, QStringList{QStringLiteral("珍珠奶茶")});
    QCOMPARE(read.at(0).measureGrams, 500.0);
    QVERIFY(!read.at(0).isRecipe());
    QCOMPARE(read.at(1).parts.size(), 2);
    QCOMPARE(read.at(1).parts.at(1).food, QStringLiteral("鸡蛋"));
    QCOMPARE(read.at(1).cookedGrams, 150.0);
    // The file refuses an energy outside the ranges.
    OwnFood wrong = milkTea();
    wrong.name = QStringLiteral("猪油");
    wrong.kcalPer100g = 901;
    QVERIFY_THROWS_EXCEPTION(DataError, store.add(wrong));
}

// Found by pinyin initials and other names in the searches, marked as the user's own, even with
// the name of a shipped food (after a rebuild of the food table, say): both are shown.
void OwnFoodLogicTest::everySearchFindsThemBesideShippedOnes()
{
    TempDatabase file;
    fillFoods(file);
    const QString shipped = file.query(QStringLiteral("SELECT group_concat(food || kcal, ',') FROM \"01\"")).toString();
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout());
    OwnFoodStore store(schema);
    store.add(milkTea());
    // As if the shipped table gained a food of the same name later.
    OwnFood clash = milkTea();
    clash.name = QStringLiteral("米饭");
    clash.aliases.clear();
    clash.kcalPer100g = 130;
    store.add(clash);

    const FoodChoices foods(FoodCatalog::read(file.path()));
    QCOMPARE(foods.match(QStringLiteral("wdnc")).value(0).name, QStringLiteral("我的奶茶"));
    QVERIFY(foods.match(QStringLiteral("wdnc")).value(0).own);
    QCOMPARE(foods.match(QStringLiteral("zhenzhu")).value(0).matchedAlias, QStringLiteral("珍珠奶茶"));
    QCOMPARE(foods.find(QStringLiteral("米饭"))->kcalPer100g, 116.0);
    QCOMPARE(foods.find(QStringLiteral("米饭（自定义）"))->kcalPer100g, 130.0);
    QCOMPARE(foods.find(QStringLiteral("我的奶茶"))->kcalPer100g, 80.0);
    QCOMPARE(file.query(QStringLiteral("SELECT group_concat(food || kcal, ',') FROM \"01\"")).toString(), shipped);
}

// Editing or removing an own food never changes what was logged with it.
void OwnFoodLogicTest::changesNeverTouchPastEntries()
{
    TempDatabase file;
    fillFoods(file);
    auto db = openDatabase(file.path());
    FoodLogStore log(*db, DataLayout::layout());
    OwnFoodStore store(log.schema());
    const qint64 id = store.add(milkTea());
    FoodLogEntry drink;
    drink.day = QDate(2026, 12, 10);
    drink.food = QStringLiteral("我的奶茶");
    drink.category = OwnFood::defaultCategory();
    drink.grams = 250;
    drink.kcalPer100g = 80;
    log.addEntry(drink);

    OwnFood changed = store.foods().first();
    QCOMPARE(changed.id, id);
    changed.kcalPer100g = 95;
    changed.name = QStringLiteral("少糖奶茶");
    store.update(changed);
    QCOMPARE(store.foods().first().name, QStringLiteral("少糖奶茶"));
    QCOMPARE(store.foods().first().kcalPer100g, 95.0);
    store.remove(id);
    QVERIFY(store.foods().isEmpty());
    const QList<FoodLogEntry> kept = log.entriesOn(QDate(2026, 12, 10));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(kept.first().food, QStringLiteral("我的奶茶"));
    QCOMPARE(kept.first().shownKcal(), 200);
}

// An own food's sodium is kept beside it: read back, kept through a change, gone with the food;
// a food without figures has none to keep.
void OwnFoodLogicTest::sodiumIsKeptWithTheFood()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout());
    OwnFoodStore store(schema);
    OwnFood crackers = milkTea();
    crackers.name = QStringLiteral("苏打饼干（某牌）");
    crackers.nutrients = Nutrients{10.1, 14.9, 70.0, 0};
    crackers.nutrients->sodium = 650;
    const qint64 id = store.add(crackers);
    store.add(milkTea());
    const auto find = [&](const QString &name) {
        for (const OwnFood &food : store.foods())
            if (food.name == name)
                return std::optional<OwnFood>(food);
        return std::optional<OwnFood>();
    };
    QCOMPARE(find(crackers.name)->nutrients->sodium.value_or(-1), 650.0);
    QVERIFY(!find(milkTea().name)->nutrients || !find(milkTea().name)->nutrients->sodium);
    OwnFood changed = *find(crackers.name);
    changed.kcalPer100g = 420;
    store.update(changed);
    QCOMPARE(find(crackers.name)->nutrients->sodium.value_or(-1), 650.0);
    store.remove(id);
    QCOMPARE(file.query(QStringLiteral("SELECT count(*) FROM custom_food_sodium")).toInt(), 0);
}

void OwnFoodLogicTest::importReplacesOrKeepsOnAClash()
{
    TempDatabase file;
    auto db = openDatabase(file.path());
    LogSchema schema(*db, DataLayout::layout());
    OwnFoodStore store(schema);
    store.add(milkTea());
    OwnFood newer = milkTea();
    newer.kcalPer100g = 70;
    OwnFood other = milkTea();
    other.name = QStringLiteral("豆浆（自磨）");
    other.aliases.clear();
    const auto kcalOf = [&store](const QString &name) {
        for (const OwnFood &food : store.foods())
            if (food.name == name)
                return food.kcalPer100g;
        return -1.0;
    };
    QCOMPARE(store.importFoods({newer, other}, false).value_or(-1), 1);
    QCOMPARE(store.foods().size(), 2);
    QCOMPARE(kcalOf(QStringLiteral("我的奶茶")), 80.0); // kept
    QCOMPARE(store.importFoods({newer}, true).value_or(-1), 1);
    QCOMPARE(kcalOf(QStringLiteral("我的奶茶")), 70.0); // replaced
    QCOMPARE(store.foods().size(), 2);

    // Cancelled part way (the progress box's 取消): nothing of it is written, the clash included.
    OwnFood third = other;
    third.name = QStringLiteral("第三种");
    newer.kcalPer100g = 60;
    qint64 lastTold = 0;
    QVERIFY(!store.importFoods({third, newer}, true, [&lastTold](qint64 done) {
        lastTold = done;
        return done < 2;
    }));
    QCOMPARE(lastTold, 2);
    QCOMPARE(store.foods().size(), 2);
    QCOMPARE(kcalOf(QStringLiteral("我的奶茶")), 70.0);
}

// Written and read back as they were, recipes with their parts, a formula-looking name guarded.
void OwnFoodLogicTest::csvRoundTrip()
{
    OwnFood recipe;
    recipe.name = QStringLiteral("=蛋炒饭");
    recipe.category = QStringLiteral("谷薯主食");
    recipe.kcalPer100g = 125.3;
    recipe.cookedGrams = 150;
    recipe.measure = QStringLiteral("1碗");
    recipe.measureGrams = 300;
    recipe.parts = {{QStringLiteral("米饭"), QStringLiteral("谷薯主食"), 116, 100},
                    {QStringLiteral("鸡蛋"), QStringLiteral("蛋类"), 144, 50}};
    OwnFood tea = milkTea();
    tea.nutrients = Nutrients{1.1, 2.2, 10.5, 0};
    tea.nutrients->sodium = 48;
    OwnFood bread;
    bread.name = QStringLiteral("我的面包");
    bread.category = OwnFood::defaultCategory();
    bread.kcalPer100g = 280;
    bread.nutrients = Nutrients{8, 5, 50, 0}; // no sodium given
    recipe.parts[0].nutrients = Nutrients{2.6, 0.3, 25.9, 0};
    recipe.parts[0].nutrients->sodium = 2.5;
    const QByteArray csv = OwnFoodCsv::write({tea, recipe, bread});
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QVERIFY(csv.contains("\"'=蛋炒饭\""));
    const OwnFoodCsv::Reading read = OwnFoodCsv::read(csv);
    QVERIFY2(read.problems.isEmpty(), qPrintable(read.problems.join(QLatin1Char('\n'))));
    QCOMPARE(read.foods.size(), 3);
    QCOMPARE(read.foods.at(0).aliases, milkTea().aliases);
    QCOMPARE(read.foods.at(0).nutrients->sodium, std::optional<double>(48));
    QCOMPARE(read.foods.at(1).parts.at(0).nutrients->sodium, std::optional<double>(2.5));
    QCOMPARE(read.foods.at(2).nutrients->sodium, std::nullopt);
    QCOMPARE(read.foods.at(2).nutrients->carbohydrate, 50.0);
    QCOMPARE(read.foods.at(0).measureGrams, 500.0);
    QCOMPARE(read.foods.at(0).nutrients->fat, 2.2);
    QCOMPARE(read.foods.at(1).parts.at(0).nutrients->carbohydrate, 25.9);
    QVERIFY(!read.foods.at(1).nutrients); // one part has none
    QCOMPARE(read.foods.at(1).name, recipe.name);
    QCOMPARE(read.foods.at(1).cookedGrams, 150.0);
    QCOMPARE(read.foods.at(1).parts.size(), 2);
    QCOMPARE(read.foods.at(1).parts.at(1).category, QStringLiteral("蛋类"));
    QCOMPARE(read.foods.at(1).parts.at(1).grams, 50.0);
}

void OwnFoodLogicTest::csvSodiumColumn_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<double>("sodium"); // -1: none
    QTest::addColumn<QString>("problem"); // empty: taken
    const QByteArray now = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水,钠毫克数\n";
    const QByteArray before = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\n";
    QTest::newRow("with sodium") << now << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10,48\n") << 48.0 << QString();
    QTest::newRow("the column left empty") << now << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10,\n") << -1.0 << QString();
    QTest::newRow("a file from before the column") << before << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10\n") << -1.0 << QString();
    QTest::newRow("columns in another order")
        << QByteArray("名称,类型,钠毫克数,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,碳水,脂肪,蛋白质\n")
        << QByteArray("奶茶,食物,48,我的食物,80,,,,,,,10,2,1\n") << 48.0 << QString();
    QTest::newRow("the most salt holds") << now << QByteArray("食物,盐,我的食物,0,,,,,,,0,0,0,40000\n") << 40000.0 << QString();
    QTest::newRow("more than salt holds") << now << QByteArray("食物,盐,我的食物,0,,,,,,,0,0,0,40001\n") << -1.0
                                          << "第 2 行：蛋白质、脂肪、碳水应都为";
    QTest::newRow("sodium without the three") << now << QByteArray("食物,奶茶,我的食物,80,,,,,,,,,,48\n") << -1.0
                                              << "第 2 行：蛋白质、脂肪、碳水应都为";
    QTest::newRow("not a number") << now << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10,少许\n") << -1.0
                                  << "第 2 行：蛋白质、脂肪、碳水应都为";
    QTest::newRow("a row of the old width under the new header")
        << now << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10\n") << -1.0 << "第 2 行：应有 14 列，实有 13 列";
    QTest::newRow("a column missing") << QByteArray("类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,钠毫克数\n")
                                      << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,48\n") << -1.0 << "缺少列“碳水”";
    QTest::newRow("a column unknown") << QByteArray(now).replace("钠毫克数", "钠克数") << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10,0.05\n")
                                      << -1.0 << "不认识的列“钠克数”";
    QTest::newRow("a column twice") << QByteArray(before).replace("\n", ",脂肪\n") << QByteArray("食物,奶茶,我的食物,80,,,,,,,1,2,10,3\n")
                                    << -1.0 << "列“脂肪”出现了两次";
}

// The sodium column is found by its name; files written before it still import; its values
// keep to the one bounds table.
void OwnFoodLogicTest::csvSodiumColumn()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, row);
    QFETCH(double, sodium);
    QFETCH(QString, problem);
    const OwnFoodCsv::Reading read = OwnFoodCsv::read(header + row);
    const QString problems = read.problems.join(QLatin1Char('\n'));
    if (!problem.isEmpty()) {
        QVERIFY2(problems.contains(problem), qPrintable(problems));
        QVERIFY(read.foods.isEmpty());
        return;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
    QCOMPARE(read.foods.size(), 1);
    const OwnFood &food = read.foods.first();
    QVERIFY(food.nutrients);
    QCOMPARE(food.nutrients->sodium, sodium < 0 ? std::nullopt : std::optional<double>(sodium));
    if (food.name == QStringLiteral("奶茶"))
        QCOMPARE(food.nutrients->carbohydrate, 10.0);
}

void OwnFoodLogicTest::csvRefusesBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<QString>("problem");
    QTest::newRow("kcal 901") << QByteArray("食物,奶茶,我的食物,901,,,,,,,,,\n") << "第 3 行：每100克热量“901”";
    QTest::newRow("no name") << QByteArray("食物,,我的食物,80,,,,,,,,,\n") << "第 3 行：名称";
    QTest::newRow("a part before its recipe") << QByteArray("配料,米饭,谷薯,116,,,,,炒饭,100,,,\n") << "不在它之前";
    QTest::newRow("a recipe without parts") << QByteArray("菜谱,炒饭,谷薯,120,,,,150,,,,,\n") << "没有配料";
    QTest::newRow("twice") << QByteArray("食物,奶茶,我的食物,80,,,,,,,,,\n食物,奶茶,我的食物,70,,,,,,,,,\n") << "出现了两次";
    QTest::newRow("nutrients over 100 g") << QByteArray("食物,奶茶,我的食物,80,,,,,,,60,30,20\n") << "合计不超过 100";
    QTest::newRow("unknown kind") << QByteArray("饮料,奶茶,我的食物,80,,,,,,,,,\n") << "类型应为";
    QTest::newRow("short row") << QByteArray("食物,奶茶,我的食物,80\n") << "应有 13 列";
    // A food and a recipe of one name, then a part of that recipe: refused, not a crash.
    QTest::newRow("a recipe named twice")
        << QByteArray("食物,炒饭,我的食物,80,,,,,,,,,\n菜谱,炒饭,谷薯,120,,,,150,,,,,\n配料,米饭,谷薯,116,,,,,炒饭,100,,,\n")
        << "第 4 行：“炒饭”在文件中出现了两次";
    // The dialog's rules: the shipped foods' names and other names, every range.
    QTest::newRow("a shipped food's name") << QByteArray("食物,米饭,我的食物,80,,,,,,,,,\n") << "第 3 行：已经有名为“米饭”的食物";
    QTest::newRow("a shipped food's other name")
        << QByteArray("食物,我的饭,我的食物,80,大米,,,,,,,,\n") << "第 3 行：其他名称“大米”已是另一种食物的名称";
    QTest::newRow("cooked weight out of range")
        << QByteArray("菜谱,炒饭,谷薯,120,,,,30000,,,,,\n配料,米饭,谷薯,116,,,,,炒饭,100,,,\n") << "第 3 行：熟重";
    QTest::newRow("a measure's name too long")
        << QByteArray("食物,奶茶,我的食物,80,,一个特别特别特别特别特别特别特别特别大的杯子,500,,,,,,\n") << "第 3 行：份量名称最多";
    // Bytes that are no text: named by their line, never imported cut short or as U+FFFD.
    QTest::newRow("a NUL in a name") << QByteArray("食物,奶") + QByteArray(1, '\0') + QByteArray("茶,我的食物,80,,,,,,,,,\n") << "第 3 行含有空字符";
    QTest::newRow("bad UTF-8") << QByteArray("食物,奶\xff茶,我的食物,80,,,,,,,,,\n") << "第 3 行不是有效的 UTF-8";
}

// A file with a fault is refused whole, each fault named by its line; nothing is taken.
void OwnFoodLogicTest::csvRefusesBrokenFiles()
{
    QFETCH(QByteArray, rows);
    QFETCH(QString, problem);
    const QByteArray header = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\n";
    const auto shipped = [](const QString &name) { return name == QStringLiteral("米饭") || name == QStringLiteral("大米"); };
    const OwnFoodCsv::Reading read = OwnFoodCsv::read(header + "食物,好的,我的食物,10,,,,,,,,,\n" + rows, shipped);
    QVERIFY(read.foods.isEmpty());
    QVERIFY2(read.problems.join(QLatin1Char('\n')).contains(problem), qPrintable(read.problems.join(QLatin1Char('\n'))));
    QVERIFY(!OwnFoodCsv::read("名称,热量\n奶茶,80\n").problems.isEmpty());
}

// What a spreadsheet on a Chinese system saves (GB18030/GBK, no byte-order mark) is read as that
// and said so; a UTF-8 file with one broken byte is not taken for it.
void OwnFoodLogicTest::csvFromAChineseSpreadsheet()
{
    const QString text = QStringLiteral("类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\r\n"
                                        "食物,我的奶茶,我的食物,80,珍珠奶茶、波霸,1杯,500,,,,,,\r\n");
    QStringEncoder gbk("GB18030");
    QVERIFY(gbk.isValid());
    const QByteArray bytes = gbk.encode(text);
    const OwnFoodCsv::Reading read = OwnFoodCsv::read(bytes);
    QVERIFY2(read.problems.isEmpty(), qPrintable(read.problems.join(QLatin1Char('\n'))));
    QVERIFY(read.fromGb18030);
    QCOMPARE(read.foods.size(), 1);
    QCOMPARE(read.foods.first().name, QStringLiteral("我的奶茶"));
    QCOMPARE(read.foods.first().aliases, (QStringList{"珍珠奶茶", "波霸"}));
    QVERIFY(!OwnFoodCsv::read(text.toUtf8()).fromGb18030);

    // UTF-8 with a byte-order mark and one bad byte on its third line.
    const QByteArray broken = "\xEF\xBB\xBF" + text.toUtf8() + "食物,奶\xE5茶,我的食物,80,,,,,,,,,\r\n";
    const OwnFoodCsv::Reading refused = OwnFoodCsv::read(broken);
    QVERIFY(refused.foods.isEmpty());
    QVERIFY(refused.problems.value(0).startsWith(QStringLiteral("第 3 行不是有效的 UTF-8")));
}

// Reading takes time in proportion to the rows: many thousand foods, each read once. (The
// figures are measured by bench_own_food_csv; here only that a large file reads whole.)
void OwnFoodLogicTest::csvOfManyFoods()
{
    QByteArray csv = "类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水\n";
    for (int i = 0; i < 20000; ++i)
        csv += "食物,食物" + QByteArray::number(i) + ",我的食物,80,,,,,,,,,\n";
    const OwnFoodCsv::Reading read = OwnFoodCsv::read(csv);
    QVERIFY(read.problems.isEmpty());
    QCOMPARE(read.foods.size(), 20000);
    QCOMPARE(read.foods.last().name, QStringLiteral("食物19999"));
}

QTEST_GUILESS_MAIN(OwnFoodLogicTest)
#include "test_own_food_logic.moc"
