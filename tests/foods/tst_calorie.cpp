// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DataError.h"
#include "foods/FoodCatalog.h"
#include "foods/FoodText.h"
#include "foods/ui/CalorieLookup.h"
#include "support/TempDatabase.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

const QString RootText = QStringLiteral("热量计算-食物分类");
const QVariant Null;

// The six node images: plain squares of different colours, so a test can tell
// which image a node shows.
const QList<QColor> ImageColours = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow};

QList<QIcon> nodeImages()
{
    QList<QIcon> images;
    for (const QColor &colour : ImageColours) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colour);
        images.append(QIcon(pixmap));
    }
    return images;
}

QColor colourOf(const QIcon &icon, QIcon::Mode mode)
{
    return icon.pixmap(16, 16, mode).toImage().pixelColor(8, 8);
}

// A node of the tree, reached through the tree's model, with what the tests
// ask of a node: its text, key, images, parent and children, and whether the
// tree shows it expanded or selected.
class Node
{
public:
    Node() = default;
    Node(QTreeView *tree, const QModelIndex &index) : m_tree(tree), m_index(index) {}

    explicit operator bool() const { return m_index.isValid(); }
    bool operator==(const Node &other) const { return m_index == other.m_index; }
    const QModelIndex &index() const { return m_index; }

    QString text() const { return m_index.data(Qt::DisplayRole).toString(); }
    QString key() const { return m_index.data(Qt::UserRole).toString(); }
    QIcon icon() const { return m_index.data(Qt::DecorationRole).value<QIcon>(); }
    Node parent() const { return Node(m_tree, m_index.parent()); }
    int childCount() const { return m_tree->model()->rowCount(m_index); }
    Node child(int row) const { return Node(m_tree, m_tree->model()->index(row, 0, m_index)); }
    bool isExpanded() const { return m_tree->isExpanded(m_index); }
    bool isSelected() const { return m_tree->selectionModel()->isSelected(m_index); }

private:
    QTreeView *m_tree = nullptr;
    QModelIndex m_index;
};

QString keyOf(const Node &node)
{
    return node.key();
}

// The calorie panel's controls in a window of their own, wired as the main
// window wires them.
class FoodPanel
{
public:
    explicit FoodPanel(const QString &databasePath)
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *widget : {static_cast<QWidget *>(categoryList), static_cast<QWidget *>(foodTree),
                                static_cast<QWidget *>(titleView), static_cast<QWidget *>(foodNameBox),
                                static_cast<QWidget *>(kcalFigure)})
            layout->addWidget(widget);
        categoryList->setObjectName("categoryList");
        foodTree->setObjectName("foodTree");
        foodTree->setHeaderHidden(true);
        titleView->setObjectName("titleView");
        foodNameBox->setObjectName("foodNameBox");
        kcalFigure->setObjectName("kcalFigure");
        window.resize(300, 500);

        CalorieLookupControls controls;
        controls.categoryList = categoryList;
        controls.foodTree = foodTree;
        controls.treeIcons = nodeImages();
        controls.titleView = titleView;
        controls.foodNameBox = foodNameBox;
        controls.kcalFigure = kcalFigure;
        // The recipe wires the tree's clicks and keyboard moves itself, as in the window.
        recipe = std::make_unique<CalorieLookup>(databasePath, controls);
    }

    int topLevelCount() const { return foodTree->model() ? foodTree->model()->rowCount() : 0; }
    Node root() const { return Node(foodTree, foodTree->model()->index(0, 0)); }
    Node current() const { return Node(foodTree, foodTree->currentIndex()); }

    Node category(const QString &name) const
    {
        for (int i = 0; i < root().childCount(); ++i) {
            if (root().child(i).text() == name)
                return root().child(i);
        }
        return {};
    }

    // The n-th node (counted from 0) with this text under the category.
    Node food(const QString &categoryName, const QString &name, int n = 0) const
    {
        const Node parent = category(categoryName);
        for (int i = 0; parent && i < parent.childCount(); ++i) {
            if (parent.child(i).text() == name && n-- == 0)
                return parent.child(i);
        }
        return {};
    }

    // "category{food,food}|category{}" for the root's children.
    QString shape() const
    {
        QStringList categories;
        for (int i = 0; i < root().childCount(); ++i) {
            const Node category = root().child(i);
            QStringList foods;
            for (int j = 0; j < category.childCount(); ++j)
                foods.append(category.child(j).text());
            categories.append(category.text() + '{' + foods.join(',') + '}');
        }
        return categories.join('|');
    }

    QWidget window;
    QListWidget *categoryList = new QListWidget;
    QTreeView *foodTree = new QTreeView;
    QLineEdit *titleView = new QLineEdit;
    QLineEdit *foodNameBox = new QLineEdit;
    QLabel *kcalFigure = new QLabel;
    std::unique_ptr<CalorieLookup> recipe;
};

