// SPDX-License-Identifier: GPL-3.0-or-later
// The food search: what a query finds, in which order, and the pinyin table
// under it.
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "foods/FoodCatalog.h"
#include "foods/FoodChoices.h"
#include "foods/FoodSearchIndex.h"
#include "foods/HouseholdMeasures.h"
#include "foods/PinyinTable.h"
#include "support/TempDatabase.h"

#include <QCryptographicHash>

#include <QtTest>

namespace {

SearchableFood food(const QString &category, const QString &name, const QStringList &aliases = {})
{
    SearchableFood f;
    f.category = category;
    f.name = name;
    f.kcal = QStringLiteral("100");
    f.portion = QStringLiteral("100克");
    f.aliases = aliases;
    return f;
}

// A handful of foods that exercise each rule; not in pinyin order, so that
// the index has to sort them.
QVector<SearchableFood> fixture()
{
    return {
        food("家常菜肴", "西红柿炒蛋"),
        food("蔬菜", "西红柿", {"番茄"}),
        food("调味品", "番茄酱"),
        food("家常菜肴", "番茄牛腩"),
        food("谷薯主食", "土豆", {"马铃薯", "洋芋"}),
        food("家常菜肴", "酸辣土豆丝"),
        food("家常菜肴", "土豆丝"),
        food("谷薯主食", "绿豆"),
        food("快餐小吃", "卤豆干"),
        food("蔬菜", "薄荷"),
        food("快餐小吃", "长寿面"),
        food("快餐小吃", "重庆小面"),
        food("快餐小吃", "行军饭"),
        food("饮料", "可乐"),
        food("饮料", "AD钙奶"),
        food("糕点零食", "10号面包"),
        food("糕点零食", "2号面包"),
        // Read alike but for their tones: lí zhī and lì zhī, táng and tāng.
        food("饮料", "梨汁"),
        food("水果", "荔枝"),
        food("调味品", "糖"),
        food("家常菜肴", "汤"),
        food("饮料", "糖水"),
    };
}

QStringList shown(const FoodSearchIndex &index, const QVector<FoodSearchHit> &hits)
{
    QStringList names;
    for (const FoodSearchHit &hit : hits) {
        QString text = index.foods().at(hit.food).name;
        if (!hit.alias.isEmpty())
            text += QStringLiteral("（%1）").arg(hit.alias);
        names.append(text);
    }
    return names;
}

} // namespace

class TestFoodSearch : public QObject
{
    Q_OBJECT

private slots:
    void readings_data();
    void readings();
    void queries_data();
    void queries();
    void ranks();
    void rankedByUse_data();
    void rankedByUse();
    void wordReadings_data();
    void wordReadings();
    void foundByAnotherName_data();
    void foundByAnotherName();
    void shippedNames_data();
    void shippedNames();
    void fuzzySoundsCanBeTurnedOff();
    void categoriesAreResultsOfTheirOwn();
    void ownThenEverydayFoodsFirst();
    void ownFoodsAreReadByWords();
    void limitKeepsTheBest();
    void longQuery();
    void catalogFromFile();
    void catalogWithoutAliasTable();
    void catalogWithoutFile();
};

void TestFoodSearch::readings_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("reading"); // its most common one, with its tone

    QTest::newRow("薄") << "薄" << "báo";
    QTest::newRow("长") << "长" << "cháng";
    QTest::newRow("重") << "重" << "zhòng";
    QTest::newRow("行") << "行" << "xíng";
    QTest::newRow("乐") << "乐" << "lè";
    QTest::newRow("白") << "白" << "bái";
    QTest::newRow("大") << "大" << "dà";
    QTest::newRow("担") << "担" << "dān";
    QTest::newRow("绿: ü") << "绿" << "lǜ";
    QTest::newRow("西") << "西" << "xī";
    QTest::newRow("糖") << "糖" << "táng";
    QTest::newRow("荔") << "荔" << "lì";
    QTest::newRow("梨") << "梨" << "lí";
    QTest::newRow("果: the mark on o of uo") << "果" << "guǒ";
    QTest::newRow("肉: on the o of ou") << "肉" << "ròu";
    QTest::newRow("水: on the i of ui") << "水" << "shuǐ";
    QTest::newRow("beyond the first plane") << QString::fromUcs4(U"\U0002C1D9") << "bèi";
}

