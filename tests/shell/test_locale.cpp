// SPDX-License-Identifier: GPL-3.0-or-later
// The program speaks Chinese whatever the environment's language: ctest runs this with LANG=C.
#include "shell/Startup.h"
#include "widgets/FileDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

// The texts a user reads on a dialog: its buttons and labels.
QStringList visibleTexts(const QWidget &dialog)
{
    QStringList texts;
    for (const auto *button : dialog.findChildren<QPushButton *>())
        texts << button->text();
    for (const auto *label : dialog.findChildren<QLabel *>())
        texts << label->text();
    texts.removeAll(QString());
    return texts;
}

// An English word of three letters or more: what leaks when a text is not translated.
const QRegularExpression EnglishWord(QStringLiteral("[A-Za-z]{3,}"));

} // namespace

class TestLocale : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void qtDialogsAreChinese_data();
    void qtDialogsAreChinese();
    void sizesAndDatesAreChinese();
    void chooserListsFilesInChinese();
};

void TestLocale::initTestCase()
{
    // The environment this test is about: an English (C) locale.
    QVERIFY2(QLocale::system().language() != QLocale::Chinese, qPrintable(QLocale::system().name()));
    Startup::prepareApplication(*qApp);
}

void TestLocale::qtDialogsAreChinese_data()
{
    QTest::addColumn<int>("acceptMode");
    QTest::addColumn<QString>("acceptButton");
    QTest::newRow("open") << int(QFileDialog::AcceptOpen) << QStringLiteral("打开(&O)");
    QTest::newRow("save") << int(QFileDialog::AcceptSave) << QStringLiteral("保存(&S)");
}

void TestLocale::qtDialogsAreChinese()
{
    QFETCH(int, acceptMode);
    QFETCH(QString, acceptButton);
    QFileDialog dialog(nullptr, QStringLiteral("导出笔记"), QDir::tempPath(), QStringLiteral("Markdown 文件 (*.md)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptMode(acceptMode));
    const QStringList texts = visibleTexts(dialog);
    QVERIFY2(texts.contains(acceptButton), qPrintable(texts.join(QLatin1String(" | "))));
    QVERIFY2(texts.contains(QStringLiteral("取消")), qPrintable(texts.join(QLatin1String(" | "))));
    for (const QString &text : texts)
        QVERIFY2(!text.contains(EnglishWord), qPrintable(text));
}

void TestLocale::sizesAndDatesAreChinese()
{
    const QLocale locale;
    QCOMPARE(locale.formattedDataSize(144), QStringLiteral("144 字节"));
    const QString longDate = locale.toString(QDate(2026, 12, 10), QLocale::LongFormat);
    QVERIFY2(longDate.startsWith(QStringLiteral("2026年12月10日")), qPrintable(longDate));
    QVERIFY(!locale.toString(QDate(2026, 12, 10), QLocale::ShortFormat).contains(EnglishWord));
}

// The program's own chooser, as export, backup and restore open it: a folder, a 144-byte file
// and its date, each column in Chinese.
void TestLocale::chooserListsFilesInChinese()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("备份")));
    QFile file(dir.filePath(QStringLiteral("笔记.md")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(QByteArray(144, 'x')), 144);
    file.close();
    const QDateTime modified = QFileInfo(file).lastModified();

    QMap<QString, QStringList> rows; // name -> size, type, date
    QStringList header;
    QStringList cutShort; // cells narrower than their text
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const auto close = qScopeGuard([dialog] { dialog->reject(); });
        auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
        if (!view)
            return;
        const QAbstractItemModel *model = view->model();
        // The folder is read in the background.
        if (!QTest::qWaitFor([&] { return model->rowCount(view->rootIndex()) == 2; }))
            return;
        for (int column = 0; column < model->columnCount(view->rootIndex()); ++column)
            header << model->headerData(column, Qt::Horizontal).toString();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCoreApplication::processEvents(); // the columns take their widths once laid out
        for (int row = 0; row < 2; ++row) {
            QStringList cells;
            for (int column = 1; column < 4; ++column) {
                const QModelIndex cell = model->index(row, column, view->rootIndex());
                cells << cell.data().toString();
                // The item views leave this margin on either side of a cell's text.
                const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
                if (view->visualRect(cell).width() < view->fontMetrics().horizontalAdvance(cells.last()) + margins)
                    cutShort << cells.last();
            }
            rows.insert(model->index(row, 0, view->rootIndex()).data().toString(), cells);
        }
    });
    QCOMPARE(FileDialog::openFileName(nullptr, QStringLiteral("从备份恢复"), dir.path(),
                                      {QStringLiteral("Markdown 文件 (*.md)"), QStringLiteral("所有文件 (*)")}),
             QString());

    QCOMPARE(header, (QStringList{QStringLiteral("名称"), QStringLiteral("体积"), QStringLiteral("类型"),
                                  QStringLiteral("修改日期")}));
    QCOMPARE(rows.keys(), (QStringList{QStringLiteral("备份"), QStringLiteral("笔记.md")}));
    const QStringList folder = rows.value(QStringLiteral("备份"));
    QCOMPARE(folder.at(0), QString());
    QCOMPARE(folder.at(1), QStringLiteral("文件夹"));
    const QStringList note = rows.value(QStringLiteral("笔记.md"));
    QCOMPARE(note.at(0), QStringLiteral("144 字节"));
    QCOMPARE(note.at(2), QLocale(QLocale::Chinese, QLocale::China).toString(modified, QLocale::ShortFormat));
    QVERIFY2(!note.at(2).contains(EnglishWord), qPrintable(note.at(2)));
    QVERIFY2(cutShort.isEmpty(), qPrintable(cutShort.join(QLatin1String(" | "))));
}

QTEST_MAIN(TestLocale)
#include "test_locale.moc"