using FoodRows = QList<QVariantList>;

// Fills the category table "02" with `categories` and the food table "01" with
// `foods` (each row: category, food, kcal; every portion "100克"), in order.
void addFoods(const TempDatabase &db, const QVariantList &categories, const FoodRows &foods)
{
    FoodRows categoryRows;
    for (const QVariant &category : categories)
        categoryRows.append({category});
    db.insertRows(QStringLiteral("02"), {QStringLiteral("category")}, categoryRows);

    FoodRows foodRows;
    for (const QVariantList &food : foods)
        foodRows.append({food.value(0), food.value(1), QStringLiteral("100克"), food.value(2)});
    db.insertRows(QStringLiteral("01"),
                  {QStringLiteral("category"), QStringLiteral("food"), QStringLiteral("portion"),
                   QStringLiteral("kcal")},
                  foodRows);
}

} // namespace

class TestCalorie : public QObject
{
    Q_OBJECT

private slots:
    void trimming_data();
    void trimming();

    void treeShape_data();
    void treeShape();
    void treeWithoutFoodTable();
    void treeState();
    void buildFailures_data();
    void buildFailures();
    void moreThan32767Foods();
    void foodsStayAsFirstRead_data();
    void foodsStayAsFirstRead();

    void foodClick_data();
    void foodClick();
    void clickReadsTheCurrentFile_data();
    void clickReadsTheCurrentFile();
    void clickWithoutFileChangesNothing();
    void keyboardAndMouse();
    void oneLookUpPerAction();
    void revealFood_data();
    void revealFood();
    void names_data();
    void names();
    void hugeNameIsShortenedAndStillFound();
};

void TestCalorie::trimming_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("spaces") << "  白菜 " << "白菜";
    QTest::newRow("ideographic spaces") << "\u3000白菜\u3000\u3000" << "白菜";
    QTest::newRow("mixed, inner kept") << " \u3000白 菜\u3000 " << "白 菜";
    QTest::newRow("only blanks") << " \u3000 " << "";
    QTest::newRow("tabs and newlines are not blanks") << "\t白菜\n" << "\t白菜\n";
    QTest::newRow("no-break space is not a blank") << "\u00a0白菜" << "\u00a0白菜";
}

void TestCalorie::trimming()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(FoodText::trimmed(text), trimmed);
}

