// SPDX-License-Identifier: GPL-3.0-or-later
// The notebook against real widgets and a database file made for each case.
// Message boxes are recorded and answered instead of shown.

#include "db/Database.h"
#include "db/Recordset.h"
#include "notebook/ui/NotebookController.h"
#include "widgets/LongLines.h"
#include "support/TempDatabase.h"
#include "widgets/MessageBox.h"
#include "widgets/UrlOpener.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

// sp has three records, yd one, xd two, rj two.
const QByteArray RecordsSql = R"(
INSERT INTO sp(Name, demo) VALUES ('燕麦早餐', '燕麦加牛奶'), ('午餐沙拉', '生菜和番茄'), ('冬瓜汤', '少油少盐');
INSERT INTO yd(Name, demo) VALUES ('慢跑', '每天三十分钟');
INSERT INTO xd(Name, demo) VALUES ('坚持', '每天记录'), ('早睡', '十一点前睡');
INSERT INTO rj(time, Name, demo) VALUES ('2026-01-02 07:30', '第一天', '体重七十公斤'),
                                        ('2026-01-03 07:30', '第二天', '六十九点五');
)";

const QString BoxTitle = QStringLiteral("：：Pellomir：：");
const QString AppTitle = QStringLiteral("Pellomir");
const QString HintSp = QStringLiteral("瘦身食谱还空着呢，请点击标志来增加！");
const QString HintYd = QStringLiteral("有氧运动还空着呢，请点击标志来增加！");

// The window's controls as plain widgets, in the state the window's load step
// leaves them (inputs still holding the texts they start with).
struct Window
{
    QWidget jf;
    QLabel *previousButton = make<QLabel>("previousButton");
    QLabel *nextButton = make<QLabel>("nextButton");
    QLabel *newButton = make<QLabel>("newButton");
    QLabel *deleteButton = make<QLabel>("deleteButton");
    QLabel *saveButton = make<QLabel>("saveButton");
    QLabel *welcomePicture = make<QLabel>("welcomePicture");
    QFrame *caloriePanel = make<QFrame>("caloriePanel");
    QLineEdit *titleView = make<QLineEdit>("titleView");
    QTextEdit *bodyView = make<QTextEdit>("bodyView");
    QLineEdit *titleEdit = make<QLineEdit>("titleEdit");
    QPlainTextEdit *bodyEdit = make<QPlainTextEdit>("bodyEdit");

    Window()
    {
        titleEdit->setText(QStringLiteral("在此输入标题"));
        bodyEdit->setPlainText(QStringLiteral("在此输入内容"));
        for (QWidget *w : std::initializer_list<QWidget *>{previousButton, nextButton, newButton, deleteButton, saveButton, titleEdit, bodyEdit, caloriePanel})
            w->hide();
        jf.show();
    }

    template <typename W>
    W *make(const char *name)
    {
        auto *widget = new W(&jf);
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }

    NotebookControls controls()
    {
        return {&jf, previousButton, nextButton, newButton, deleteButton, saveButton, {welcomePicture, caloriePanel}, titleView, bodyView, titleEdit, bodyEdit};
    }

    // The controls on show, in a fixed order.
    QString shown() const
    {
        QStringList names;
        for (const QWidget *w : std::initializer_list<const QWidget *>{
                 previousButton, nextButton, newButton, deleteButton, saveButton, welcomePicture, caloriePanel, titleView, bodyView, titleEdit, bodyEdit})
            if (!w->isHidden())
                names << w->objectName();
        return names.join(QLatin1Char(' '));
    }

    QString texts() const { return titleView->text() + QLatin1Char('/') + bodyView->toPlainText(); }
};

const QString BrowseView = QStringLiteral("previousButton nextButton newButton deleteButton titleView bodyView");
const QString EntryView = QStringLiteral("previousButton nextButton newButton saveButton titleEdit bodyEdit");

// A database file with the program's tables, a window and a notebook on them.
class Fixture
{
public:
    // `sql` fills (or reshapes) the file before the program opens it.
    explicit Fixture(const QByteArray &sql = RecordsSql)
    {
        file.exec(QString::fromUtf8(sql));
        db = openDatabase(file.path());
        notebook = std::make_unique<NotebookController>(*db, window.controls());
    }

    // Starts the notebook afresh on the file made one the program may read
    // but not write.
    void reopenReadOnly()
    {
        notebook.reset();
        db.reset();
        const bool fileProtected = file.makeReadOnly();
        db = openDatabase(file.path());
        if (!fileProtected)
            TempDatabase::refuseWrites(db->handle());
        notebook = std::make_unique<NotebookController>(*db, window.controls());
    }

    // Every row of a notebook table as "Name|demo", read through a connection
    // of its own.
    QStringList rows(const char *table) const
    {
        QStringList result;
        const QString sql = QStringLiteral("SELECT Name, demo FROM %1 ORDER BY id").arg(QLatin1String(table));
        for (const QVariantList &row : file.queryRows(sql))
            result << textOf(row.value(0)) + QLatin1Char('|') + textOf(row.value(1));
        return result;
    }

