// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard on the real window: keys go to whatever has the focus (a message box's button
// while one is open), as they do for a user. No key press or series of presses deletes a
// record unless the user went to the delete button on purpose.
#include "db/Database.h"
#include "notebook/ui/NotebookController.h"
#include "shell/FatalError.h"
#include "shell/MainWindow.h"
#include "shell/Startup.h"
#include "widgets/ImageButton.h"
#include "widgets/MessageBox.h"
#include "support/WindowParts.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <sqlite3.h>

namespace {

const QString BinDir = QStringLiteral(PELLOMIR_BIN_DIR);

// What a series of key presses met: the text of each message box that was open when a key
// was pressed into it, in order.
struct KeyRun
{
    QList<Qt::Key> keys; // still to press
    QStringList boxes;
    int activationWaits = 0;
    bool finished = false;
};

QWidget *keyTarget(QWidget *window)
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal->focusWidget() ? modal->focusWidget() : modal;
    if (QWidget *focus = QApplication::focusWidget())
        return focus;
    return window;
}

// Presses `keys` one after another, each into the widget that has the focus. A key that opens
// a message box returns only when the box closes; the next keys go into the box meanwhile.
// Returns when every key was pressed and no box is open (one left open is closed unanswered).
std::shared_ptr<KeyRun> pressKeys(QWidget *window, QList<Qt::Key> keys)
{
    auto run = std::make_shared<KeyRun>();
    run->keys = keys;
    auto step = std::make_shared<std::function<void()>>();
    *step = [window = QPointer<QWidget>(window), run, step] {
        if (!window) {
            run->finished = true;
            return;
        }
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        // When a box closes, the window manager makes the window active again, and Qt gives
        // the focus back to the control that had it in this window (or, if that one is
        // hidden, to the next one in the tab order).
        if (!box && !window->isActiveWindow() && run->activationWaits++ < 50) {
            window->activateWindow();
            QTimer::singleShot(20, *step);
            return;
        }
        run->activationWaits = 0;
        if (run->keys.isEmpty()) {
            if (box) {
                run->boxes << QStringLiteral("left open: ") + box->text();
                box->reject();
                QTimer::singleShot(20, *step);
                return;
            }
            run->finished = true;
            return;
        }
        const Qt::Key key = run->keys.takeFirst();
        if (box)
            run->boxes << box->text();
        // The next key is due while this one may still be in a box's event loop.
        QTimer::singleShot(50, *step);
        QTest::keyClick(keyTarget(window), key);
    };
    QTimer::singleShot(50, *step);
    return run;
}

int rowCount(const MainWindow &window, const char *table)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + table;
    if (sqlite3_prepare_v2(window.database()->handle(), sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
        return -1;
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void returnNeverDeletes_data();
    void returnNeverDeletes();
    void deliberateDeleteWorks();

private:
    std::unique_ptr<MainWindow> openWindow(const QList<QByteArray> &records);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_fatalMessages;
};

void TestKeyboard::initTestCase()
{
    Startup::prepareApplication(*qApp);
    FatalError::setHandler([this](const QString &text) { m_fatalMessages << text; });
}

void TestKeyboard::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    for (const char *name : {"data.mdb", "Skin1.dat"}) {
        const QString source = BinDir + QLatin1Char('/') + QLatin1String(name);
        QVERIFY2(QFile::copy(source, m_dir->filePath(QLatin1String(name))), qPrintable(source));
    }
}

void TestKeyboard::cleanup()
{
    m_dir.reset();
    m_fatalMessages.clear();
}

// The program's window on a copy of the program's folder whose 瘦身食谱 holds `records`
// (titles; each body is the title again), shown and active.
std::unique_ptr<MainWindow> TestKeyboard::openWindow(const QList<QByteArray> &records)
{
    {
        sqlite3 *db = nullptr;
        sqlite3_open(QFile::encodeName(m_dir->filePath(QStringLiteral("data.mdb"))).constData(), &db);
        for (const QByteArray &title : records) {
            const QByteArray sql = "INSERT INTO sp(Name, demo) VALUES('" + title + "', '" + title + "')";
            sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
    }
    auto window = Startup::openMainWindow(m_dir->path());
    if (!window)
        return window;
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        return {};
    return window;
}

void TestKeyboard::returnNeverDeletes_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QString>("before"); // what is done before the presses of Return
    // The new record is saved with the mouse, or with Tab to ✓ and Return.
    QTest::newRow("saved by mouse in an empty section") << 0 << "open new type click-save";
    QTest::newRow("saved by keyboard in an empty section") << 0 << "open new type key-save";
    QTest::newRow("saved by keyboard beside a record") << 1 << "open new type key-save";
    QTest::newRow("section with one record opened") << 1 << "open";
    QTest::newRow("section opened from the food panel") << 1 << "calorie tree open";
}