void TestCalorie::treeShape_data()
{
    QTest::addColumn<QVariantList>("categories");
    QTest::addColumn<FoodRows>("foods");
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("list1");

    QTest::newRow("empty category table")
        << QVariantList{} << FoodRows{{"蔬菜", "白菜", 17}} << "" << QStringList{};
    QTest::newRow("empty food table")
        << QVariantList{"蔬菜", "水果"} << FoodRows{} << "蔬菜{}|水果{}"
        << QStringList{"蔬菜", "水果"};
    QTest::newRow("category without foods, table order of categories")
        << QVariantList{"水果", "蔬菜", "蛋类"} << FoodRows{{"蔬菜", "白菜", 17}, {"水果", "苹果", 53}}
        << "水果{苹果}|蔬菜{白菜}|蛋类{}" << QStringList{"水果", "蔬菜", "蛋类"};
    QTest::newRow("category named twice: one node, each food once")
        << QVariantList{"蔬菜", "水果", "蔬菜"} << FoodRows{{"蔬菜", "白菜", 17}, {"蔬菜", "菠菜", 28}}
        << "蔬菜{白菜,菠菜}|水果{}" << QStringList{"蔬菜", "水果", "蔬菜"};
    QTest::newRow("names differing by spaces match")
        << QVariantList{"\u3000蔬菜 "}
        << FoodRows{{" 蔬菜\u3000", " 白菜\u3000", 17}, {"蔬菜", "\u3000菠菜", 28}}
        << "蔬菜{白菜,菠菜}" << QStringList{"蔬菜"};
    QTest::newRow("names differing by letter case do not match")
        << QVariantList{"Fruit"} << FoodRows{{"fruit", "apple", 52}, {"Fruit", "Kiwi", 61}}
        << "Fruit{Kiwi}" << QStringList{"Fruit"};
    QTest::newRow("food with a null or unknown category, or a null name")
        << QVariantList{"蔬菜"}
        << FoodRows{{Null, "白菜", 17}, {"肉类", "猪肉", 395}, {"蔬菜", Null, 10}, {"蔬菜", "菠菜", 28}}
        << "蔬菜{菠菜}" << QStringList{"蔬菜"};
    QTest::newRow("pinyin order")
        << QVariantList{"蔬菜"}
        << FoodRows{{"蔬菜", "豆腐", 81}, {"蔬菜", "茶", 1}, {"蔬菜", "菠菜", 28}, {"蔬菜", "白菜", 17},
                    {"蔬菜", "芹菜", 14}, {"蔬菜", "阿胶", 311}, {"蔬菜", "藕", 73}}
        << "蔬菜{阿胶,白菜,菠菜,茶,豆腐,藕,芹菜}" << QStringList{"蔬菜"};
    {
        // Large groups are sorted another way than small ones; the order must not differ.
        FoodRows foods{{"蔬菜", "豆腐", 81}, {"蔬菜", "茶", 1}, {"蔬菜", "菠菜", 28}, {"蔬菜", "白菜", 17}};
        QStringList numbered;
        for (int i = 300; i >= 1; --i)
            foods.append({"蔬菜", QStringLiteral("菜%1号").arg(i), i});
        for (int i = 1; i <= 300; ++i)
            numbered.append(QStringLiteral("菜%1号").arg(i));
        foods.append({{"蔬菜", "芹菜", 14}, {"蔬菜", "阿胶", 311}, {"蔬菜", "藕", 73}});
        QTest::newRow("pinyin and natural order in a large category")
            << QVariantList{"蔬菜"} << foods
            << "蔬菜{阿胶,白菜,菠菜," + numbered.join(',') + ",茶,豆腐,藕,芹菜}" << QStringList{"蔬菜"};
    }
    QTest::newRow("numbers in natural order")
        << QVariantList{"快餐"}
        << FoodRows{{"快餐", "套餐10号", 700}, {"快餐", "套餐2号", 500}, {"快餐", "套餐1号", 400}}
        << "快餐{套餐1号,套餐2号,套餐10号}" << QStringList{"快餐"};
    QTest::newRow("same name twice in a category: both rows listed")
        << QVariantList{"水果"} << FoodRows{{"水果", "苹果", 53}, {"水果", "苹果", 99}}
        << "水果{苹果,苹果}" << QStringList{"水果"};
    QTest::newRow("null category row left out")
        << QVariantList{"蔬菜", Null, "水果"} << FoodRows{{"水果", "苹果", 53}}
        << "蔬菜{}|水果{苹果}" << QStringList{"蔬菜", "水果"};
    QTest::newRow("blank category left out, its foods too")
        << QVariantList{"蔬菜", " \u3000", ""} << FoodRows{{"", "白菜", 17}, {" ", "苹果", 53}}
        << "蔬菜{}" << QStringList{"蔬菜", "", ""};
    QTest::newRow("category named like the root's key is an ordinary category")
        << QVariantList{"AB", "水果"} << FoodRows{{"AB", "苹果", 53}}
        << "AB{苹果}|水果{}" << QStringList{"AB", "水果"};
    QTest::newRow("food named like its category")
        << QVariantList{"豆腐"} << FoodRows{{"豆腐", "豆腐", 81}}
        << "豆腐{豆腐}" << QStringList{"豆腐"};
}