    void click(const QString &buttons)
    {
        const QStringList names = buttons.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &name : names) {
            if (name == QLatin1String("previousButton")) notebook->onPreviousClicked();
            else if (name == QLatin1String("nextButton")) notebook->onNextClicked();
            else if (name == QLatin1String("newButton")) notebook->onNewClicked();
            else if (name == QLatin1String("deleteButton")) notebook->onDeleteClicked();
            else if (name == QLatin1String("saveButton")) notebook->onSaveClicked();
            else if (name == QLatin1String("c")) showCaloriePanel();
            else notebook->openSectionForSkinObject(name);
        }
    }

    // What the window does for its calorie button `c`: the panel takes over and the notebook
    // leaves it.
    void showCaloriePanel()
    {
        window.caloriePanel->show();
        notebook->leave(window.caloriePanel);
        window.welcomePicture->hide();
    }

    // Types a title and a body into the entry view's inputs.
    void type(const QString &title, const QString &body)
    {
        window.titleEdit->setText(title);
        window.bodyEdit->setPlainText(body);
    }

    // "title|text" of every box shown since the last call.
    QStringList takeBoxes()
    {
        QStringList result;
        for (const MessageBox::Shown &box : boxes.asked())
            result << box.title + QLatin1Char('|') + box.text;
        boxes.clear();
        return result;
    }

    // The Name of the cursor's current record, or "-" when it has none.
    QString cursorName() const
    {
        try {
            return notebook->records()->field(QStringLiteral("Name")).textOrEmpty();
        } catch (const DataError &) {
            return QStringLiteral("-");
        }
    }

    MessageBox::Recorder boxes;
    TempDatabase file;
    std::unique_ptr<Database> db;
    Window window;
    std::unique_ptr<NotebookController> notebook;

private:
    static QString textOf(const QVariant &value)
    {
        return value.isValid() ? value.toString() : QStringLiteral("<null>");
    }
};

QString withoutOuterSpaces(QString text)
{
    while (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

class TestNotebook : public QObject
{
    Q_OBJECT

private slots:
    void sectionShowsFirstRecord_data();
    void sectionShowsFirstRecord();
    void emptySectionShowsHint_data();
    void emptySectionShowsHint();
    void reopeningSectionStartsAtFirstRecord();
    void otherNamesChangeNothing_data();
    void otherNamesChangeNothing();
    void calorieHotSpot();
    void sectionThatCannotBeOpened_data();
    void sectionThatCannotBeOpened();
    void nullFieldsShowAsEmpty();
    void veryLongRecordShowsWithoutLayingOutAll();

    void browsing_data();
    void browsing();
    void diaryBrowsingShowsName();

    void entryViewAndBack();
    void save_data();
    void save();
    void savedRecordComesLastAndCursorStays();
    void saveIntoEmptySectionShowsNewRecord();
    void saveGoesToSectionOpenedLast();
    void refusedSaveAfterBrowsingBringsEntryViewBack();
    void failedSaveKeepsEverything_data();
    void failedSaveKeepsEverything();
    void saveWithNoSectionOpen();
    void unusualTextsRoundTrip_data();
    void unusualTextsRoundTrip();

    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void deleteShowsNeighbour_data();
    void deleteShowsNeighbour();
    void nothingToDelete_data();
    void nothingToDelete();
    void failedDeleteSaysSo();

    void lockedFileSaysSoAfterOneWait_data();
    void lockedFileSaysSoAfterOneWait();
    void busyCursorWhileWaitingForLock();

    void mayClose_data();
    void mayClose();

    void realBoxesArePlainTextAndAnswer();
    void quoteKeepsCharactersWhole_data();
    void quoteKeepsCharactersWhole();
    void boxesFitTheirTitle();
};

void TestNotebook::sectionShowsFirstRecord_data()
{
    QTest::addColumn<QString>("hotSpot");
    QTest::addColumn<QString>("texts");
    QTest::newRow("a recipes") << "a" << "燕麦早餐/燕麦加牛奶";
    QTest::newRow("b exercise") << "b" << "慢跑/每天三十分钟";
    QTest::newRow("d experiences") << "d" << "坚持/每天记录";
    QTest::newRow("e diary shows time") << "e" << "2026-01-02 07:30/体重七十公斤";
}

void TestNotebook::sectionShowsFirstRecord()
{
    QFETCH(QString, hotSpot);
    QFETCH(QString, texts);
    Fixture f;
    f.click(hotSpot);
    QCOMPARE(f.window.texts(), texts);
    QCOMPARE(f.window.shown(), BrowseView);
    QVERIFY(f.takeBoxes().isEmpty());
    QVERIFY(f.notebook->records());
}

void TestNotebook::emptySectionShowsHint_data()
{
    QTest::addColumn<QString>("hotSpot");
    QTest::addColumn<QString>("hint");
    QTest::newRow("a") << "a" << HintSp;
    QTest::newRow("b") << "b" << HintYd;
    QTest::newRow("d") << "d" << "瘦身心得还空着呢，请点击标志来增加心得！";
    QTest::newRow("e") << "e" << "瘦身日记还空着呢，请点击标志来写新日记！";
}

void TestNotebook::emptySectionShowsHint()
{
    QFETCH(QString, hotSpot);
    QFETCH(QString, hint);
    Fixture f("");
    f.window.titleView->setText(QStringLiteral("旧标题"));
    f.click(hotSpot);
    QCOMPARE(f.window.texts(), QLatin1Char('/') + hint);
    QCOMPARE(f.window.shown(), BrowseView);
}

void TestNotebook::reopeningSectionStartsAtFirstRecord()
{
    Fixture f;
    f.click(QStringLiteral("a nextButton nextButton c"));
    QCOMPARE(f.window.titleView->text(), QString());
    QCOMPARE(f.window.bodyView->toPlainText(), QStringLiteral("少油少盐")); // the calorie panel leaves bodyView
    f.click(QStringLiteral("a"));
    QCOMPARE(f.window.texts(), QStringLiteral("燕麦早餐/燕麦加牛奶"));
    QCOMPARE(f.window.shown(), BrowseView);
    QCOMPARE(f.cursorName(), QStringLiteral("燕麦早餐"));
}

void TestNotebook::otherNamesChangeNothing_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"A", "Logo", "a ", " a", "", "x", "-", "C", "SkinFreeForm Object", "sp"})
        QTest::newRow(name[0] ? name : "(empty)") << QString::fromLatin1(name);
}