void TestKeyboard::returnNeverDeletes()
{
    QFETCH(int, records);
    QFETCH(QString, before);
    auto window = openWindow(records ? QList<QByteArray>{"燕麦早餐"} : QList<QByteArray>{});
    QVERIFY2(window, qPrintable(m_fatalMessages.join('\n')));
    int expected = records;

    for (const QString &action : before.split(QLatin1Char(' '))) {
        if (action == QLatin1String("open")) {
            window->hotSpotClicked(QStringLiteral("a"));
        } else if (action == QLatin1String("calorie")) {
            window->hotSpotClicked(QStringLiteral("c"));
        } else if (action == QLatin1String("tree")) {
            formOf(*window).foodTree->setFocus(Qt::MouseFocusReason);
        } else if (action == QLatin1String("new")) {
            QTest::mouseClick(formOf(*window).newButton, Qt::LeftButton);
            QVERIFY(formOf(*window).titleEdit->hasFocus());
        } else if (action == QLatin1String("type")) {
            QTest::keyClicks(formOf(*window).titleEdit, QStringLiteral("lunch"));
            QTest::keyClick(formOf(*window).titleEdit, Qt::Key_Tab); // on to the body, past the buttons
            while (!formOf(*window).bodyEdit->hasFocus() && QApplication::focusWidget() != formOf(*window).titleEdit)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(formOf(*window).bodyEdit->hasFocus());
            QTest::keyClicks(formOf(*window).bodyEdit, QStringLiteral("salad"));
        } else if (action == QLatin1String("click-save")) {
            auto run = pressKeys(window.get(), {Qt::Key_Return}); // answers " 已增加！"
            QTest::mouseClick(formOf(*window).saveButton, Qt::LeftButton);
            QTRY_VERIFY(run->finished);
            ++expected;
        } else if (action == QLatin1String("key-save")) {
            // Shift+Tab from the body reaches ✓ first; Return presses it and then answers.
            formOf(*window).bodyEdit->setFocus(Qt::TabFocusReason);
            QTest::keyClick(formOf(*window).bodyEdit, Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), formOf(*window).saveButton);
            auto run = pressKeys(window.get(), {Qt::Key_Return, Qt::Key_Return});
            QTRY_VERIFY(run->finished);
            QCOMPARE(run->boxes, QStringList{QStringLiteral("lunch 已增加！")});
            ++expected;
        }
    }
    QCOMPARE(rowCount(*window, "sp"), expected);

    auto run = pressKeys(window.get(), {Qt::Key_Return, Qt::Key_Return, Qt::Key_Return});
    QTRY_VERIFY(run->finished);
    QCOMPARE(rowCount(*window, "sp"), expected);
    QVERIFY2(!run->boxes.contains(QStringLiteral("信息已删除！")), qPrintable(run->boxes.join('|')));
    QVERIFY(QApplication::focusWidget() != formOf(*window).deleteButton);
}

// The arrow key that moves from 取消 to 确定 in a question (the buttons' order is the
// platform's).
Qt::Key arrowToOk()
{
    Qt::Key found = Qt::Key_unknown;
    for (Qt::Key arrow : {Qt::Key_Left, Qt::Key_Right}) {
        auto probe = std::make_shared<std::function<void()>>();
        *probe = [&found, arrow, probe] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->focusWidget()) {
                QTimer::singleShot(20, *probe);
                return;
            }
            QTest::keyClick(box->focusWidget(), arrow);
            if (auto *button = qobject_cast<QPushButton *>(box->focusWidget()))
                if (button->text() == QStringLiteral("确定"))
                    found = arrow;
            box->reject();
        };
        QTimer::singleShot(0, *probe);
        MessageBox::question(nullptr, QStringLiteral("Pellomir"), QStringLiteral("?"), MessageBox::Cancel);
        if (found != Qt::Key_unknown)
            break;
    }
    return found;
}

// Tab to −, Space, Left or Right to 确定, Return: the record goes. Return on the question
// alone answers 取消.
void TestKeyboard::deliberateDeleteWorks()
{
    const Qt::Key toOk = arrowToOk();
    QVERIFY(toOk != Qt::Key_unknown);
    auto window = openWindow({"燕麦早餐", "午餐沙拉"});
    QVERIFY2(window, qPrintable(m_fatalMessages.join('\n')));
    window->hotSpotClicked(QStringLiteral("a"));
    formOf(*window).bodyView->setFocus(Qt::MouseFocusReason);

    for (int presses = 0; QApplication::focusWidget() != formOf(*window).deleteButton && presses < 20; ++presses)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), formOf(*window).deleteButton);

    auto kept = pressKeys(window.get(), {Qt::Key_Space, Qt::Key_Return});
    QTRY_VERIFY(kept->finished);
    QCOMPARE(kept->boxes, QStringList{QStringLiteral("你确定要删除吗？")});
    QCOMPARE(rowCount(*window, "sp"), 2);
    QCOMPARE(QApplication::focusWidget(), formOf(*window).deleteButton);

    auto deleted = pressKeys(window.get(), {Qt::Key_Space, toOk, Qt::Key_Return, Qt::Key_Return});
    QTRY_VERIFY(deleted->finished);
    QCOMPARE(deleted->boxes, (QStringList{QStringLiteral("你确定要删除吗？"), QStringLiteral("你确定要删除吗？"),
                                          QStringLiteral("信息已删除！")}));
    QCOMPARE(rowCount(*window, "sp"), 1);
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