void TestCalorie::treeShape()
{
    QFETCH(QVariantList, categories);
    QFETCH(FoodRows, foods);
    QFETCH(QString, shape);
    QFETCH(QStringList, list1);

    TempDatabase db;
    addFoods(db, categories, foods);
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();

    QCOMPARE(panel.topLevelCount(), 1);
    const Node root = panel.root();
    QCOMPARE(root.text(), RootText);
    QCOMPARE(keyOf(root), QStringLiteral("AB"));
    QCOMPARE(panel.shape(), shape);

    QStringList listed;
    for (int i = 0; i < panel.categoryList->count(); ++i)
        listed.append(panel.categoryList->item(i)->text());
    QCOMPARE(listed, list1);

    // Node kinds and images, which the click handler and the eye rely on.
    QCOMPARE(colourOf(root.icon(), QIcon::Normal), ImageColours[0]);
    for (int i = 0; i < root.childCount(); ++i) {
        const Node category = root.child(i);
        QCOMPARE(keyOf(category), category.text());
        QCOMPARE(colourOf(category.icon(), QIcon::Normal), ImageColours[1]);
        QCOMPARE(colourOf(category.icon(), QIcon::Selected), ImageColours[2]);
        for (int j = 0; j < category.childCount(); ++j) {
            const Node food = category.child(j);
            QVERIFY(keyOf(food).isEmpty());
            QCOMPARE(food.childCount(), 0);
            QCOMPARE(colourOf(food.icon(), QIcon::Normal), ImageColours[3]);
            QCOMPARE(colourOf(food.icon(), QIcon::Selected), ImageColours[4]);
        }
    }
}

void TestCalorie::treeWithoutFoodTable()
{
    // Without a food table the categories must not be walked as if they were
    // foods: they stay, without children.
    TempDatabase db;
    addFoods(db, {"蔬菜", "水果"}, {{"蔬菜", "白菜", 17}});
    db.exec("DROP TABLE \"01\"");
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    QCOMPARE(panel.shape(), QStringLiteral("蔬菜{}|水果{}"));
}

void TestCalorie::treeState()
{
    TempDatabase db;
    addFoods(db, {"蔬菜", "水果", "蛋类"},
             {{"蛋类", "鸡蛋", 144}, {"蔬菜", "白菜", 17}, {"水果", "苹果", 53}, {"蛋类", "鸭蛋", 180}});
    FoodPanel panel(db.path());
    panel.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel.window));
    panel.foodTree->setFocus();
    panel.foodNameBox->setText("before");
    panel.kcalFigure->setText("999");

    panel.recipe->buildFoodTree();

    // Root open, every category closed, the root current and selected, the
    // focus in the title box, and the panel untouched.
    const Node root = panel.root();
    QVERIFY(root.isExpanded());
    for (int i = 0; i < root.childCount(); ++i)
        QVERIFY2(!root.child(i).isExpanded(), qPrintable(root.child(i).text()));
    QCOMPARE(panel.current(), root);
    QVERIFY(root.isSelected());
    QCOMPARE(panel.foodTree->selectionModel()->selectedIndexes().size(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), panel.titleView);
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("before"));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("999"));
    QVERIFY(panel.foodTree->updatesEnabled());

    // A second build gives the same tree, not a second copy.
    panel.recipe->buildFoodTree();
    QCOMPARE(panel.topLevelCount(), 1);
    QCOMPARE(panel.shape(), QStringLiteral("蔬菜{白菜}|水果{苹果}|蛋类{鸡蛋,鸭蛋}"));
    QCOMPARE(panel.categoryList->count(), 3);
}

void TestCalorie::buildFailures_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("no file") << "remove file";
    QTest::newRow("not a database") << "garbage";
    QTest::newRow("no category table") << "DROP TABLE \"02\"";
}

void TestCalorie::buildFailures()
{
    QFETCH(QString, damage);
    TempDatabase db;
    addFoods(db, {"蔬菜"}, {});
    if (damage == "remove file" || damage == "garbage") {
        QVERIFY(QFile::remove(db.path()));
        if (damage == "garbage")
            db.writeFile(QFileInfo(db.path()).fileName(), QByteArray(4096, 'x'));
    } else {
        db.exec(damage);
    }
    FoodPanel panel(db.path());
    QVERIFY_THROWS_EXCEPTION(DataError, panel.recipe->buildFoodTree());
    QVERIFY(panel.foodTree->updatesEnabled());
    if (damage == "remove file")
        QVERIFY(!QFile::exists(db.path()));
}