void TestNotebook::otherNamesChangeNothing()
{
    QFETCH(QString, name);
    UrlOpener::Recorder urls;
    Fixture f;
    f.click(QStringLiteral("b"));
    const Recordset *before = f.notebook->records();
    const QString shown = f.window.shown();
    const QString texts = f.window.texts();

    f.notebook->openSectionForSkinObject(name);

    QCOMPARE(f.notebook->records(), before);
    QCOMPARE(f.window.shown(), shown);
    QCOMPARE(f.window.texts(), texts);
    QVERIFY(f.takeBoxes().isEmpty());
    QVERIFY(urls.asked().isEmpty());
}

void TestNotebook::calorieHotSpot()
{
    Fixture f;
    f.click(QStringLiteral("a"));
    const Recordset *cursor = f.notebook->records();
    f.click(QStringLiteral("c"));
    QCOMPARE(f.window.shown(), QStringLiteral("caloriePanel titleView bodyView"));
    QCOMPARE(f.window.texts(), QStringLiteral("/燕麦加牛奶"));
    QCOMPARE(f.notebook->records(), cursor);

    // From the entry view the inputs and saveButton stay on show with the panel.
    f.click(QStringLiteral("a newButton c"));
    QCOMPARE(f.window.shown(), QStringLiteral("saveButton caloriePanel titleEdit bodyEdit"));
}

void TestNotebook::sectionThatCannotBeOpened_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("badHotSpot");
    QTest::addColumn<QString>("goodHotSpot");
    QTest::addColumn<QString>("messageStart");
    QTest::newRow("no table") << QByteArray("DROP TABLE sp;") << "a" << "b" << "无法打开瘦身食谱：";
    QTest::newRow("no Name field")
        << QByteArray("DROP TABLE yd; CREATE TABLE yd(id INTEGER PRIMARY KEY, Title TEXT, demo TEXT);"
                      "INSERT INTO yd(Title, demo) VALUES ('x', 'y');")
        << "b" << "a" << "无法打开有氧运动：";
    QTest::newRow("no demo field")
        << QByteArray("DROP TABLE xd; CREATE TABLE xd(id INTEGER PRIMARY KEY, Name TEXT);"
                      "INSERT INTO xd(Name) VALUES ('x');")
        << "d" << "a" << "无法打开瘦身心得：";
    QTest::newRow("diary without time")
        << QByteArray("DROP TABLE rj; CREATE TABLE rj(id INTEGER PRIMARY KEY, Name TEXT, demo TEXT);"
                      "INSERT INTO rj(Name, demo) VALUES ('x', 'y');")
        << "e" << "a" << "无法打开瘦身日记：";
}

void TestNotebook::sectionThatCannotBeOpened()
{
    QFETCH(QByteArray, sql);
    QFETCH(QString, badHotSpot);
    QFETCH(QString, goodHotSpot);
    QFETCH(QString, messageStart);
    Fixture f(RecordsSql + sql);

    // Straight from the start state: nothing opens, the welcome picture stays.
    const QString startShown = f.window.shown();
    f.click(badHotSpot);
    QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].startsWith(BoxTitle + QLatin1Char('|') + messageStart), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].size() > (BoxTitle + QLatin1Char('|') + messageStart).size(), "a reason follows");
    QCOMPARE(f.window.shown(), startShown);
    QVERIFY(!f.notebook->records());

    // With a section on show, browsed to its second record: all of it stays.
    f.click(goodHotSpot + QStringLiteral(" nextButton"));
    f.takeBoxes();
    const Recordset *cursor = f.notebook->records();
    const QString shown = f.window.shown();
    const QString texts = f.window.texts();
    const QString current = f.cursorName();
    f.click(badHotSpot);
    QCOMPARE(f.takeBoxes().size(), 1);
    QCOMPARE(f.notebook->records(), cursor);
    QCOMPARE(f.window.shown(), shown);
    QCOMPARE(f.window.texts(), texts);
    QCOMPARE(f.cursorName(), current);

    // And the program goes on.
    f.click(goodHotSpot);
    QCOMPARE(f.takeBoxes(), QStringList{});
    QCOMPARE(f.window.shown(), BrowseView);
}

