// SPDX-License-Identifier: GPL-3.0-or-later
// The food search: what a query finds, in which order, and the pinyin table
// under it.
#include "db/DatabaseCopy.h"
#include "db/DataError.h"
#include "foods/FoodCatalog.h"
#include "foods/FoodChoices.h"
#include "foods/FoodSearchIndex.h"
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
    void rareReadingIsNamed_data();
    void rareReadingIsNamed();
    void readingsInOrderOfUse();
    void fuzzySoundsCanBeTurnedOff();
    void categoriesAreResultsOfTheirOwn();
    void ownThenEverydayFoodsFirst();
    void limitKeepsTheBest();
    void longQuery();
    void catalogFromFile();
    void catalogWithoutAliasTable();
    void catalogWithoutFile();
};

void TestFoodSearch::readings_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QStringList>("mustHave");
    QTest::addColumn<QStringList>("withTones"); // each reading in its usual tone first

    QTest::newRow("薄") << "薄" << QStringList{"bao", "bo"} << QStringList{"báo", "bó", "bò"};
    QTest::newRow("长") << "长" << QStringList{"chang", "zhang"} << QStringList{"zhǎng", "cháng"};
    QTest::newRow("重") << "重" << QStringList{"zhong", "chong"} << QStringList{"zhòng", "chóng"};
    QTest::newRow("行") << "行" << QStringList{"xing", "hang"} << QStringList{"xíng", "háng"};
    QTest::newRow("乐") << "乐" << QStringList{"le", "yue"} << QStringList{"lè", "yuè"};
    QTest::newRow("绿: ü as v") << "绿" << QStringList{"lv"} << QStringList{"lǜ"};
    QTest::newRow("西: one reading") << "西" << QStringList{"xi"} << QStringList{"xī"};
    QTest::newRow("an extension B character") << QString::fromUcs4(U"\U00020000") << QStringList{"he"}
                                              << QStringList{};
    // One syllable in several tones, its usual one first; the neutral one without a mark.
    QTest::newRow("好: hǎo, hào") << "好" << QStringList{"hao"} << QStringList{"hǎo", "hào"};
    QTest::newRow("汤: tāng, and neutral") << "汤" << QStringList{"tang"} << QStringList{"tāng", "tang"};
    QTest::newRow("糖") << "糖" << QStringList{"tang"} << QStringList{"táng"};
    QTest::newRow("荔") << "荔" << QStringList{"li"} << QStringList{"lì"};
    QTest::newRow("梨") << "梨" << QStringList{"li"} << QStringList{"lí"};
    QTest::newRow("嗯: syllables without a vowel") << "嗯" << QStringList{"n", "ng"} << QStringList{"ń", "ň", "ńg"};
    QTest::newRow("果: the mark on o of uo") << "果" << QStringList{"guo"} << QStringList{"guǒ"};
    QTest::newRow("肉: on the o of ou") << "肉" << QStringList{"rou"} << QStringList{"ròu"};
    QTest::newRow("水: on the i of ui") << "水" << QStringList{"shui"} << QStringList{"shuǐ"};
}