// Outside a word a character has one reading, its most common; nothing else has any.
void TestFoodSearch::readings()
{
    QFETCH(QString, character);
    QFETCH(QString, reading);
    const PinyinTable table;
    QCOMPARE(table.markedReadingTexts(character.toUcs4().front()), QStringList{reading});
    QCOMPARE(table.markedText(character), reading);
    QVERIFY(table.readingTexts(U'a').isEmpty());
    QVERIFY(table.readingTexts(U'，').isEmpty());
}

void TestFoodSearch::wordReadings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reading");

    // A character takes the reading its word has.
    QTest::newRow("薄荷") << "薄荷" << "bò he";
    QTest::newRow("薄饼") << "薄饼" << "báo bǐng";
    QTest::newRow("担担面") << "担担面" << "dàn dan miàn";
    QTest::newRow("重庆小面") << "重庆小面" << "chóng qìng xiǎo miàn";
    QTest::newRow("长寿面") << "长寿面" << "cháng shòu miàn";
    QTest::newRow("行军饭") << "行军饭" << "xíng jūn fàn";
    QTest::newRow("咖喱饭") << "咖喱饭" << "gā lí fàn";
    QTest::newRow("番茄") << "番茄" << "fān qié";
    QTest::newRow("芥蓝, a food word added to the dictionaries") << "芥蓝" << "gài lán";
    QTest::newRow("音乐: a word of the dictionary in no food") << "音乐" << "yīn yuè";
    // Outside a word, each character its most common reading.
    QTest::newRow("芒果") << "芒果" << "máng guǒ";
    QTest::newRow("开心果") << "开心果" << "kāi xīn guǒ";
    QTest::newRow("鲜百合") << "鲜百合" << "xiān bǎi hé";
    QTest::newRow("大扫除") << "大扫除" << "dà sǎo chú";
    // Characters that are not Chinese are themselves.
    QTest::newRow("AD钙奶") << "AD钙奶" << "A D gài nǎi";
    // Two words side by side, each as it is said: 卜 is bo in 萝卜, not its most common bǔ.
    QTest::newRow("two words") << "红烧萝卜" << "hóng shāo luó bo";
}

// A name is read word by word, as a reader says it.
void TestFoodSearch::wordReadings()
{
    QFETCH(QString, text);
    QFETCH(QString, reading);
    QCOMPARE(PinyinTable().markedText(text), reading);
}