void TestNotebook::nullFieldsShowAsEmpty()
{
    Fixture f(QByteArray("DELETE FROM sp; DELETE FROM rj;"
                         "INSERT INTO sp(Name, demo) VALUES (NULL, '正文一'), ('标题二', NULL), ('标题三', '正文三');"
                         "INSERT INTO rj(time, Name, demo) VALUES (NULL, '日记', NULL);"));
    f.click(QStringLiteral("a"));
    QCOMPARE(f.window.texts(), QStringLiteral("/正文一"));
    f.click(QStringLiteral("nextButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("标题二/")); // not the first record's body
    f.click(QStringLiteral("nextButton previousButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("标题二/"));
    f.click(QStringLiteral("previousButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("/正文一"));
    f.click(QStringLiteral("e"));
    QCOMPARE(f.window.texts(), QStringLiteral("/"));
    QCOMPARE(f.window.shown(), BrowseView);
    QVERIFY(f.takeBoxes().isEmpty());
}

// A record of megabytes: the title box shows its start (laying out all of it took seconds and
// hundreds of megabytes), the body view lays out only its first screen; the stored text and what
// a copy of the body gives are the text whole.
void TestNotebook::veryLongRecordShowsWithoutLayingOutAll()
{
    const QString title = QStringLiteral("很长的标题 ").repeated(100000);
    const QString body = QStringLiteral("瘦身食谱 low fat 少油少盐 ").repeated(20000);
    Fixture f(QByteArray("DELETE FROM sp;"));
    f.file.insert(QStringLiteral("sp"), {{"Name", title}, {"demo", body}});
    f.click(QStringLiteral("a"));
    const QString shown = f.window.titleView->text();
    QCOMPARE(shown.size(), NotebookController::MaxShownTitleChars + 1);
    QVERIFY(title.startsWith(shown.chopped(1)) && shown.endsWith(QChar(0x2026)));
    QTextDocument *document = f.window.bodyView->document();
    QCOMPARE(f.window.bodyView->textCursor().position(), 0);
    QVERIFY(document->blockCount() > 10);
    QCOMPARE(document->lastBlock().layout()->lineCount(), 0); // not laid out
    QCOMPARE(LongLines::plainText(document), body);
    QCOMPARE(f.rows("sp"), QStringList{title + QLatin1Char('|') + body});
}

void TestNotebook::browsing_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QStringList>("messages");
    const QString first = BoxTitle + QStringLiteral("|已经是第一条信息了！");
    const QString last = BoxTitle + QStringLiteral("|已经是最后一条信息了！");
    QTest::newRow("next") << true << "a nextButton" << "午餐沙拉/生菜和番茄" << QStringList{};
    QTest::newRow("to the last") << true << "a nextButton nextButton" << "冬瓜汤/少油少盐" << QStringList{};
    QTest::newRow("past the last") << true << "a nextButton nextButton nextButton" << "冬瓜汤/少油少盐" << QStringList{last};
    QTest::newRow("back from the end") << true << "a nextButton nextButton nextButton previousButton" << "午餐沙拉/生菜和番茄"
                                       << QStringList{last};
    QTest::newRow("before the first") << true << "a previousButton" << "燕麦早餐/燕麦加牛奶" << QStringList{first};
    QTest::newRow("on from the start") << true << "a previousButton nextButton" << "午餐沙拉/生菜和番茄"
                                       << QStringList{first};
    QTest::newRow("one record") << true << "b previousButton nextButton previousButton" << "慢跑/每天三十分钟"
                                << QStringList{first, last, first};
    QTest::newRow("empty section") << false << "a nextButton previousButton" << "/" + HintSp << QStringList{last, first};
}

void TestNotebook::browsing()
{
    QFETCH(bool, filled);
    QFETCH(QString, clicks);
    QFETCH(QString, texts);
    QFETCH(QStringList, messages);
    Fixture f(filled ? RecordsSql : QByteArray());
    f.click(clicks);
    QCOMPARE(f.window.texts(), texts);
    QCOMPARE(f.takeBoxes(), messages);
    QCOMPARE(f.window.shown(), BrowseView);
    // The window and the cursor agree.
    QCOMPARE(f.cursorName(), filled ? f.window.titleView->text() : QStringLiteral("-"));
}

void TestNotebook::diaryBrowsingShowsName()
{
    Fixture f;
    f.click(QStringLiteral("e nextButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("第二天/六十九点五"));
    f.click(QStringLiteral("previousButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("第一天/体重七十公斤"));
}

void TestNotebook::entryViewAndBack()
{
    Fixture f;
    f.click(QStringLiteral("a nextButton newButton"));
    QCOMPARE(f.window.shown(), EntryView);
    QCOMPARE(f.window.titleEdit->text(), QString()); // the starting texts are gone
    QCOMPARE(f.window.bodyEdit->toPlainText(), QString());
    QCOMPARE(f.window.jf.focusWidget(), f.window.titleEdit);
    QCOMPARE(f.window.texts(), QStringLiteral("午餐沙拉/生菜和番茄"));

    // newButton again discards what was typed.
    f.window.titleEdit->setText(QStringLiteral("草稿"));
    f.click(QStringLiteral("newButton"));
    QCOMPARE(f.window.titleEdit->text(), QString());

    // Browsing hides the inputs but keeps their text; saveButton stays, deleteButton stays hidden.
    f.window.titleEdit->setText(QStringLiteral("标题"));
    f.click(QStringLiteral("nextButton"));
    QCOMPARE(f.window.shown(), QStringLiteral("previousButton nextButton newButton saveButton titleView bodyView"));
    QCOMPARE(f.window.texts(), QStringLiteral("冬瓜汤/少油少盐"));
    QCOMPARE(f.window.titleEdit->text(), QStringLiteral("标题"));

    // A section opened meanwhile shows deleteButton as well.
    f.click(QStringLiteral("newButton b"));
    QCOMPARE(f.window.shown(), QStringLiteral("previousButton nextButton newButton deleteButton saveButton titleEdit bodyEdit"));
    QVERIFY(f.takeBoxes().isEmpty());
}

void TestNotebook::save_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::addColumn<QString>("message");
    const QString refused = QStringLiteral("都没写呢就要保存了啊？");
    QTest::newRow("empty title") << "" << "正文" << "" << refused;
    QTest::newRow("empty body") << "标题" << "" << "" << refused;
    QTest::newRow("both empty") << "" << "" << "" << refused;
    QTest::newRow("spaces around") << "  标题 " << "   正文  " << "标题|正文" << "标题 已增加！";
    QTest::newRow("title of spaces only") << "   " << "正文" << "|正文" << " 已增加！";
    QTest::newRow("tabs and line breaks are kept") << "\t早 餐" << "第一行\n第二行\n " << "\t早 餐|第一行\n第二行\n"
                                                   << "\t早 餐 已增加！";
    // The title is stored whole; the message shortens it, never its own words.
    const QString longTitle = QString(600, QChar(0x957F)); // 长
    QTest::newRow("title longer than a box shows") << longTitle << "正文" << longTitle + "|正文"
                                                   << QString(80, QChar(0x957F)) + "… 已增加！";
}

void TestNotebook::save()
{
    QFETCH(QString, title);
    QFETCH(QString, body);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    Fixture f;
    const QStringList before = f.rows("sp");
    f.click(QStringLiteral("a newButton"));
    f.type(title, body);
    f.window.bodyView->setFocus();
    f.click(QStringLiteral("saveButton"));

    QCOMPARE(f.takeBoxes(), QStringList{AppTitle + QLatin1Char('|') + message});
    if (stored.isEmpty()) {
        QCOMPARE(f.rows("sp"), before);
        QCOMPARE(f.window.shown(), EntryView);
        QCOMPARE(f.window.titleEdit->text(), title);
        QCOMPARE(f.window.bodyEdit->toPlainText(), body);
        QCOMPARE(f.window.jf.focusWidget(), f.window.titleEdit);
    } else {
        QCOMPARE(f.rows("sp"), before + QStringList{stored});
        QCOMPARE(f.window.shown(), BrowseView);
        QCOMPARE(f.window.titleEdit->text(), QString());
        QCOMPARE(f.window.bodyEdit->toPlainText(), QString());
    }
}

void TestNotebook::savedRecordComesLastAndCursorStays()
{
    Fixture f;
    f.click(QStringLiteral("e newButton"));
    f.type(QStringLiteral("第三天"), QStringLiteral("六十九"));
    f.click(QStringLiteral("saveButton"));
    // The record on show before is still on show and current.
    QCOMPARE(f.window.texts(), QStringLiteral("2026-01-02 07:30/体重七十公斤"));
    QCOMPARE(f.cursorName(), QStringLiteral("第一天"));
    f.click(QStringLiteral("nextButton nextButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("第三天/六十九"));
    // The diary's time comes from the table, not from the program.
    f.click(QStringLiteral("e"));
    QVERIFY(!f.notebook->records()->field(QStringLiteral("time")).textOrEmpty().isEmpty());
    QCOMPARE(f.rows("rj").last(), QStringLiteral("第三天|六十九"));
}

void TestNotebook::saveIntoEmptySectionShowsNewRecord()
{
    Fixture f("");
    f.click(QStringLiteral("a newButton"));
    f.type(QStringLiteral("第一条"), QStringLiteral("正文"));
    f.click(QStringLiteral("saveButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("第一条/正文"));
    QCOMPARE(f.cursorName(), QStringLiteral("第一条"));
    f.takeBoxes();
    f.click(QStringLiteral("nextButton"));
    QCOMPARE(f.takeBoxes(), QStringList{BoxTitle + QStringLiteral("|已经是最后一条信息了！")});
    QCOMPARE(f.window.texts(), QStringLiteral("第一条/正文"));
}

void TestNotebook::saveGoesToSectionOpenedLast()
{
    Fixture f;
    f.click(QStringLiteral("a newButton"));
    f.type(QStringLiteral("跳绳"), QStringLiteral("十分钟"));
    f.click(QStringLiteral("b saveButton"));
    QCOMPARE(f.rows("yd").last(), QStringLiteral("跳绳|十分钟"));
    QCOMPARE(f.rows("sp").size(), 3);
}

void TestNotebook::refusedSaveAfterBrowsingBringsEntryViewBack()
{
    Fixture f;
    f.click(QStringLiteral("a newButton"));
    f.window.titleEdit->setText(QStringLiteral("只有标题"));
    f.click(QStringLiteral("nextButton"));
    f.window.bodyView->setFocus();
    f.takeBoxes();
    f.click(QStringLiteral("saveButton"));
    QCOMPARE(f.takeBoxes(), QStringList{AppTitle + QStringLiteral("|都没写呢就要保存了啊？")});
    QCOMPARE(f.window.shown(), EntryView);
    QCOMPARE(f.window.titleEdit->text(), QStringLiteral("只有标题"));
    QCOMPARE(f.window.jf.focusWidget(), f.window.titleEdit);
}

enum class Fault { ReadOnlyFile, FullDisk, LockHeld, TableRefuses };
Q_DECLARE_METATYPE(Fault)

void TestNotebook::failedSaveKeepsEverything_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("read-only file") << Fault::ReadOnlyFile;
    QTest::newRow("full disk") << Fault::FullDisk;
    QTest::newRow("lock held too long") << Fault::LockHeld;
    QTest::newRow("table refuses the row") << Fault::TableRefuses;
}

void TestNotebook::failedSaveKeepsEverything()
{
    QFETCH(Fault, fault);
    QByteArray sql = RecordsSql;
    if (fault == Fault::TableRefuses)
        sql += "CREATE TRIGGER refuse BEFORE INSERT ON sp BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    Fixture f(sql);
    std::unique_ptr<TempDatabase::WriteLock> otherWriter;
    switch (fault) {
    case Fault::ReadOnlyFile:
        f.reopenReadOnly();
        break;
    case Fault::FullDisk:
        TempDatabase::stopGrowth(f.db->handle());
        break;
    case Fault::LockHeld:
        otherWriter = f.file.holdWriteLock();
        f.db->setLockWaitLimit(50);
        break;
    case Fault::TableRefuses:
        break;
    }

    const QString title = QStringLiteral("午饭");
    const QString body = QStringLiteral("一二三四五六七八九十\n").repeated(20000); // needs new pages
    f.click(QStringLiteral("a nextButton newButton"));
    f.type(title, body);
    f.click(QStringLiteral("saveButton"));

    const QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    const QString prefix = AppTitle + QStringLiteral("|没有保存：");
    QVERIFY2(boxes[0].startsWith(prefix) && boxes[0].size() > prefix.size(), qPrintable(boxes[0]));
    QCOMPARE(f.window.shown(), EntryView);
    QCOMPARE(f.window.titleEdit->text(), title);
    QCOMPARE(f.window.bodyEdit->toPlainText(), body);
    QCOMPARE(f.cursorName(), QStringLiteral("午餐沙拉"));

    otherWriter.reset();
    QCOMPARE(f.rows("sp").size(), 3); // nothing half-written

    // The program goes on: browsing works and, once the cause is gone, saving does too.
    if (fault == Fault::FullDisk)
        TempDatabase::allowGrowth(f.db->handle());
    if (fault == Fault::LockHeld || fault == Fault::FullDisk) {
        f.click(QStringLiteral("saveButton"));
        QCOMPARE(f.takeBoxes(), QStringList{AppTitle + QStringLiteral("|午饭 已增加！")});
        QCOMPARE(f.rows("sp").size(), 4);
    }
    f.click(QStringLiteral("previousButton"));
    QCOMPARE(f.window.texts(), QStringLiteral("燕麦早餐/燕麦加牛奶"));
}

void TestNotebook::saveWithNoSectionOpen()
{
    Fixture f;
    f.type(QStringLiteral("标题"), QStringLiteral("正文"));
    f.click(QStringLiteral("saveButton previousButton nextButton deleteButton"));
    const QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes.value(0), AppTitle + QStringLiteral("|没有保存：还没有打开任何栏目。"));
    QCOMPARE(boxes.value(1), BoxTitle + QStringLiteral("|没有可删除的信息。"));
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(f.window.titleEdit->text(), QStringLiteral("标题"));
    QCOMPARE(f.rows("sp").size(), 3);
}

void TestNotebook::unusualTextsRoundTrip_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");
    QString bigTitle;
    bigTitle.reserve(1 << 20);
    while (bigTitle.size() < (1 << 20))
        bigTitle += QStringLiteral("减肥标题Title");
    QString bigBody;
    bigBody.reserve(10 << 20);
    while (bigBody.size() < (10 << 20))
        bigBody += QStringLiteral("每天走一万步。Walk 10k steps a day.\n");
    QTest::newRow("1 MB title, 10 MB body") << " " + bigTitle + " " << bigBody + "  ";
    QTest::newRow("emoji") << "🥗 沙拉 👍🏽" << "🏃‍♀️ 跑步 🔥🔥\n👨‍👩‍👧";
    QTest::newRow("right to left") << "שלום עולם" << "مرحبا بالعالم ١٢٣ abc";
    QTest::newRow("quotes and SQL") << "'); DROP TABLE sp; --"
                                    << "\"x\" ' '' \\ %; DELETE FROM sp WHERE '1'='1'; SELECT * FROM \"01\"";
    QTest::newRow("markup") << "<b>粗体</b> &amp;" << "<script>alert(1)</script>\n<img src=x>";
    QTest::newRow("control characters") << QString::fromUtf8("a\x01" "b") << QString::fromUtf8("tab\there\nnext line\x7f");
}

void TestNotebook::unusualTextsRoundTrip()
{
    QFETCH(QString, title);
    QFETCH(QString, body);
    const QString storedTitle = withoutOuterSpaces(title);
    const QString storedBody = withoutOuterSpaces(body);
    Fixture f;
    f.click(QStringLiteral("a newButton"));
    f.type(title, body);
    f.click(QStringLiteral("saveButton"));
    const QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes, QStringList{AppTitle + QLatin1Char('|') + MessageBox::quote(storedTitle) + QStringLiteral(" 已增加！")});
    QVERIFY(boxes.first().size() <= AppTitle.size() + 1 + MessageBox::MaxDisplayChars);

    f.click(QStringLiteral("a nextButton nextButton nextButton"));
    // The title box shows the start of a title of megabytes; the row holds it whole.
    QVERIFY(f.window.titleView->text() == NotebookController::shownTitle(storedTitle));
    QVERIFY(f.window.bodyView->toPlainText() == storedBody);
    const QStringList rows = f.rows("sp");
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows.last() == storedTitle + QLatin1Char('|') + storedBody);
}

void TestNotebook::deleteAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel") << int(MessageBox::Cancel);
    QTest::newRow("OK") << int(MessageBox::Ok);
}

void TestNotebook::deleteAsksFirst()
{
    QFETCH(int, answer);
    Fixture f;
    f.click(QStringLiteral("a"));
    MessageBox::setNextAnswer(MessageBox::Button(answer));
    f.click(QStringLiteral("deleteButton"));

    const QList<MessageBox::Shown> &boxes = f.boxes.asked();
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes[0].title, BoxTitle);
    QCOMPARE(boxes[0].text, QStringLiteral("你确定要删除吗？"));
    QCOMPARE(boxes[0].buttons, (QList<MessageBox::Button>{MessageBox::Ok, MessageBox::Cancel}));
    // Return alone keeps the record.
    QCOMPARE(boxes[0].defaultButton, MessageBox::Cancel);
    if (answer == MessageBox::Cancel) {
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(f.rows("sp").size(), 3);
        QCOMPARE(f.window.texts(), QStringLiteral("燕麦早餐/燕麦加牛奶"));
        QCOMPARE(f.cursorName(), QStringLiteral("燕麦早餐"));
    } else {
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[1].title, BoxTitle);
        QCOMPARE(boxes[1].text, QStringLiteral("信息已删除！"));
        QCOMPARE(boxes[1].buttons, QList<MessageBox::Button>{MessageBox::Ok});
        QCOMPARE(f.rows("sp"), (QStringList{QStringLiteral("午餐沙拉|生菜和番茄"), QStringLiteral("冬瓜汤|少油少盐")}));
    }
    QCOMPARE(f.window.shown(), BrowseView);
}

void TestNotebook::deleteShowsNeighbour_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<QString>("previous"); // what previousButton shows next; empty: the first-record message
    QTest::newRow("first") << "a" << "午餐沙拉/生菜和番茄" << "";
    QTest::newRow("middle") << "a nextButton" << "冬瓜汤/少油少盐" << "燕麦早餐/燕麦加牛奶";
    QTest::newRow("last") << "a nextButton nextButton" << "午餐沙拉/生菜和番茄" << "燕麦早餐/燕麦加牛奶";
    QTest::newRow("only") << "b" << "/" + HintYd << "";
}

void TestNotebook::deleteShowsNeighbour()
{
    QFETCH(QString, clicks);
    QFETCH(QString, shownAfter);
    QFETCH(QString, previous);
    Fixture f;
    f.click(clicks);
    const QString deleted = f.window.titleView->text();
    f.click(QStringLiteral("deleteButton"));
    QCOMPARE(f.takeBoxes().last(), BoxTitle + QStringLiteral("|信息已删除！"));
    QCOMPARE(f.window.texts(), shownAfter);
    const QString title = shownAfter.section(QLatin1Char('/'), 0, 0);
    QCOMPARE(f.cursorName(), title.isEmpty() ? QStringLiteral("-") : title);

    f.click(QStringLiteral("previousButton"));
    if (previous.isEmpty()) {
        QCOMPARE(f.takeBoxes(), QStringList{BoxTitle + QStringLiteral("|已经是第一条信息了！")});
        QCOMPARE(f.window.texts(), shownAfter);
    } else {
        QCOMPARE(f.window.texts(), previous);
    }
    f.click(QStringLiteral("a"));
    for (int i = 0; i < 3; ++i) {
        QVERIFY(f.window.titleView->text() != deleted);
        f.click(QStringLiteral("nextButton"));
    }
}

void TestNotebook::nothingToDelete_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QByteArray>("deletedMeanwhile");
    QTest::newRow("empty section") << false << QByteArray();
    QTest::newRow("record removed by another program") << true << QByteArray("DELETE FROM sp WHERE Name = '燕麦早餐'");
    QTest::newRow("last record deleted before") << true << QByteArray("DELETE FROM sp");
}

void TestNotebook::nothingToDelete()
{
    QFETCH(bool, filled);
    QFETCH(QByteArray, deletedMeanwhile);
    Fixture f(filled ? RecordsSql : QByteArray());
    f.click(QStringLiteral("a"));
    if (!deletedMeanwhile.isEmpty())
        f.file.exec(QString::fromUtf8(deletedMeanwhile)); // as another program would
    const QStringList rowsBefore = f.rows("sp");
    f.click(QStringLiteral("deleteButton"));
    QCOMPARE(f.takeBoxes(), QStringList{BoxTitle + QStringLiteral("|没有可删除的信息。")});
    QCOMPARE(f.rows("sp"), rowsBefore);
}

void TestNotebook::failedDeleteSaysSo()
{
    Fixture f;
    f.reopenReadOnly();
    f.click(QStringLiteral("a nextButton deleteButton"));
    const QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0], BoxTitle + QStringLiteral("|你确定要删除吗？"));
    QVERIFY2(boxes[1].startsWith(BoxTitle + QStringLiteral("|删除失败：")), qPrintable(boxes[1]));
    QCOMPARE(f.rows("sp").size(), 3);
    QCOMPARE(f.window.texts(), QStringLiteral("午餐沙拉/生菜和番茄"));
    QCOMPARE(f.cursorName(), QStringLiteral("午餐沙拉"));
}