void TestFoodSearch::readings()
{
    QFETCH(QString, character);
    QFETCH(QStringList, mustHave);
    QFETCH(QStringList, withTones);
    const PinyinTable table;
    const QStringList readings = table.readingTexts(character.toUcs4().front());
    for (const QString &reading : mustHave)
        QVERIFY2(readings.contains(reading), qPrintable(readings.join(u' ')));
    // In order: each syllable's tones follow their syllable, the usual one first.
    const QStringList marked = table.markedReadingTexts(character.toUcs4().front());
    qsizetype after = -1;
    for (const QString &reading : withTones) {
        const qsizetype at = marked.indexOf(reading);
        QVERIFY2(at > after, qPrintable(reading + u':' + marked.join(u' ')));
        after = at;
    }
    for (const QString &reading : readings)
        QVERIFY2(!reading.isEmpty() && reading == reading.toLower() && reading.toLatin1() == reading.toUtf8(),
                 qPrintable(reading));
    QVERIFY(table.readingTexts(U'a').isEmpty());
    QVERIFY(table.readingTexts(U'，').isEmpty());
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
    // Every reading of a character.
    QTest::newRow("薄 bo") << "bohe" << QStringList{"薄荷"};
    QTest::newRow("薄 bao") << "baohe" << QStringList{"薄荷"};
    QTest::newRow("长 chang") << "changshou" << QStringList{"长寿面"};
    QTest::newRow("长 zhang") << "zhangshou" << QStringList{"长寿面"};
    QTest::newRow("重 chong") << "chongqing" << QStringList{"重庆小面"};
    QTest::newRow("重 zhong") << "zhongqing" << QStringList{"重庆小面"};
    QTest::newRow("行 xing") << "xingjun" << QStringList{"行军饭"};
    QTest::newRow("行 hang") << "hangjun" << QStringList{"行军饭"};
    QTest::newRow("乐 le") << "kele" << QStringList{"可乐"};
    QTest::newRow("乐 yue") << "keyue" << QStringList{"可乐"};
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

// Everyday foods, among them the ones a rare reading or a syllable fragment used to put first.
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
    // Customary readings before rare ones (白 bó, 果 luǒ; 大 tài, 橙 dèng; 番 pān; 担 jiē).
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
    // Fuzzy sounds (s/sh, n/l, an/ang, c/ch), below every exact match.
    QTest::newRow("xihongsi") << "xihongsi" << "西红柿" << QStringList{};
    QTest::newRow("liunai") << "liunai" << "牛奶" << QStringList{};
    QTest::newRow("niulang (an/ang)") << "niunang" << "牛腩" << QStringList{};
    QTest::newRow("chandou (c/ch)") << "chandou" << "蚕豆" << QStringList{};
    QTest::newRow("si: 丝瓜 before 柿 by sh") << "si" << "丝瓜" << QStringList{};
    // One typo in four letters or more, when nothing else is found.
    // 鸡蛋羹 matches jidna only through a fuzzy sound of a rare reading (羹 láng as nang):
    // the typo comes first.
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

void TestFoodSearch::rareReadingIsNamed_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reading"); // empty: found through readings in common use

    QTest::newRow("白 bó") << "boguo" << "白果" << "bó guǒ";
    QTest::newRow("the last syllable cut short") << "bog" << "白果" << "bó guǒ";
    QTest::newRow("only the characters matched") << "bo" << "白果" << "bó";
    QTest::newRow("inside the name") << "bocai" << "圆白菜" << "bó cài";
    QTest::newRow("大 tài") << "taidou" << "大豆" << "tài dòu";
    QTest::newRow("果 luǒ after a common reading") << "pingluo" << "苹果" << "píng luǒ";
    QTest::newRow("typed tones") << "bo2guo3" << "白果" << "bó guǒ";
    QTest::newRow("a wrong tone: the reading as it is") << "bo4guo3" << "白果" << "bó guǒ";
    QTest::newRow("through another name") << "jidanluo" << "百香果" << "jī dàn luǒ";
    QTest::newRow("common readings: nothing to say") << "baiguo" << "白果" << "";
    QTest::newRow("initials of common readings") << "bg" << "白果" << "";
    QTest::newRow("typed as itself") << "白果" << "白果" << "";
}

// A food found only through a rare reading says which reading, with its tones; the foods a log
// entry is made from say it too.
void TestFoodSearch::rareReadingIsNamed()
{
    QFETCH(QString, query);
    QFETCH(QString, name);
    QFETCH(QString, reading);
    const FoodSearchIndex index(everydayFoods());
    const QVector<FoodSearchHit> hits = index.search(query);
    const auto hit = std::find_if(hits.begin(), hits.end(), [&](const FoodSearchHit &found) {
        return index.foods().at(found.food).name == name;
    });
    QVERIFY(hit != hits.end());
    QCOMPARE(hit->reading, reading);

    const QList<FoodChoice> choices = FoodChoices(everydayFoods()).match(query);
    const auto choice = std::find_if(choices.begin(), choices.end(), [&](const FoodChoice &found) {
        return found.name == name;
    });
    QVERIFY(choice != choices.end());
    QCOMPARE(choice->matchedReading, reading);
    QCOMPARE(choice->matchedAlias, hit->alias);
}

// A character's readings come in order of use: customary, other common, then rare ones.
// The fuzzy sounds can be turned off: then only what is spelled as read is found.
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

void TestFoodSearch::readingsInOrderOfUse()
{
    const PinyinTable table;
    const struct
    {
        char32_t character;
        const char *customary;
        const char *rare;
    } cases[] = {{U'白', "bai", "bo"}, {U'大', "da", "tai"}, {U'果', "guo", "luo"}, {U'担', "dan", "jie"}};
    for (const auto &c : cases) {
        const PinyinTable::Readings readings = table.readings(c.character);
        const QStringList texts = table.readingTexts(c.character);
        QCOMPARE(texts.first(), QString::fromLatin1(c.customary));
        const qsizetype rare = texts.indexOf(QString::fromLatin1(c.rare));
        QVERIFY2(rare >= readings.commonCount, qPrintable(texts.join(u' ')));
        QVERIFY(readings.commonCount >= 1);
    }
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