void TestFoodSearch::queries_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    // Chinese text.
    QTest::newRow("substring, and an alias that is the whole query first")
        << "番茄" << QStringList{"西红柿（番茄）", "番茄酱", "番茄牛腩"};
    QTest::newRow("substring in the middle") << "牛腩" << QStringList{"番茄牛腩"};
    QTest::newRow("whole name, then beginnings, then the rest")
        << "土豆" << QStringList{"土豆", "土豆丝", "酸辣土豆丝"};
    // Pinyin.
    QTest::newRow("full pinyin") << "xihongshi" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("pinyin prefix") << "xihong" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("cut inside a syllable") << "xihongs" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("initials") << "xhs" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("syllables and initials") << "xihs" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("pinyin inside the name") << "niunan" << QStringList{"番茄牛腩"};
    QTest::newRow("initials inside the name") << "tds" << QStringList{"土豆丝", "酸辣土豆丝"};
    QTest::newRow("Chinese and pinyin mixed") << "西hs" << QStringList{"西红柿", "西红柿炒蛋"};
    // ü.
    QTest::newRow("ü as v") << "lvdou" << QStringList{"绿豆"};
    QTest::newRow("ü as u") << "ludou" << QStringList{"绿豆", "卤豆干"};
    QTest::newRow("ü itself") << "lüdou" << QStringList{"绿豆"};
    // A character in its word's reading, not in another of its readings.
    QTest::newRow("薄 bo in 薄荷") << "bohe" << QStringList{"薄荷"};
    QTest::newRow("not 薄 bao in 薄荷") << "bao" << QStringList{"2号面包", "10号面包"};
    QTest::newRow("长 chang in 长寿") << "changshou" << QStringList{"长寿面"};
    QTest::newRow("重 chong in 重庆") << "chongqing" << QStringList{"重庆小面"};
    QTest::newRow("行 xing in 行军") << "xingjun" << QStringList{"行军饭"};
    QTest::newRow("not 行 hang in 行军") << "hangjun" << QStringList{};
    QTest::newRow("乐 le in 可乐") << "kele" << QStringList{"可乐"};
    QTest::newRow("not 乐 yue in 可乐") << "keyue" << QStringList{};
    // Other names.
    QTest::newRow("alias in Chinese") << "马铃薯" << QStringList{"土豆（马铃薯）"};
    QTest::newRow("alias in pinyin") << "yangyu" << QStringList{"土豆（洋芋）"};
    QTest::newRow("alias beginning") << "马铃" << QStringList{"土豆（马铃薯）"};
    // Case and spaces.
    QTest::newRow("upper-case pinyin") << "XHS" << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("Latin letters of a name, any case") << "ad" << QStringList{"AD钙奶"};
    QTest::newRow("Latin letters then initials") << "Adgn" << QStringList{"AD钙奶"};
    QTest::newRow("spaces anywhere") << "  xi hong shi " << QStringList{"西红柿", "西红柿炒蛋"};
    QTest::newRow("ideographic space") << "番\u3000茄" << QStringList{"西红柿（番茄）", "番茄酱", "番茄牛腩"};
    QTest::newRow("full-width letters") << "ＸＨＳ" << QStringList{"西红柿", "西红柿炒蛋"};
    // Numbers by value, as the tree orders them.
    QTest::newRow("numbers by value") << "mianbao" << QStringList{"2号面包", "10号面包"};
    // Tones: among equal matches, those read in the typed tones first; a wrong tone loses none.
    QTest::newRow("no tones: the tree's order") << "lizhi" << QStringList{"梨汁", "荔枝"};
    QTest::newRow("li2zhi1") << "li2zhi1" << QStringList{"梨汁", "荔枝"};
    QTest::newRow("li4zhi1") << "li4zhi1" << QStringList{"荔枝", "梨汁"};
    QTest::newRow("lì zhī (marks)") << "lì zhī" << QStringList{"荔枝", "梨汁"};
    QTest::newRow("lìzhi (one syllable toned)") << "lìzhi" << QStringList{"荔枝", "梨汁"};
    QTest::newRow("li3zhi1 (no such tone): both, in the tree's order") << "li3zhi1" << QStringList{"梨汁", "荔枝"};
    QTest::newRow("tang2: the whole name still before its beginning")
        << "tang2" << QStringList{"糖", "汤", "糖水"};
    QTest::newRow("tang1") << "tang1" << QStringList{"汤", "糖", "糖水"};
    QTest::newRow("táng") << "táng" << QStringList{"糖", "汤", "糖水"};
    QTest::newRow("no tones: tang") << "tang" << QStringList{"汤", "糖", "糖水"};
    // Nothing.
    QTest::newRow("no match") << "zzz" << QStringList{};
    QTest::newRow("no match in Chinese") << "牛奶咖啡" << QStringList{};
    QTest::newRow("letters out of order") << "shx" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only spaces") << "   " << QStringList{};
}

void TestFoodSearch::queries()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    const FoodSearchIndex index(fixture());
    QCOMPARE(shown(index, index.search(query)), expected);
}

// Everyday foods, among them the ones a reading of another word or a syllable fragment used to put first.
QVector<SearchableFood> everydayFoods()
{
    return {
        food("水果", "菠萝", {"凤梨"}),       food("坚果", "白果"),
        food("谷薯主食", "土豆", {"马铃薯"}), food("水果", "甜橙"),
        food("豆类", "大豆"),                 food("水果", "苹果"),
        food("蔬菜", "南瓜", {"番瓜"}),       food("蔬菜", "黄瓜"),
        food("谷薯主食", "小米粥"),           food("谷薯主食", "皮蛋瘦肉粥"),
        food("水果", "柚子"),                 food("肉类", "猪后腿肉"),
        food("水产", "鱼"),                   food("谷薯主食", "玉米"),
        food("谷薯主食", "芋头"),             food("蔬菜", "圆白菜"),
        food("快餐小吃", "元宵"),             food("快餐小吃", "馄饨", {"云吞"}),
        food("蛋类", "鸡蛋"),                 food("快餐小吃", "担担面"),
        food("豆类", "绿豆"),                 food("水果", "百香果", {"鸡蛋果"}),
        food("蔬菜", "西红柿", {"番茄"}),     food("蔬菜", "丝瓜"),
        food("谷薯主食", "牛奶"),             food("肉类", "牛腩"),
        food("蔬菜", "菠菜"),                 food("蔬菜", "蚕豆"),
        food("家常菜肴", "回锅肉"),           food("家常菜肴", "鸡蛋羹"),
    };
}