void TestCalorie::moreThan32767Foods()
{
    // Counts are not 16-bit: every row is listed and the last one is found.
    const int foodCount = 33000;
    FoodRows rows;
    for (int i = 1; i <= foodCount; ++i)
        rows.append({"蔬菜", QStringLiteral("菜%1号").arg(i), i % 900});
    rows.append({"谷薯", "米饭", 116});
    TempDatabase db;
    addFoods(db, {"谷薯", "蔬菜"}, rows);
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();

    const Node vegetables = panel.category("蔬菜");
    QCOMPARE(vegetables.childCount(), foodCount);
    QCOMPARE(vegetables.child(0).text(), QStringLiteral("菜1号"));
    QCOMPARE(vegetables.child(foodCount - 1).text(), QStringLiteral("菜%1号").arg(foodCount));
    panel.recipe->onTreeNodeClicked(vegetables.child(foodCount - 1).index());
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("菜%1号").arg(foodCount));
    QCOMPARE(panel.kcalFigure->text(), QString::number(foodCount % 900));
    panel.recipe->onTreeNodeClicked(panel.food("谷薯", "米饭").index());
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("116"));
}

// One table of foods for the click cases.
static void addClickFixture(const TempDatabase &db)
{
    addFoods(db, {"蔬菜", "谷薯", "水果", "零食"}, {
        {"蔬菜", "土豆", 81},
        {"谷薯", "土豆", 77},
        {"水果", "苹果", 53},
        {"水果", "苹果", 99},
        {" 蔬菜\u3000", "西红柿", 15},
        {"零食", "薯片", Null},
        {"零食", "  ", 100},
        {"谷薯", "米饭", "116"},
        {"谷薯", "馒头", 223.0},
        {"水果", "香蕉", 93.5},
        {"水果", "桃", 49.3},
        {"零食", "饼干", " 433 "},
    });
}

void TestCalorie::foodClick_data()
{
    QTest::addColumn<QString>("category"); // empty: the root
    QTest::addColumn<QString>("food");     // null: the category node itself
    QTest::addColumn<int>("copy");         // which node of that name
    QTest::addColumn<QString>("text3");
    QTest::addColumn<QString>("label3");

    const QString before = "before";
    const QString beforeKcal = "999";
    const QString categoryNode;
    QTest::newRow("root") << "" << categoryNode << 0 << before << beforeKcal;
    QTest::newRow("category") << "蔬菜" << categoryNode << 0 << before << beforeKcal;
    QTest::newRow("food under two categories, first") << "蔬菜" << "土豆" << 0 << "土豆" << "81";
    QTest::newRow("food under two categories, second") << "谷薯" << "土豆" << 0 << "土豆" << "77";
    QTest::newRow("same row twice, first node") << "水果" << "苹果" << 0 << "苹果" << "53";
    QTest::newRow("same row twice, second node") << "水果" << "苹果" << 1 << "苹果" << "53";
    QTest::newRow("stored category with blanks") << "蔬菜" << "西红柿" << 0 << "西红柿" << "15";
    QTest::newRow("null calories: empty text") << "零食" << "薯片" << 0 << "薯片" << "";
    QTest::newRow("empty food name: like a category") << "零食" << "" << 0 << before << beforeKcal;
    QTest::newRow("calories stored as text") << "谷薯" << "米饭" << 0 << "米饭" << "116";
    QTest::newRow("whole number stored as real") << "谷薯" << "馒头" << 0 << "馒头" << "223";
    QTest::newRow("real number") << "水果" << "桃" << 0 << "桃" << "49.3";
    QTest::newRow("real number with a half") << "水果" << "香蕉" << 0 << "香蕉" << "93.5";
    QTest::newRow("calories text trimmed") << "零食" << "饼干" << 0 << "饼干" << "433";
}

void TestCalorie::foodClick()
{
    QFETCH(QString, category);
    QFETCH(QString, food);
    QFETCH(int, copy);
    QFETCH(QString, text3);
    QFETCH(QString, label3);
    const QString before = "before";

    TempDatabase db;
    addClickFixture(db);
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    panel.foodNameBox->setText("before");
    panel.kcalFigure->setText("999");

    const Node node = category.isEmpty() ? panel.root()
                      : food.isNull()    ? panel.category(category)
                                         : panel.food(category, food, copy);
    QVERIFY(node);
    panel.recipe->onTreeNodeClicked(node.index());
    QCOMPARE(panel.foodNameBox->text(), text3);
    QCOMPARE(panel.kcalFigure->text(), label3);
    const bool shown = text3 != before;
    QCOMPARE(panel.recipe->lastFood(), shown ? food : QString());
    QCOMPARE(panel.recipe->lastCategory(), shown ? category : QString());

    // Clicking again shows the same.
    panel.recipe->onTreeNodeClicked(node.index());
    QCOMPARE(panel.foodNameBox->text(), text3);
    QCOMPARE(panel.kcalFigure->text(), label3);
}