void TestNotebook::lockedFileSaysSoAfterOneWait_data()
{
    QTest::addColumn<QString>("before"); // clicks before another program locks the file
    QTest::addColumn<QString>("action"); // the clicks that find it locked
    QTest::addColumn<QString>("failed"); // how the one box begins
    QTest::addColumn<QString>("texts");  // what the window shows afterwards
    const QString first = QStringLiteral("燕麦早餐/燕麦加牛奶");
    QTest::newRow("open a section") << "" << "a" << "无法打开瘦身食谱：" << "/";
    QTest::newRow("next record") << "a" << "nextButton" << "无法显示下一条信息：" << first;
    QTest::newRow("previous record") << "a nextButton" << "previousButton" << "无法显示上一条信息："
                                     << "午餐沙拉/生菜和番茄";
    QTest::newRow("save") << "a newButton" << "saveButton" << "没有保存：" << first;
    QTest::newRow("delete") << "a" << "deleteButton" << "删除失败：" << first;
}

void TestNotebook::lockedFileSaysSoAfterOneWait()
{
    QFETCH(QString, before);
    QFETCH(QString, action);
    QFETCH(QString, failed);
    QFETCH(QString, texts);
    Fixture f;
    f.db->setLockWaitLimit(50);
    f.click(before);
    f.type(QStringLiteral("午饭"), QStringLiteral("吃了沙拉"));
    const QString shown = f.window.shown();
    {
        auto lock = f.file.holdExclusiveLock(); // another program in the middle of a commit
        f.takeBoxes();
        f.click(action);
    }

    // One box, which names the cause, and nothing changed.
    const QStringList boxes = f.takeBoxes();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains(QLatin1Char('|') + failed), qPrintable(boxes[0]));
    QVERIFY2(boxes[0].contains(QStringLiteral("数据库文件正被另一个程序使用")), qPrintable(boxes[0]));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(f.window.shown(), shown);
    QCOMPARE(f.window.texts(), texts);
    QCOMPARE(f.rows("sp").size(), 3);

    // Once the other program is done, the same clicks work.
    f.click(action);
    for (const QString &box : f.takeBoxes())
        QVERIFY2(!box.contains(QStringLiteral("另一个程序")), qPrintable(box));
    QVERIFY(f.window.texts() != texts || action == QLatin1String("saveButton"));
}