void TestFoodSearch::rankedByUse_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QStringList>("inTopThree");
    // Each character as its word has it: no reading of another word gets in first.
    QTest::newRow("boluo") << "boluo" << "菠萝" << QStringList{};
    QTest::newRow("td") << "td" << "土豆" << QStringList{};
    QTest::newRow("pg") << "pg" << "苹果" << QStringList{};
    QTest::newRow("hg") << "hg" << "黄瓜" << QStringList{};
    QTest::newRow("jidan") << "jidan" << "鸡蛋" << QStringList{};
    // Whole syllables before fragments (yu of yuan, yun; zh + ou).
    QTest::newRow("yu") << "yu" << "" << QStringList{"鱼", "玉米", "芋头"};
    QTest::newRow("zhou") << "zhou" << "" << QStringList{"小米粥", "皮蛋瘦肉粥"};
    // Tones as marks or numbers, and ü.
    QTest::newRow("jī dàn") << "jī dàn" << "鸡蛋" << QStringList{};
    QTest::newRow("ji1dan4") << "ji1dan4" << "鸡蛋" << QStringList{};
    QTest::newRow("lv4dou4") << "lv4dou4" << "绿豆" << QStringList{};
    QTest::newRow("lǜdòu") << "lǜdòu" << "绿豆" << QStringList{};
    // Fuzzy sounds (s/sh, n/l, an/ang, c/ch), below every match as spelled.
    QTest::newRow("xihongsi") << "xihongsi" << "西红柿" << QStringList{};
    QTest::newRow("liunai") << "liunai" << "牛奶" << QStringList{};
    QTest::newRow("niulang (an/ang)") << "niunang" << "牛腩" << QStringList{};
    QTest::newRow("chandou (c/ch)") << "chandou" << "蚕豆" << QStringList{};
    QTest::newRow("si: 丝瓜 before 柿 by sh") << "si" << "丝瓜" << QStringList{};
    // One typo in four letters or more, when nothing is found as spelled.
    QTest::newRow("jidna (swapped)") << "jidna" << "鸡蛋" << QStringList{};
    QTest::newRow("xihongshu (wrong)") << "xihongshu" << "西红柿" << QStringList{};
    QTest::newRow("tudu (missing)") << "tudu" << "土豆" << QStringList{};
    QTest::newRow("bolluo (extra)") << "bolluo" << "菠萝" << QStringList{};
    // A typo and a fuzzy sound together are not guessed at: liunai is 牛奶 by its fuzzy n/l,
    // before anything one edit and a fuzzy sound away (牛腩 as niunan).
    QTest::newRow("liunai: fuzzy, not typo and fuzzy") << "liunai" << "牛奶" << QStringList{};
    // Hanzi and other names as before.
    QTest::newRow("鸡蛋") << "鸡蛋" << "鸡蛋" << QStringList{};
    QTest::newRow("fengli") << "fengli" << "菠萝" << QStringList{};
}

void TestFoodSearch::rankedByUse()
{
    QFETCH(QString, query);
    QFETCH(QString, first);
    QFETCH(QStringList, inTopThree);
    const FoodSearchIndex index(everydayFoods());
    const QVector<FoodSearchHit> hits = index.search(query);
    QVERIFY(!hits.isEmpty());
    QStringList names;
    for (const FoodSearchHit &hit : hits)
        names << index.foods().at(hit.food).name;
    if (!first.isEmpty())
        QCOMPARE(names.first(), first);
    for (const QString &name : inTopThree)
        QVERIFY2(names.mid(0, 3).contains(name), qPrintable(names.join(u' ')));
}