void TestCalorie::clickReadsTheCurrentFile_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("food");
    QTest::addColumn<QString>("text3");
    QTest::addColumn<QString>("label3");

    QTest::newRow("row removed")
        << "DELETE FROM \"01\" WHERE food = '白菜'" << "白菜" << "before" << "999";
    QTest::newRow("first of two rows removed: the other is shown")
        << "DELETE FROM \"01\" WHERE id = 2" << "苹果" << "苹果" << "99";
    QTest::newRow("calories changed")
        << "UPDATE \"01\" SET kcal = 20 WHERE food = '白菜'" << "白菜" << "白菜" << "20";
    QTest::newRow("row renamed: not found")
        << "UPDATE \"01\" SET food = '大白菜' WHERE food = '白菜'" << "白菜" << "before" << "999";
    QTest::newRow("row renamed, a later row matches")
        << "UPDATE \"01\" SET food = '青苹果' WHERE id = 2" << "苹果" << "苹果" << "99";
    QTest::newRow("calories removed")
        << "UPDATE \"01\" SET kcal = NULL WHERE food = '白菜'" << "白菜" << "白菜" << "";
    QTest::newRow("food table emptied")
        << "DELETE FROM \"01\"" << "白菜" << "before" << "999";
    QTest::newRow("food table dropped")
        << "DROP TABLE \"01\"" << "白菜" << "before" << "999";
}

void TestCalorie::clickReadsTheCurrentFile()
{
    QFETCH(QString, change);
    QFETCH(QString, food);
    QFETCH(QString, text3);
    QFETCH(QString, label3);

    TempDatabase db;
    addFoods(db, {"蔬菜"}, {{"蔬菜", "白菜", 17}, {"蔬菜", "苹果", 53}, {"蔬菜", "苹果", 99}});
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    const Node node = panel.food("蔬菜", food);
    QVERIFY(node);
    db.exec(change);
    panel.foodNameBox->setText("before");
    panel.kcalFigure->setText("999");

    panel.recipe->onTreeNodeClicked(node.index());
    QCOMPARE(panel.foodNameBox->text(), text3);
    QCOMPARE(panel.kcalFigure->text(), label3);
}

void TestCalorie::clickWithoutFileChangesNothing()
{
    TempDatabase db;
    addFoods(db, {"蔬菜"}, {{"蔬菜", "白菜", 17}});
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    const Node cabbage = panel.food("蔬菜", "白菜");
    QVERIFY(cabbage);
    QVERIFY(QFile::remove(db.path()));
    panel.foodNameBox->setText("before");
    panel.kcalFigure->setText("999");

    panel.recipe->onTreeNodeClicked(cabbage.index());
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("before"));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("999"));
    QVERIFY(!QFile::exists(db.path()));
    // Direct calls with names the tree does not have find nothing either.
    panel.recipe->showFoodInfo("蔬菜", "菠菜");
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("before"));
}

void TestCalorie::keyboardAndMouse()
{
    TempDatabase db;
    addFoods(db, {"蔬菜", "水果"}, {{"蔬菜", "菠菜", 28}, {"蔬菜", "白菜", 17}, {"水果", "苹果", 53}});
    FoodPanel panel(db.path());
    panel.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel.window));
    panel.recipe->buildFoodTree();
    panel.foodTree->setFocus();
    QTRY_VERIFY(panel.foodTree->hasFocus());

    // Root -> 蔬菜 (a category: nothing shown) -> expand -> 白菜 -> 菠菜.
    QTest::keyClick(panel.foodTree, Qt::Key_Down);
    QCOMPARE(panel.current(), panel.category("蔬菜"));
    QVERIFY(panel.foodNameBox->text().isEmpty());
    QTest::keyClick(panel.foodTree, Qt::Key_Right);
    QTest::keyClick(panel.foodTree, Qt::Key_Down);
    QCOMPARE(panel.current().text(), QStringLiteral("白菜"));
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("白菜"));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("17"));
    QTest::keyClick(panel.foodTree, Qt::Key_Down);
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("菠菜"));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("28"));

    // A mouse click on a food shows it too.
    panel.foodTree->expand(panel.category("水果").index());
    const Node apple = panel.food("水果", "苹果");
    panel.foodTree->scrollTo(apple.index());
    const QRect rect = panel.foodTree->visualRect(apple.index());
    QVERIFY(!rect.isEmpty());
    QTest::mouseClick(panel.foodTree->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(panel.foodNameBox->text(), QStringLiteral("苹果"));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("53"));
}