void TestNotebook::busyCursorWhileWaitingForLock()
{
    Fixture f;
    f.click(QStringLiteral("a"));
    std::optional<Qt::CursorShape> cursorWhileWaiting;
    {
        // Another program holds the file for 300 ms; the window waits for it
        // with the busy cursor, then goes on.
        // (The lock's thread looks at the cursor while this thread sleeps in the wait.)
        TempDatabase::PassingLock lock(f.file.path(), 300, [&] {
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                cursorWhileWaiting = cursor->shape();
        });
        f.click(QStringLiteral("nextButton"));
    }
    QCOMPARE(cursorWhileWaiting, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(f.takeBoxes(), QStringList());
    QCOMPARE(f.window.texts(), QStringLiteral("午餐沙拉/生菜和番茄"));
}

void TestNotebook::mayClose_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("closes");
    QTest::newRow("nothing begun") << "a" << "" << 0 << false << true;
    QTest::newRow("entry view, nothing typed") << "a newButton" << "" << 0 << false << true;
    QTest::newRow("typed, OK") << "a newButton" << "标题" << int(MessageBox::Ok) << true << true;
    QTest::newRow("typed, Cancel") << "a newButton" << "标题" << int(MessageBox::Cancel) << true << false;
    QTest::newRow("typed, hidden by browsing, Cancel") << "a newButton @ nextButton" << "标题" << int(MessageBox::Cancel)
                                                       << true << false;
    QTest::newRow("typed and saved") << "a newButton @ saveButton" << "标题" << 0 << false << true;
}