void TestFoodSearch::foundByAnotherName_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("alias"); // the other name shown beside it; empty: none

    QTest::newRow("the name's pinyin") << "baiguo" << "白果" << "";
    QTest::newRow("the name's initials") << "bg" << "白果" << "";
    QTest::newRow("the name typed") << "白果" << "白果" << "";
    QTest::newRow("typed tones") << "bai2guo3" << "白果" << "";
    QTest::newRow("another name's pinyin") << "fengli" << "菠萝" << "凤梨";
    QTest::newRow("another name typed") << "马铃薯" << "土豆" << "马铃薯";
    QTest::newRow("another name through its word's reading") << "fangua" << "南瓜" << "番瓜";
    QTest::newRow("another name that is a reading: not told") << "baohe" << "薄荷" << "";
    QTest::newRow("the same with tone marks") << "báo he" << "薄荷" << "";
}

// What a result says it was found by: another name the user did not see, never a reading; the
// foods a log entry is made from say the same.
void TestFoodSearch::foundByAnotherName()
{
    QFETCH(QString, query);
    QFETCH(QString, name);
    QFETCH(QString, alias);
    QVector<SearchableFood> foods = everydayFoods();
    foods.append(food("蔬菜", "薄荷", {"báo he"})); // 薄荷 also said báo he, spelled out
    const FoodSearchIndex index(foods);
    const QVector<FoodSearchHit> hits = index.search(query);
    const auto hit = std::find_if(hits.begin(), hits.end(), [&](const FoodSearchHit &found) {
        return index.foods().at(found.food).name == name;
    });
    QVERIFY(hit != hits.end());
    QCOMPARE(hit->alias, alias);

    const QList<FoodChoice> choices = FoodChoices(foods).match(query);
    const auto choice = std::find_if(choices.begin(), choices.end(), [&](const FoodChoice &found) {
        return found.name == name;
    });
    QVERIFY(choice != choices.end());
    QCOMPARE(choice->matchedAlias, alias);
}

// The fuzzy sounds can be turned off: then only what is spelled as read is found.
namespace {

// The shipped table (resources/foods.csv or activities.csv) as the search has it: each row's
// category, name and other names, read by the header's names; a food with household measures
// an everyday one.
QVector<SearchableFood> shippedTable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const QStringList header = lines.value(0).split(u',');
    const HouseholdMeasures measures = HouseholdMeasures::builtIn();
    QVector<SearchableFood> foods;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(u',');
        const auto field = [&](const char *name) { return fields.value(header.indexOf(QLatin1String(name))); };
        SearchableFood item = food(field("category"), field("name"), field("aliases").split(u'、', Qt::SkipEmptyParts));
        item.common = !measures.of(item.category, item.name).isEmpty();
        foods.append(item);
    }
    return foods;
}

} // namespace