void TestCalorie::foodsStayAsFirstRead_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("rows removed") << "DELETE FROM \"01\"";
    QTest::newRow("row added") << "INSERT INTO \"01\" (category, food) VALUES ('蔬菜', '芹菜')";
    QTest::newRow("row renamed") << "UPDATE \"01\" SET food = '大白菜' WHERE food = '白菜'";
    QTest::newRow("food table dropped") << "DROP TABLE \"01\"";
}

void TestCalorie::foodsStayAsFirstRead()
{
    // The foods are read when the tree first needs them; from then on the tree
    // is not rebuilt, whatever another program changes in the file.
    QFETCH(QString, change);
    FoodRows rows;
    for (int i = 1; i <= 5000; ++i)
        rows.append({"水果", QStringLiteral("果%1号").arg(i), i % 90});
    rows.append({{"蔬菜", "白菜", 17}, {"蔬菜", "菠菜", 28}});
    TempDatabase db;
    addFoods(db, {"蔬菜", "水果"}, rows);
    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    QCOMPARE(panel.category("蔬菜").childCount(), 2);
    db.exec(change);

    QCOMPARE(panel.category("蔬菜").childCount(), 2);
    QCOMPARE(panel.category("水果").childCount(), 5000);
    QVERIFY(panel.food("蔬菜", "白菜"));
    QVERIFY(panel.food("水果", "果5000号"));
}

void TestCalorie::oneLookUpPerAction()
{
    TempDatabase db;
    addFoods(db, {"蔬菜", "水果"}, {{"蔬菜", "菠菜", 28}, {"蔬菜", "白菜", 17}, {"水果", "苹果", 53}});
    FoodPanel panel(db.path());
    panel.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&panel.window));
    panel.recipe->buildFoodTree();
    panel.foodTree->expand(panel.category("蔬菜").index());
    QSignalSpy lookUps(panel.recipe.get(), &CalorieLookup::foodLookedUp);
    const auto click = [&](const Node &node) {
        const QRect rect = panel.foodTree->visualRect(node.index());
        QVERIFY(!rect.isEmpty());
        QTest::mouseClick(panel.foodTree->viewport(), Qt::LeftButton, {}, rect.center());
    };

    // A click on a food that was not current: one lookup.
    click(panel.food("蔬菜", "菠菜"));
    QCOMPARE(lookUps.size(), 1);
    QCOMPARE(lookUps.last(), (QVariantList{"蔬菜", "菠菜"}));
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("28"));
    // The same food again: looked up again, once.
    click(panel.food("蔬菜", "菠菜"));
    QCOMPARE(lookUps.size(), 2);
    // A key that moves to another food: one lookup.
    panel.foodTree->setFocus();
    QTest::keyClick(panel.foodTree, Qt::Key_Up);
    QCOMPARE(panel.current().text(), QStringLiteral("白菜"));
    QCOMPARE(lookUps.size(), 3);
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("17"));
    // Then a click on that food, current already: one lookup.
    click(panel.food("蔬菜", "白菜"));
    QCOMPARE(lookUps.size(), 4);
    // Categories and the root look nothing up.
    click(panel.category("蔬菜"));
    click(panel.root());
    QCOMPARE(lookUps.size(), 4);
}

void TestCalorie::revealFood_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<qint64>("rowId");
    QTest::addColumn<QString>("text3");  // empty: nothing shown
    QTest::addColumn<QString>("label3");
    QTest::addColumn<int>("copy");       // which node of that name is selected

    // Row ids follow the fixture's table order, from 1.
    QTest::newRow("food in a closed category") << "零食" << qint64(12) << "饼干" << "433" << 0;
    QTest::newRow("category given with blanks") << " 零食\u3000" << qint64(12) << "饼干" << "433" << 0;
    QTest::newRow("same food under another category") << "谷薯" << qint64(2) << "土豆" << "77" << 0;
    QTest::newRow("second copy of a name: that node, the first row's figure")
        << "水果" << qint64(4) << "苹果" << "53" << 1;
    QTest::newRow("row filed under another category") << "水果" << qint64(12) << "" << "" << 0;
    QTest::newRow("unknown row") << "零食" << qint64(999) << "" << "" << 0;
    QTest::newRow("unknown category") << "饮料" << qint64(12) << "" << "" << 0;
}