void TestNotebook::mayClose()
{
    QFETCH(QString, clicks);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, asks);
    QFETCH(bool, closes);
    Fixture f;
    // "@" marks the moment the text is typed.
    const QString before = clicks.section(QLatin1Char('@'), 0, 0);
    const QString after = clicks.section(QLatin1Char('@'), 1);
    f.click(before);
    if (!typed.isEmpty())
        f.type(typed, typed);
    f.click(after);
    f.takeBoxes();
    if (answer)
        MessageBox::setNextAnswer(MessageBox::Button(answer));

    QCOMPARE(f.notebook->mayClose(), closes);
    const QList<MessageBox::Shown> boxes = f.boxes.asked();
    QCOMPARE(boxes.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(boxes[0].title, BoxTitle);
        QCOMPARE(boxes[0].buttons, (QList<MessageBox::Button>{MessageBox::Ok, MessageBox::Cancel}));
        QCOMPARE(boxes[0].defaultButton, MessageBox::Cancel);
        QCOMPARE(f.window.titleEdit->text(), typed);
    }
}

// The boxes as a user meets them: plain text, 确定/取消, Return and Escape.
void TestNotebook::realBoxesArePlainTextAndAnswer()
{
    struct Seen
    {
        QString title;
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        QStringList buttons;
    };
    auto answerNextBox = [](Seen *seen, int key) {
        auto poll = std::make_shared<std::function<void()>>();
        *poll = [seen, key, poll] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                QTimer::singleShot(10, *poll);
                return;
            }
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->format = box->textFormat();
            for (QAbstractButton *button : box->buttons())
                seen->buttons << button->text();
            seen->buttons.sort();
            QTest::keyClick(box, Qt::Key(key));
        };
        QTimer::singleShot(0, *poll);
    };

    Seen seen;
    answerNextBox(&seen, Qt::Key_Escape);
    QCOMPARE(MessageBox::question(nullptr, BoxTitle, QStringLiteral("<b>你确定要删除吗？</b>")),
             MessageBox::Cancel);
    QCOMPARE(seen.title, BoxTitle);
    QCOMPARE(seen.text, QStringLiteral("<b>你确定要删除吗？</b>"));
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("取消"), QStringLiteral("确定")}));

    seen = Seen();
    answerNextBox(&seen, Qt::Key_Return);
    QCOMPARE(MessageBox::question(nullptr, BoxTitle, QStringLiteral("?")), MessageBox::Ok);
    answerNextBox(&seen, Qt::Key_Return);
    QCOMPARE(MessageBox::question(nullptr, BoxTitle, QStringLiteral("?"), MessageBox::Cancel),
             MessageBox::Cancel);

    // A box whose buttons say what they do: Return answers the default one, Escape the last
    // one, which does nothing.
    const QStringList choices = {QStringLiteral("替换"), QStringLiteral("保留已有的"), QStringLiteral("取消")};
    seen = Seen();
    answerNextBox(&seen, Qt::Key_Escape);
    QCOMPARE(MessageBox::choose(nullptr, BoxTitle, QStringLiteral("同名"), choices, 1), 2);
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("保留已有的"), QStringLiteral("取消"), QStringLiteral("替换")}));
    QCOMPARE(seen.format, Qt::PlainText);
    answerNextBox(&seen, Qt::Key_Return);
    QCOMPARE(MessageBox::choose(nullptr, BoxTitle, QStringLiteral("同名"), choices, 1), 1);

    // The box shows the message whole, however long the quoted title was.
    const QString message = MessageBox::quote(QString(600, QLatin1Char('x'))) + QStringLiteral(" 已增加！");
    seen = Seen();
    answerNextBox(&seen, Qt::Key_Return);
    QCOMPARE(MessageBox::information(nullptr, AppTitle, message), MessageBox::Ok);
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("确定")});
    QCOMPARE(seen.text, message);
}