void TestFoodSearch::shippedNames_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("first"); // the first results, in this order
    QTest::addColumn<QStringList>("absent"); // never among the results

    const QString foods = QStringLiteral(PELLOMIR_FOODS_CSV);
    const QString activities = QStringLiteral(PELLOMIR_ACTIVITIES_CSV);
    // Matches no reader expects, through readings the words do not have.
    QTest::newRow("huanggua: not 芒果") << foods << "huanggua" << QStringList{"黄瓜"} << QStringList{"芒果"};
    QTest::newRow("xigua: not 开心果") << foods << "xigua" << QStringList{"西瓜"} << QStringList{"开心果"};
    QTest::newRow("jidan: not 担担面") << foods << "jidan" << QStringList{"鸡蛋"} << QStringList{"担担面"};
    QTest::newRow("bohe: not 鲜百合") << foods << "bohe" << QStringList{"薄荷"} << QStringList{"鲜百合"};
    QTest::newRow("shucai: not 手撕包菜") << foods << "shucai" << QStringList{} << QStringList{"手撕包菜"};
    QTest::newRow("ts: not 大扫除") << activities << "ts" << QStringList{} << QStringList{"大扫除"};
    // Sound-alikes before typos.
    QTest::newRow("zurou: 猪肉 by z/zh first") << foods << "zurou" << QStringList{"猪肉"} << QStringList{};
    QTest::newRow("caofan: 蛋炒饭 by c/ch first") << foods << "caofan" << QStringList{"蛋炒饭"} << QStringList{};
    QTest::newRow("tiaoseng: 跳绳 by s/sh") << activities << "tiaoseng" << QStringList{"跳绳"} << QStringList{};
    // Words read as they are said.
    QTest::newRow("hetao") << foods << "hetao" << QStringList{"核桃"} << QStringList{};
    QTest::newRow("luobo: 萝卜 as an other name") << foods << "luobo" << QStringList{"白萝卜"} << QStringList{};
    QTest::newRow("gailan") << foods << "gailan" << QStringList{"芥蓝"} << QStringList{};
    QTest::newRow("jielan: not a reading of 芥蓝") << foods << "jielan" << QStringList{} << QStringList{"芥蓝"};
    QTest::newRow("galifan") << foods << "galifan" << QStringList{"咖喱饭"} << QStringList{};
    QTest::newRow("paji") << foods << "paji" << QStringList{"扒鸡"} << QStringList{};
    QTest::newRow("zhuroufu") << foods << "zhuroufu" << QStringList{"猪肉脯"} << QStringList{};
    QTest::newRow("jizong") << foods << "jizong" << QStringList{"鸡枞"} << QStringList{};
    QTest::newRow("fanqie: 西红柿 by its other name") << foods << "fanqie" << QStringList{"西红柿"} << QStringList{};
    QTest::newRow("tiaosheng") << activities << "tiaosheng" << QStringList{"跳绳"} << QStringList{};
}

// The shipped names, searched as the program searches them: what must come first, and the
// matches through readings that a word does not have, which must never come at all.
void TestFoodSearch::shippedNames()
{
    QFETCH(QString, table);
    QFETCH(QString, query);
    QFETCH(QStringList, first);
    QFETCH(QStringList, absent);
    const FoodSearchIndex index(shippedTable(table));
    QStringList names;
    for (const FoodSearchHit &hit : index.search(query))
        names << index.foods().at(hit.food).name;
    QVERIFY2(names.mid(0, first.size()) == first, qPrintable(names.join(u' ')));
    for (const QString &name : absent)
        QVERIFY2(!names.contains(name), qPrintable(names.join(u' ')));
}

void TestFoodSearch::fuzzySoundsCanBeTurnedOff()
{
    const FoodSearchIndex index(everydayFoods());
    FoodSearchIndex::Options exact;
    exact.fuzzySounds = false;
    // Too short for a typo to be forgiven: what is not spelled as read is not found.
    QVERIFY(index.search(QStringLiteral("lai"), 10, exact).isEmpty());
    QCOMPARE(index.search(QStringLiteral("nai"), 10, exact).size(), 1);
    const QVector<FoodSearchHit> fuzzy = index.search(QStringLiteral("lai"), 10);
    QCOMPARE(fuzzy.size(), 1);
    QCOMPARE(index.foods().at(fuzzy.first().food).name, QStringLiteral("牛奶"));
}

// Among foods that match as well: the user's own first, in their order, then the everyday
// ones, then the rest in the tree's order; a better match still comes before all of them.
void TestFoodSearch::ownThenEverydayFoodsFirst()
{
    QVector<SearchableFood> foods = {food("水果", "西瓜"), food("蔬菜", "西葫芦"), food("水果", "西梅"),
                                     food("蔬菜", "西兰花"), food("水果", "西柚"), food("蔬菜", "西芹")};
    foods[0].common = true; // 西瓜
    foods[3].common = true; // 西兰花
    const FoodSearchIndex index(foods);
    const auto names = [&](const QVector<FoodSearchHit> &hits) {
        QStringList found;
        for (const FoodSearchHit &hit : hits)
            found << index.foods().at(hit.food).name;
        return found;
    };
    QCOMPARE(names(index.search(QStringLiteral("xi"))),
             (QStringList{"西瓜", "西兰花", "西葫芦", "西梅", "西芹", "西柚"}));
    FoodSearchIndex::Options mine;
    mine.preferredFoods = {"西柚", "不在表里的", "西梅"};
    QCOMPARE(names(index.search(QStringLiteral("xi"), 10, mine)),
             (QStringList{"西柚", "西梅", "西瓜", "西兰花", "西葫芦", "西芹"}));
    // A whole name still comes before the user's own that only begin so.
    QCOMPARE(names(index.search(QStringLiteral("xigua"), 10, mine)).first(), QStringLiteral("西瓜"));
}