void TestCalorie::revealFood()
{
    QFETCH(QString, category);
    QFETCH(qint64, rowId);
    QFETCH(QString, text3);
    QFETCH(QString, label3);
    QFETCH(int, copy);

    TempDatabase db;
    addClickFixture(db);
    FoodPanel panel(db.path());
    panel.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel.window));
    panel.recipe->buildFoodTree();
    panel.foodNameBox->setText("before");
    panel.kcalFigure->setText("999");
    QSignalSpy lookUps(panel.recipe.get(), &CalorieLookup::foodLookedUp);

    panel.recipe->revealFood(category, rowId);
    if (text3.isEmpty()) {
        QCOMPARE(panel.current(), panel.root());
        QCOMPARE(panel.foodNameBox->text(), QStringLiteral("before"));
        QCOMPARE(panel.kcalFigure->text(), QStringLiteral("999"));
        QCOMPARE(lookUps.size(), 0);
        return;
    }
    const Node food = panel.food(FoodText::trimmed(category), text3, copy);
    QVERIFY(food);
    QCOMPARE(panel.current(), food);
    QVERIFY(food.isSelected());
    QVERIFY(food.parent().isExpanded());
    QVERIFY(panel.foodTree->viewport()->rect().contains(panel.foodTree->visualRect(food.index())));
    QCOMPARE(panel.foodNameBox->text(), text3);
    QCOMPARE(panel.kcalFigure->text(), label3);
    QCOMPARE(panel.recipe->lastFood(), text3);
    QCOMPARE(lookUps.size(), 1);

    // Shown again while current, as a second click on it would: one more lookup.
    panel.kcalFigure->setText("999");
    panel.recipe->revealFood(category, rowId);
    QCOMPARE(panel.kcalFigure->text(), label3);
    QCOMPARE(lookUps.size(), 2);
}

void TestCalorie::names_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    const QString hundred = QString(100, QChar(0x85AF));
    QTest::newRow("short, trimmed") << "\u3000白菜 " << "白菜";
    QTest::newRow("exactly the longest") << hundred << hundred;
    QTest::newRow("one more: cut, with …") << hundred + QStringLiteral("片")
                                            << QString(99, QChar(0x85AF)) + QStringLiteral("…");
    QTest::newRow("blanks do not count") << QStringLiteral("  ") + hundred + QStringLiteral("\u3000") << hundred;
    // An emoji across the cut is dropped whole, never halved.
    QTest::newRow("no half character") << QString(98, QLatin1Char('a')) + QStringLiteral("🍎🍎🍎")
                                       << QString(98, QLatin1Char('a')) + QStringLiteral("…");
}

void TestCalorie::names()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QCOMPARE(FoodText::name(text), name);
    QVERIFY(FoodText::name(text).size() <= FoodText::MaxNameLength);
}

// A hand-made file with a name of a megabyte: the tree, the panel and the search show it cut
// to the longest name, and clicking it still finds its row.
void TestCalorie::hugeNameIsShortenedAndStillFound()
{
    TempDatabase db;
    const QString huge = QString(1024 * 1024, QChar(0x85AF));
    addFoods(db, {"零食"}, {{"零食", huge, 500}, {"零食", "饼干", 433}});
    db.insertRows(QStringLiteral("food_alias"),
                  {QStringLiteral("category"), QStringLiteral("food"), QStringLiteral("alias")},
                  {{QStringLiteral("零食"), huge, QStringLiteral("别名") + huge}});
    const QString shown = FoodText::name(huge);
    QCOMPARE(shown.size(), FoodText::MaxNameLength);

    FoodPanel panel(db.path());
    panel.recipe->buildFoodTree();
    const Node node = panel.food("零食", shown);
    QVERIFY(node);
    panel.recipe->onTreeNodeClicked(node.index());
    QCOMPARE(panel.foodNameBox->text(), shown);
    QCOMPARE(panel.kcalFigure->text(), QStringLiteral("500"));

    const QVector<SearchableFood> foods = FoodCatalog::read(db.path());
    QCOMPARE(foods.size(), 2);
    QCOMPARE(foods.first().name, shown);
    QCOMPARE(foods.first().aliases, QStringList{FoodText::name(QStringLiteral("别名") + huge)});
}

QTEST_MAIN(TestCalorie)
#include "tst_calorie.moc"