void TestNotebook::quoteKeepsCharactersWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    const int max = MessageBox::MaxQuotedChars;
    const QString x(max - 1, QLatin1Char('x'));
    const QString ellipsis(QChar(0x2026));
    QTest::newRow("short") << "午餐" << "午餐";
    QTest::newRow("at the limit") << x + "y" << x + "y";
    QTest::newRow("one over") << x + "yz" << x + "y" + ellipsis;
    QTest::newRow("emoji across the limit") << x + "😀z" << x + ellipsis;
    QTest::newRow("accent across the limit") << x + QStringLiteral("e\u0301z") << x + ellipsis;
    QTest::newRow("empty") << "" << "";
}

void TestNotebook::quoteKeepsCharactersWhole()
{
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QCOMPARE(MessageBox::quote(text), quoted);
}

// Under a window manager the title bar shows "：：Pellomir：：" whole: the box is wide
// enough for it, whatever the length of its text.
void TestNotebook::boxesFitTheirTitle()
{
    for (const QString &title : {BoxTitle, AppTitle}) {
        int width = 0;
        int needed = 0;
        auto measure = std::make_shared<std::function<void()>>();
        *measure = [&width, &needed, measure] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible()) {
                QTimer::singleShot(10, *measure);
                return;
            }
            width = box->width();
            needed = MessageBox::widthForTitle(box->windowTitle(), box->font());
            box->reject();
        };
        QTimer::singleShot(0, *measure);
        MessageBox::information(nullptr, title, QStringLiteral("好"));
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
        // Bold, larger and with room for the bar's buttons: far more than the bare text.
        QVERIFY(needed > QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100);
    }
}

QTEST_MAIN(TestNotebook)
#include "test_notebook.moc"