// A category named wholly (its name, pinyin or initials) is a result; a part of it is not.
void TestFoodSearch::categoriesAreResultsOfTheirOwn()
{
    const FoodSearchIndex index(everydayFoods());
    QCOMPARE(index.matchingCategories(QStringLiteral("shuiguo")), QStringList{"水果"});
    QCOMPARE(index.matchingCategories(QStringLiteral("水果")), QStringList{"水果"});
    QCOMPARE(index.matchingCategories(QStringLiteral("sg")), QStringList{"水果"});
    QCOMPARE(index.matchingCategories(QStringLiteral("shucai")), QStringList{"蔬菜"});
    QCOMPARE(index.matchingCategories(QStringLiteral("shui")), QStringList());
    QCOMPARE(index.matchingCategories(QStringLiteral("西红柿")), QStringList());
    // A query that names a category is no typo: no food one edit away is offered for it.
    QVERIFY(index.search(QStringLiteral("shuiguo")).isEmpty()); // not 回锅肉 (s + huiguo)
}

void TestFoodSearch::ranks()
{
    const FoodSearchIndex index(fixture());
    const QVector<FoodSearchHit> hits = index.search(QStringLiteral("tudou"));
    QCOMPARE(shown(index, hits), (QStringList{"土豆", "土豆丝", "酸辣土豆丝"}));
    QCOMPARE(hits[0].rank, SearchRank::Exact);
    QCOMPARE(hits[1].rank, SearchRank::Prefix);
    QCOMPARE(hits[2].rank, SearchRank::Contains);
    const SearchableFood &first = index.foods().at(hits[0].food);
    QCOMPARE(first.category, QStringLiteral("谷薯主食"));
    QCOMPARE(first.aliases, (QStringList{"马铃薯", "洋芋"}));
}

// The user's own foods are read the same way, from the same words, when the index is built:
// 重阳糕 is chóng yáng gāo (a word in no shipped name), never zhòng.
void TestFoodSearch::ownFoodsAreReadByWords()
{
    OwnFood mine;
    mine.id = 7;
    mine.category = QStringLiteral("我的食物");
    mine.name = QStringLiteral("重阳糕");
    mine.kcalPer100g = 300;
    const FoodSearchIndex index({FoodCatalog::searchable(mine), food("谷薯主食", "玉米")});
    QCOMPARE(shown(index, index.search(QStringLiteral("chongyanggao"))), QStringList{"重阳糕"});
    QCOMPARE(shown(index, index.search(QStringLiteral("chy"))), QStringList{"重阳糕"});
    QCOMPARE(shown(index, index.search(QStringLiteral("zhy"))), QStringList{});
    QVERIFY(index.foods().at(index.search(QStringLiteral("chy")).first().food).own);
}

// 60 foods contain the query; the only exact one sorts last by pinyin and
// must still come first, and no more than the limit come back.
void TestFoodSearch::limitKeepsTheBest()
{
    QVector<SearchableFood> foods;
    for (int i = 0; i < 60; ++i)
        foods.append(food("菜", QStringLiteral("阿%1米饭").arg(i)));
    foods.append(food("菜", "米饭"));
    foods.append(food("菜", "米饭团"));
    const FoodSearchIndex index(foods);
    const QVector<FoodSearchHit> hits = index.search(QStringLiteral("米饭"));
    QCOMPARE(hits.size(), FoodSearchIndex::DefaultLimit);
    QCOMPARE(index.foods().at(hits[0].food).name, QStringLiteral("米饭"));
    QCOMPARE(index.foods().at(hits[1].food).name, QStringLiteral("米饭团"));
    QCOMPARE(index.foods().at(hits[2].food).name, QStringLiteral("阿0米饭"));
    QCOMPARE(index.foods().at(hits[3].food).name, QStringLiteral("阿1米饭"));
    QCOMPARE(index.search(QStringLiteral("mifan"), 5).size(), 5);
}

// A query longer than the pinyin match can follow is still matched as text.
void TestFoodSearch::longQuery()
{
    const QString longName = QString(70, QChar(u'面')) + QStringLiteral("包");
    const FoodSearchIndex index({food("菜", longName), food("菜", "面包")});
    QCOMPARE(shown(index, index.search(longName)), QStringList{longName});
    QCOMPARE(shown(index, index.search(QString(70, QChar(u'面')))), QStringList{longName});
    QCOMPARE(shown(index, index.search(QString(70, QChar(u'x')))), QStringList{});
}

namespace {

void addCatalogFixture(const TempDatabase &db)
{
    db.insertRows("02", {"category"}, {{"蔬菜"}, {" 谷薯主食 "}, {QVariant()}});
    db.insertRows("01", {"category", "food", "portion", "kcal"},
                  {{"谷薯主食", "土豆", "100克", 81},
                   {"蔬菜", " 西红柿 ", "100克", 15},
                   {"蔬菜", "西红柿", "100克", 99},          // a second row: the first one counts
                   {"水果", "苹果", "100克", 53},            // no such category: not in the tree
                   {"蔬菜", "", "100克", 1},                 // no name: not in the tree
                   {"蔬菜", "黄瓜", QVariant(), QVariant()}}); // figures missing
    db.insertRows("food_alias", {"category", "food", "alias"},
                  {{"谷薯主食", "土豆", "马铃薯"},
                   {"谷薯主食", " 土豆", " 洋芋 "},
                   {"谷薯主食", "土豆", "洋芋"},             // given twice
                   {"蔬菜", "西红柿", "番茄"},
                   {"蔬菜", "土豆", "地蛋"},                 // wrong category: no such food
                   {"蔬菜", "黄瓜", QVariant()}});
}

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QString describe(const QVector<SearchableFood> &foods)
{
    QStringList lines;
    for (const SearchableFood &food : foods)
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(food.category, food.name, food.portion, food.kcal, food.aliases.join(u'/'));
    return lines.join(u'\n');
}

} // namespace

void TestFoodSearch::catalogFromFile()
{
    TempDatabase db;
    addCatalogFixture(db);
    const QByteArray before = fileDigest(db.path());
    const QVector<SearchableFood> foods = FoodCatalog::read(db.path());
    QCOMPARE(describe(foods), QStringLiteral("谷薯主食|土豆|100克|81|马铃薯/洋芋\n"
                                             "蔬菜|西红柿|100克|15|番茄\n"
                                             "蔬菜|黄瓜|||"));
    QCOMPARE(foods[1].rowId, db.query("SELECT id FROM \"01\" WHERE kcal = 15").toLongLong());
    QCOMPARE(fileDigest(db.path()), before);

    const FoodSearchIndex index(foods);
    QCOMPARE(shown(index, index.search(QStringLiteral("yangyu"))), QStringList{"土豆（洋芋）"});
}

// A file made before the table of other names existed: the foods are found by
// their names, and the file is left exactly as it was.
void TestFoodSearch::catalogWithoutAliasTable()
{
    TempDatabase db;
    addCatalogFixture(db);
    db.dropTable("food_alias");
    const QByteArray before = fileDigest(db.path());
    const FoodSearchIndex index(FoodCatalog::read(db.path()));
    QCOMPARE(index.foods().size(), 3);
    QCOMPARE(shown(index, index.search(QStringLiteral("马铃薯"))), QStringList{});
    QCOMPARE(shown(index, index.search(QStringLiteral("tudou"))), QStringList{"土豆"});
    QCOMPARE(fileDigest(db.path()), before);
    QCOMPARE(db.query("SELECT count(*) FROM sqlite_master WHERE name = 'food_alias'").toInt(), 0);
    // Such a file is still a whole data file of the program (the check made
    // before anything is added to a file).
    verifyDatabaseFile(db.path());
}

void TestFoodSearch::catalogWithoutFile()
{
    TempDatabase db;
    QVERIFY_THROWS_EXCEPTION(DataError, FoodCatalog::read(db.filePath("missing.mdb")));
    db.dropTable("02");
    QVERIFY_THROWS_EXCEPTION(DataError, FoodCatalog::read(db.path()));
}

QTEST_GUILESS_MAIN(TestFoodSearch)
#include "tst_food_search.moc"
