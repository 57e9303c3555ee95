// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/DailyBackup.h"
#include "db/CsvText.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/Recordset.h"
#include "foodlog/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "foodlog/LogReport.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/FoodChoices.h"
#include "foods/FoodCatalog.h"
#include "foodlog/OwnFoodStore.h"
#include "foodlog/LogSchema.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foodlog/ui/FoodLogView.h"
#include "foodlog/ui/ReportPeriodDialog.h"
#include "foods/ui/CalorieLookup.h"
#include "notebook/NoteExport.h"
#include "notebook/ui/NotebookController.h"
#include "resources/Pictures.h"
#include "db/FileLayout.h"
#include "foodlog/DataLayout.h"
#include "shell/AboutPage.h"
#include "shell/DataCommands.h"
#include "shell/FatalError.h"
#include "shell/MainForm.h"
#include "shell/MainWindow.h"
#include "shell/SkinCaptions.h"
#include "shell/Startup.h"
#include "shell/StartupBackup.h"
#include "skin/ui/SkinButton.h"
#include "support/SmallDisk.h"
#include "support/TempDatabase.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/FileDialog.h"
#include "widgets/ImageButton.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"
#include "widgets/UrlOpener.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QResource>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QSettings>
#include <QPainter>
#include <QSvgRenderer>
#include <QContextMenuEvent>
#include <QMenu>
#include <sqlite3.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>

#include <cmath>
#include <optional>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace {

const QString BinDir = QStringLiteral(PELLOMIR_BIN_DIR);

QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return qRound(t / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

QString textOf(const QWidget *control)
{
    if (auto *edit = qobject_cast<const QLineEdit *>(control))
        return edit->text();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(control))
        return edit->toPlainText();
    if (auto *edit = qobject_cast<const QTextEdit *>(control))
        return edit->toPlainText();
    if (auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<const QPushButton *>(control))
        return button->text();
    return QString();
}

// The names of the window's own controls in a container, topmost first.
QStringList stackingTopFirst(const QWidget *container, const QStringList &controlNames)
{
    QStringList names;
    const QObjectList children = container->children();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if ((*it)->isWidgetType() && controlNames.contains((*it)->objectName()))
            names << (*it)->objectName();
    return names;
}

// Names, sizes and times of the files in a folder: what "nothing created or changed" compares.
QStringList listing(const QString &dir)
{
    QStringList entries;
    const auto infos = QDir(dir).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                               QDir::Name);
    for (const QFileInfo &info : infos)
        entries << QStringLiteral("%1 %2 %3").arg(info.fileName()).arg(info.size()).arg(
            info.lastModified().toMSecsSinceEpoch());
    return entries;
}

const QStringList WindowControls = {"caloriePanel", "deleteButton",      "saveButton",   "newButton",     "nextButton",
                                    "previousButton",     "titleEdit", "titleView", "forwardCommand", "deleteCommand",
                                    "addCommand", "backCommand", "welcomePicture",   "bodyEdit", "bodyView"};
const QStringList PanelControls = {"foodNameBox", "foodTree", "kcalFigure", "panelRule", "kcalUnit", "kcalCaption"};

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void controls_data();
    void controls();
    void tabOrder();
    void fontsAndColours();
    void pictures();
    void welcomeDrawnAtBuildTime_data();
    void welcomeDrawnAtBuildTime();
    void windowIconDrawnAtBuildTime_data();
    void windowIconDrawnAtBuildTime();
    void handCursorDrawnAtBuildTime_data();
    void handCursorDrawnAtBuildTime();
    void picturesDrawnAsTheSvgRendererDraws_data();
    void picturesDrawnAsTheSvgRendererDraws();
    void startState();
    void calorieLine_data();
    void calorieLine();
    void aboutPageBesideProgram();
    void logoWithoutAboutPage();

    void startupFailure_data();
    void startupFailure();
    void startupWaitsForLockedFile();
    void chineseButtons();

    void tabReachesPictureButtons();
    void pictureButtonKeys_data();
    void pictureButtonKeys();
    void closingAsksAboutTypedRecord();

    void skinButtonsNamedAndPlaced();
    void tabReachesSkinButtons();
    void skinButtonPresses_data();
    void skinButtonPresses();
    void skinButtonFocusRing();
    void everyControlHasChineseName();

    void startMakesTheDaysBackup();
    void failingBackupIsToldOnce();

    void windowMenuOpensByMouseAndKeys();
    void exportNotes_data();
    void exportNotes();
    void exportFoodLogAndExercise();
    void ownFoodsMoveToAnotherComputer();
    void reportOfTheLastDays_data();
    void reportOfTheLastDays();
    void backupToChosenPlace();
    void fullDiskOrSpecialFileChangesNothing_data();
    void fullDiskOrSpecialFileChangesNothing();
    void restoreGoodBackup();
    void restoreWhileFoodLogShown();
    void waistKeptThroughBackupRestoreAndExport();
    void everySearchSharesFoodsThatFollowTheFile();
    void restoreRefusesBadFiles_data();
    void restoreRefusesBadFiles();
    void restoreWaitsForNoOtherWriter();
    void newerFileOpensReadOnly();
    void aboutBox();

private:
    // A copy of the program's directory, so that no test can touch the build's files.
    QString copyFixture(QTemporaryDir &dir);

    QTemporaryDir m_fixtureDir;
    std::unique_ptr<MainWindow> m_created;  // as created, before the load step
    std::unique_ptr<MainWindow> m_loaded;  // after the load step
    QStringList m_fatalMessages;
};

QString TestApp::copyFixture(QTemporaryDir &dir)
{
    for (const char *name : {"data.mdb", "Skin1.dat", "about.html"}) {
        const QString source = BinDir + QLatin1Char('/') + QLatin1String(name);
        if (!QFile::copy(source, dir.filePath(QLatin1String(name))))
            qFatal("cannot copy %s: build the program first", qPrintable(source));
    }
    return dir.path();
}

void TestApp::initTestCase()
{
    Startup::prepareApplication(*qApp);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Pellomir"));
    FatalError::setHandler([this](const QString &text) { m_fatalMessages << text; });
    QVERIFY(m_fixtureDir.isValid());
    copyFixture(m_fixtureDir);

    m_created = std::make_unique<MainWindow>(m_fixtureDir.path());
    m_loaded = Startup::openMainWindow(m_fixtureDir.path());
    QVERIFY2(m_loaded, qPrintable(m_fatalMessages.join('\n')));
}

void TestApp::cleanup()
{
    m_fatalMessages.clear();
}

void TestApp::controls_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("onShowAtCreation");
    QTest::addColumn<bool>("onShowAfterLoad");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");

    auto row = [](const char *name, const char *kind, const char *container, QRect geometry,
                  bool created, bool loaded, const QString &text = {}, const QString &tip = {}) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(container)
                            << geometry << created << loaded << text << tip;
    };
    // Listed topmost first within each container.
    row("caloriePanel", "QFrame", "mainWindow", twips(480, 1245, 6615, 4095), true, false);
    row("foodNameBox", "QLineEdit", "caloriePanel", twips(3240, 320, 3255, 255), true, true);
    // Ends at the panel's bottom edge, so its last row and scroll bar are not cut off.
    row("foodTree", "QTreeView", "caloriePanel", twips(0, 240, 3015, 3855), true, true);
    row("kcalFigure", "QLabel", "caloriePanel", twips(4200, 720, 90, 180), true, true);
    row("panelRule", "QFrame", "caloriePanel", QRect(QPoint(216, 40), QPoint(431, 40)), true, true);
    row("kcalUnit", "QLabel", "caloriePanel", twips(4440, 720, 450, 180), true, true, " 大卡");
    row("kcalCaption", "QLabel", "caloriePanel", twips(3240, 720, 900, 180), true, true, "所含热量：");
    row("deleteButton", "ImageButton", "mainWindow", twips(6240, 790, 375, 375), true, false, {}, "删除资料");
    row("saveButton", "ImageButton", "mainWindow", twips(6240, 790, 375, 375), true, false, {}, "保存资料");
    row("newButton", "ImageButton", "mainWindow", twips(5640, 790, 375, 375), true, false, {}, "添加新资料");
    row("nextButton", "ImageButton", "mainWindow", twips(5040, 790, 375, 375), true, false, {}, "下一条资料");
    row("previousButton", "ImageButton", "mainWindow", twips(4440, 790, 375, 375), true, false, {}, "上一条资料");
    row("titleEdit", "QLineEdit", "mainWindow", twips(480, 840, 3855, 270), true, false, "在此输入标题");
    row("titleView", "QLineEdit", "mainWindow", twips(480, 890, 3855, 270), true, true, "");
    row("forwardCommand", "QPushButton", "mainWindow", twips(7200, 2640, 495, 375), false, false, "前进");
    row("deleteCommand", "QPushButton", "mainWindow", twips(7200, 2160, 495, 375), false, false, "删除");
    row("addCommand", "QPushButton", "mainWindow", twips(7200, 1680, 495, 375), false, false, "添加");
    row("backCommand", "QPushButton", "mainWindow", twips(7200, 1200, 495, 375), false, false, "后退");
    row("welcomePicture", "PictureBox", "mainWindow", twips(480, 1245, 6615, 4095), true, true);
    row("categoryList", "QListWidget", "welcomePicture", twips(720, 240, 2295, 240), false, false);
    row("bodyEdit", "QPlainTextEdit", "mainWindow", twips(480, 1200, 6615, 4095), true, false, "在此输入内容");
    row("bodyView", "QTextEdit", "mainWindow", twips(480, 1245, 6615, 4095), true, true, "");
}

void TestApp::controls()
{
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QRect, geometry);
    QFETCH(bool, onShowAtCreation);
    QFETCH(bool, onShowAfterLoad);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    for (MainWindow *window : {m_created.get(), m_loaded.get()}) {
        const bool loaded = window == m_loaded.get();
        auto *control = window->findChild<QWidget *>(name);
        QVERIFY2(control, qPrintable(name));
        QVERIFY2(control->inherits(kind.toLatin1()), control->metaObject()->className());
        QCOMPARE(control->parentWidget()->objectName(), container);
        // The skin draws around the controls; it must not move them.
        QCOMPARE(control->geometry(), geometry);
        // Nothing is cut off by its container's edges.
        QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
        QCOMPARE(!control->isHidden(), loaded ? onShowAfterLoad : onShowAtCreation);
        QCOMPARE(textOf(control), text);
        QCOMPARE(control->toolTip(), toolTip);
    }

    // Where controls overlap, the one listed higher lies above.
    const QStringList &stackingOrder = PanelControls.contains(name) ? PanelControls : WindowControls;
    if (stackingOrder.contains(name)) {
        auto *control = m_loaded->findChild<QWidget *>(name);
        QCOMPARE(stackingTopFirst(control->parentWidget(), stackingOrder).indexOf(name),
                 stackingOrder.indexOf(name));
    }
}

void TestApp::tabOrder()
{
    // The tab order, first to last; the frame, the labels and the rule take no focus.
    const QStringList expected = {"bodyView",    "backCommand", "addCommand", "deleteCommand", "forwardCommand",
                                  "titleView",   "titleEdit", "previousButton",     "nextButton",        "newButton",
                                  "saveButton",      "bodyEdit",  "deleteButton",     "categoryList",     "foodTree",
                                  "foodNameBox"};
    const QStringList controlNames = WindowControls + PanelControls + QStringList{"categoryList"};
    QStringList chain;
    QWidget *start = m_loaded->form().bodyView;
    QWidget *widget = start;
    do {
        if (controlNames.contains(widget->objectName()) && widget->focusPolicy() & Qt::TabFocus
            && !chain.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != start);
    QCOMPARE(chain, expected);

    for (const char *noFocus : {"caloriePanel", "kcalCaption", "kcalUnit", "kcalFigure", "panelRule", "welcomePicture"})
        QVERIFY2(!(m_loaded->findChild<QWidget *>(noFocus)->focusPolicy() & Qt::TabFocus), noFocus);
}

void TestApp::fontsAndColours()
{
    const QColor navy(0x1E, 0x3A, 0x8A);
    const QFont song = MainFormLayout::songFont();
    for (QWidget *input : {static_cast<QWidget *>(m_loaded->form().titleView),
                           static_cast<QWidget *>(m_loaded->form().titleEdit),
                           static_cast<QWidget *>(m_loaded->form().bodyEdit)}) {
        QCOMPARE(input->font().family(), song.family());
        QCOMPARE(input->font().pointSizeF(), 10.5);
        QCOMPARE(input->font().weight(), QFont::Normal);
        QCOMPARE(input->palette().color(QPalette::Text), navy);
    }
    QCOMPARE(m_loaded->form().titleView->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    QCOMPARE(m_loaded->form().titleEdit->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    // The empty title box at the start says what it is for, in a grey that reads (4.5:1 at least).
    QLineEdit *titleView = m_loaded->form().titleView;
    QCOMPARE(titleView->placeholderText(), QStringLiteral("选择右侧的栏目查看资料"));
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double base = luminance(titleView->palette().color(QPalette::Base));
    const double grey = luminance(titleView->palette().color(QPalette::PlaceholderText));
    QVERIFY((base + 0.05) / (grey + 0.05) >= 4.5);
    QCOMPARE(m_loaded->form().bodyEdit->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(m_loaded->form().bodyView->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(m_loaded->form().foodNameBox->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(m_loaded->form().caloriePanel->palette().color(QPalette::Window), QColor(0xFA, 0xFA, 0xFA));
    // Everything else keeps the window's font.
    QCOMPARE(m_loaded->form().kcalCaption->font(), m_loaded->font());
    QCOMPARE(m_loaded->form().foodTree->font(), m_loaded->font());

    // Records are shown, not edited: what is typed there would never be saved.
    QVERIFY(m_loaded->form().titleView->isReadOnly());
    QVERIFY(m_loaded->form().bodyView->isReadOnly());
    QVERIFY(!m_loaded->form().titleEdit->isReadOnly());
    QVERIFY(!m_loaded->form().bodyEdit->isReadOnly());
    QVERIFY(m_loaded->form().foodTree->isHeaderHidden());
}

// The welcome picture is stored drawn for the scales most screens have, and shows exactly as a
// rendering of its SVG would; other scales are rendered.
void TestApp::welcomeDrawnAtBuildTime_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("stored");
    QTest::newRow("1x") << 1.0 << true;
    QTest::newRow("2x") << 2.0 << true;
    QTest::newRow("1.5x") << 1.5 << false;
    QTest::newRow("3x") << 3.0 << false;
}

void TestApp::welcomeDrawnAtBuildTime()
{
    QFETCH(qreal, dpr);
    QFETCH(bool, stored);
    const QSize size = m_loaded->form().welcomePicture->pictureSize();
    const QString path = Pictures::prerenderedPath(QStringLiteral("welcome"), size, dpr);
    QCOMPARE(!path.isEmpty() && QResource(path).isValid(), stored);

    const QPixmap shown = Pictures::pixmap(QStringLiteral("welcome"), size, dpr);
    const QPixmap rendered = Pictures::renderedPixmap(QStringLiteral("welcome"), size, dpr);
    QCOMPARE(shown.devicePixelRatio(), dpr);
    QCOMPARE(shown.size(), QSize(qRound(size.width() * dpr), qRound(size.height() * dpr)));
    QCOMPARE(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             rendered.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    // A stored picture of another size is never stretched to fit.
    const QString halfPath = Pictures::prerenderedPath(QStringLiteral("welcome"), size / 2, dpr);
    QVERIFY(halfPath.isEmpty() || !QResource(halfPath).isValid());
    QCOMPARE(Pictures::pixmap(QStringLiteral("welcome"), size / 2, dpr).size(),
             QSize(qRound(size.width() / 2 * dpr), qRound(size.height() / 2 * dpr)));
}

// The window system is handed the window icon at several sizes as the window is made; those
// are stored drawn, and show exactly as a rendering would. Other sizes are rendered.
void TestApp::windowIconDrawnAtBuildTime_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("stored");
    for (int pixels : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d", pixels) << pixels << true;
    QTest::newRow("20") << 20 << false;
}

void TestApp::windowIconDrawnAtBuildTime()
{
    QFETCH(int, pixels);
    QFETCH(bool, stored);
    const QSize size(pixels, pixels);
    QCOMPARE(QResource(Pictures::prerenderedPath(QStringLiteral("icon"), size, 1)).isValid(), stored);
    const QImage shown = Pictures::windowIcon().pixmap(size, 1.0).toImage();
    QCOMPARE(shown.size(), size);
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
             Pictures::renderedPixmap(QStringLiteral("icon"), size, 1)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

// The pointing hand is made with the picture buttons, before the first frame: it is stored drawn
// for the scales most screens have, exactly as a rendering would draw it; other scales are
// rendered. Its hot spot is the tip of the finger at any scale.
void TestApp::handCursorDrawnAtBuildTime_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("stored");
    QTest::newRow("1x") << 1.0 << true;
    QTest::newRow("2x") << 2.0 << true;
    QTest::newRow("1.5x") << 1.5 << false;
}

void TestApp::handCursorDrawnAtBuildTime()
{
    QFETCH(qreal, dpr);
    QFETCH(bool, stored);
    const QString name = QStringLiteral("cursor-hand");
    const QString path = Pictures::prerenderedPath(name, QSize(32, 32), dpr);
    QCOMPARE(!path.isEmpty() && QResource(path).isValid(), stored);
    const QCursor hand = Pictures::handCursor(dpr);
    QCOMPARE(hand.hotSpot(), QPoint(qRound(6 * dpr), qRound(2 * dpr)));
    QCOMPARE(hand.pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             Pictures::renderedPixmap(name, QSize(32, 32), dpr)
                 .toImage()
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

namespace {

// A picture as Qt's SVG renderer draws it: antialiased, filling `devicePixels`, on `ground`.
QImage svgRendererImage(const QString &name, QSize devicePixels, const QColor &ground)
{
    QSvgRenderer renderer(Pictures::resourcePath(name));
    if (!renderer.isValid())
        return {};
    QImage image(devicePixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(ground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(devicePixels)));
    painter.end();
    return image;
}

} // namespace

// The pictures are drawn through Qt's SVG image plugin, loaded on first use, and look exactly as
// the SVG renderer draws them, whichever way the program shows them: rendered, stored drawn at
// build time, or as an icon (on a clear ground, or the tree's balls on white), at the size the
// picture's own proportions give.
void TestApp::picturesDrawnAsTheSvgRendererDraws_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<QColor>("ground");
    const QColor clear = Qt::transparent;
    QTest::newRow("welcome 1x, stored") << QStringLiteral("welcome") << QSize(434, 272) << 1.0 << clear;
    QTest::newRow("welcome 2x, stored") << QStringLiteral("welcome") << QSize(434, 272) << 2.0 << clear;
    QTest::newRow("welcome 1.5x") << QStringLiteral("welcome") << QSize(434, 272) << 1.5 << clear;
    QTest::newRow("icon 16, stored") << QStringLiteral("icon") << QSize(16, 16) << 1.0 << clear;
    QTest::newRow("icon 20") << QStringLiteral("icon") << QSize(20, 20) << 1.0 << clear;
    QTest::newRow("icon 256, stored") << QStringLiteral("icon") << QSize(256, 256) << 1.0 << clear;
    QTest::newRow("hand 1x, stored") << QStringLiteral("cursor-hand") << QSize(32, 32) << 1.0 << clear;
    QTest::newRow("hand 3x") << QStringLiteral("cursor-hand") << QSize(32, 32) << 3.0 << clear;
    for (const char *button : {"button-prev", "button-next", "button-add", "button-delete", "button-save"}) {
        QTest::addRow("%s 1x", button) << QString::fromLatin1(button) << QSize(25, 25) << 1.0 << clear;
        QTest::addRow("%s 2x", button) << QString::fromLatin1(button) << QSize(25, 25) << 2.0 << clear;
    }
    for (const char *ball : {"ball-pink", "ball-green", "ball-purple"})
        QTest::addRow("%s on white", ball) << QString::fromLatin1(ball) << QSize(16, 16) << 1.0
                                           << QColor(Qt::white);
}

void TestApp::picturesDrawnAsTheSvgRendererDraws()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(qreal, dpr);
    QFETCH(QColor, ground);
    const auto premultiplied = [](const QImage &image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    if (ground.alpha() == 0) {
        const QSize devicePixels(qRound(size.width() * dpr), qRound(size.height() * dpr));
        QImage expected = svgRendererImage(name, devicePixels, ground);
        QVERIFY(!expected.isNull());
        expected.setDevicePixelRatio(dpr);
        QCOMPARE(premultiplied(Pictures::pixmap(name, size, dpr).toImage()), expected);
        QCOMPARE(premultiplied(Pictures::renderedPixmap(name, size, dpr).toImage()), expected);
    }
    // As an icon, at scale 1: drawn within the size asked for, in the picture's proportions.
    const QIcon icon = ground.alpha() == 0 ? Pictures::icon(name) : Pictures::nodeImages().value(
        QStringList{QStringLiteral("ball-pink"), QStringLiteral("ball-green"), QStringLiteral("ball-purple")}.indexOf(name));
    QVERIFY(!icon.isNull());
    const QSize drawn = QSvgRenderer(Pictures::resourcePath(name)).defaultSize().scaled(size, Qt::KeepAspectRatio);
    QCOMPARE(icon.actualSize(size), drawn);
    QImage expected = svgRendererImage(name, drawn, ground);
    if (ground.alpha() == 255)
        expected = expected.convertToFormat(QImage::Format_RGB32);
    const QImage shown = icon.pixmap(size, 1.0).toImage();
    QCOMPARE(shown.convertToFormat(expected.format()), expected);
}

void TestApp::pictures()
{
    QCOMPARE(m_loaded->form().welcomePicture->pictureSize(), QSize(434, 272));
    QCOMPARE(m_loaded->form().welcomePicture->pictureName(), QStringLiteral("welcome"));
    const QImage welcome = m_loaded->form().welcomePicture->grab().toImage();
    // The picture at the top-left, the box's own background in the strips right and below.
    QCOMPARE(QColor(welcome.pixel(437, 100)), m_loaded->form().welcomePicture->palette().color(QPalette::Window));
    QCOMPARE(QColor(welcome.pixel(200, 272)), m_loaded->form().welcomePicture->palette().color(QPalette::Window));

    const QList<std::pair<ImageButton *, const char *>> buttons = {
        {m_loaded->form().previousButton, "button-prev"}, {m_loaded->form().nextButton, "button-next"}, {m_loaded->form().newButton, "button-add"},
        {m_loaded->form().deleteButton, "button-delete"}, {m_loaded->form().saveButton, "button-save"}};
    for (const auto &[button, picture] : buttons) {
        QCOMPARE(button->pictureName(), QLatin1String(picture));
        QCOMPARE(button->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(button->cursor().hotSpot(), QPoint(6, 2));
        // Screen readers have no text to read on a picture; they read its tooltip.
        QCOMPARE(button->accessibleName(), button->toolTip());
        const QImage drawn = button->grab().toImage();
        QCOMPARE(drawn.size(), QSize(25, 25));
        QSet<QRgb> colours;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                colours.insert(drawn.pixel(x, y));
        QVERIFY2(colours.size() > 8, picture);
    }
    QCOMPARE(m_loaded->form().welcomePicture->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(m_loaded->form().treeIcons.size(), 6);
    for (const QIcon &image : m_loaded->form().treeIcons)
        QVERIFY(!image.pixmap(16, 16).isNull());
    QVERIFY(!m_loaded->windowIcon().isNull());
}

void TestApp::startState()
{
    MainWindow &w = *m_loaded;
    QCOMPARE(w.objectName(), QStringLiteral("mainWindow"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Pellomir1.0"));
    QCOMPARE(m_created->size(), QSize(603, 388));
    // The skin gives the window its own shape and size.
    QCOMPARE(w.size(), QSize(632, 443));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QWidget *shown : {static_cast<QWidget *>(w.form().welcomePicture), static_cast<QWidget *>(w.form().titleView),
                           static_cast<QWidget *>(w.form().bodyView)})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (QWidget *hidden :
         {static_cast<QWidget *>(w.form().previousButton), static_cast<QWidget *>(w.form().nextButton), static_cast<QWidget *>(w.form().newButton),
          static_cast<QWidget *>(w.form().deleteButton), static_cast<QWidget *>(w.form().saveButton),
          static_cast<QWidget *>(w.form().titleEdit), static_cast<QWidget *>(w.form().bodyEdit),
          static_cast<QWidget *>(w.form().caloriePanel), static_cast<QWidget *>(w.form().foodTree),
          static_cast<QWidget *>(w.form().foodNameBox), static_cast<QWidget *>(w.form().categoryList),
          static_cast<QWidget *>(w.form().backCommand), static_cast<QWidget *>(w.form().forwardCommand),
          static_cast<QWidget *>(w.form().addCommand), static_cast<QWidget *>(w.form().deleteCommand)})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QVERIFY(w.form().titleView->text().isEmpty());
    // bodyView is on show, but the welcome picture covers it.
    QVERIFY(w.childAt(w.form().bodyView->geometry().center()) == w.form().welcomePicture);

    QVERIFY(w.database() && w.database()->isOpen());
    QVERIFY(w.notebook());
    QVERIFY(!w.notebook()->records());
    // The food tree was built from the database: the root with the categories under it.
    const QAbstractItemModel *tree = w.form().foodTree->model();
    QCOMPARE(tree->rowCount(), 1);
    const QModelIndex root = tree->index(0, 0);
    QCOMPARE(root.data().toString(), QStringLiteral("热量计算-食物分类"));
    QVERIFY(tree->rowCount(root) > 0);
    QCOMPARE(w.form().categoryList->count(), tree->rowCount(root));
    QVERIFY(m_fatalMessages.isEmpty());
}

void TestApp::calorieLine_data()
{
    QTest::addColumn<QString>("figure");
    QTest::newRow("none") << QString();
    QTest::newRow("one digit") << "7";
    QTest::newRow("two digits") << "46";
    QTest::newRow("three digits") << "346";
    QTest::newRow("five characters") << "12345";
    QTest::newRow("decimal") << "1234.56";
}

// "所含热量：346 大卡": the figure never covers the unit, which stands one space after it;
// with no food on show the unit keeps its place and nothing but the panel lies between.
void TestApp::calorieLine()
{
    QFETCH(QString, figure);
    MainWindow &w = *m_loaded;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.hotSpotClicked(QStringLiteral("c"));
    QVERIFY(w.form().caloriePanel->isVisible());

    const QFontMetrics metrics(w.form().kcalFigure->font());
    w.form().kcalFigure->setText(QStringLiteral("88888888")); // a wide figure before, as after another food
    QTRY_VERIFY(w.form().kcalFigure->width() >= metrics.horizontalAdvance(w.form().kcalFigure->text()));
    w.form().kcalFigure->setText(figure); // as the calorie lookup does
    if (figure.isEmpty()) {
        QTRY_COMPARE(w.form().kcalUnit->pos(), twips(4440, 720, 450, 180).topLeft());
    } else {
        QTRY_COMPARE(w.form().kcalUnit->x(), w.form().kcalFigure->x() + w.form().kcalFigure->width());
        QVERIFY(w.form().kcalFigure->width() >= metrics.horizontalAdvance(figure));
    }
    QCOMPARE(w.form().kcalFigure->pos(), twips(4200, 720, 90, 180).topLeft());
    QCOMPARE(w.form().kcalUnit->y(), w.form().kcalFigure->y());
    QVERIFY(w.form().kcalUnit->width() >= QFontMetrics(w.form().kcalUnit->font()).horizontalAdvance(w.form().kcalUnit->text()));
    QVERIFY(w.form().caloriePanel->rect().contains(w.form().kcalUnit->geometry()));

    // No label paints a ground of its own over the panel.
    for (QLabel *label : {static_cast<QLabel *>(w.form().kcalCaption), static_cast<QLabel *>(w.form().kcalUnit),
                          static_cast<QLabel *>(w.form().kcalFigure)})
        QVERIFY2(!label->autoFillBackground(), qPrintable(label->objectName()));
    if (figure.isEmpty()) {
        const QImage panel = w.form().caloriePanel->grab().toImage();
        const QColor ground = w.form().caloriePanel->palette().color(QPalette::Window);
        const QRect between(w.form().kcalCaption->geometry().right() + 1, w.form().kcalFigure->y(),
                            w.form().kcalUnit->x() - w.form().kcalCaption->geometry().right() - 1, w.form().kcalFigure->height());
        const qreal dpr = panel.devicePixelRatio();
        for (int y = between.top(); y <= between.bottom(); ++y)
            for (int x = between.left(); x <= between.right(); ++x)
                QCOMPARE(QColor(panel.pixel(int(x * dpr), int(y * dpr))), ground);
    }
    w.form().kcalFigure->setText(QString());
}

// The mascot opens our About page, a self-contained file beside the program.
void TestApp::aboutPageBesideProgram()
{
    const QString built = AboutPage::file(BinDir);
    QCOMPARE(QFileInfo(built).dir(), QDir(BinDir));
    QFile page(built);
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(built));
    const QByteArray bytes = page.readAll();
    const QString html = QString::fromUtf8(bytes);
    QCOMPARE(html.toUtf8(), bytes); // UTF-8 throughout
    QVERIFY(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    for (const QString &part : {QStringLiteral("lang=\"zh-CN\""), QStringLiteral("热量计算"),
                                QStringLiteral("瘦身日记"), QStringLiteral("快捷键"), QStringLiteral("<kbd>Tab</kbd>"),
                                QStringLiteral("中国食物成分表"), QStringLiteral("食品營養成分資料庫"),
                                QStringLiteral("GPL-3.0-or-later")})
        QVERIFY2(html.contains(part), qPrintable(part));
    // Self-contained: it works offline, with nothing fetched from elsewhere.
    for (const QString &outside : {QStringLiteral("src=\"http"), QStringLiteral("href=\"http"),
                                   QStringLiteral("url(http"), QStringLiteral("@import"),
                                   QStringLiteral("<link"), QStringLiteral("<script")})
        QVERIFY2(!html.contains(outside, Qt::CaseInsensitive), qPrintable(outside));
    // One form of address, 您.
    QVERIFY2(!html.contains(QStringLiteral("你")), qPrintable(html.mid(html.indexOf(QStringLiteral("你")) - 20, 40)));
    // Its one picture is the window's own mascot, as the skin draws it.
    QFile skinPicture(QStringLiteral(PELLOMIR_SKIN_PICTURE));
    QVERIFY(skinPicture.open(QIODevice::ReadOnly));
    const QString skin = QString::fromUtf8(skinPicture.readAll());
    const qsizetype mascotBegin = skin.indexOf(QStringLiteral("<g id=\"mascot\">"));
    const qsizetype mascotEnd = skin.indexOf(QStringLiteral("<!-- /mascot -->"));
    QVERIFY(mascotBegin > 0 && mascotEnd > mascotBegin);
    QVERIFY(html.contains(skin.mid(mascotBegin, mascotEnd - mascotBegin).trimmed()));
    QCOMPARE(html.count(QStringLiteral("<svg")), 1);

    // The program's own window opens it as a local file.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programDir = copyFixture(dir);
    auto window = Startup::openMainWindow(programDir);
    QVERIFY(window);
    UrlOpener::Recorder urls;
    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("logo"));
    QCOMPARE(urls.asked(), QList<QUrl>{QUrl::fromLocalFile(AboutPage::file(programDir))});
    QVERIFY(boxes.asked().isEmpty());
}

// Without its About page the mascot says which file is missing, and nothing else changes.
void TestApp::logoWithoutAboutPage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programDir = copyFixture(dir);
    const QString file = AboutPage::file(programDir);
    QVERIFY(QFile::remove(file));
    auto window = Startup::openMainWindow(programDir);
    QVERIFY(window);
    window->hotSpotClicked(QStringLiteral("a"));
    const QString title = window->form().titleView->text();
    UrlOpener::Recorder urls;
    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("logo"));
    QVERIFY(urls.asked().isEmpty());
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("找不到关于页面：") + QDir::toNativeSeparators(file));
    QCOMPARE(window->form().titleView->text(), title);
    QVERIFY(!window->form().caloriePanel->isVisible());
}

void TestApp::startupFailure_data()
{
    QTest::addColumn<QStringList>("remove");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<QString>("named");

    const QByteArray garbage = QByteArray("This is not what the program keeps here.\n").repeated(40);
    QTest::newRow("data.mdb missing") << QStringList{"data.mdb"} << "" << QByteArray() << "data.mdb";
    QTest::newRow("data.mdb garbage") << QStringList{} << "data.mdb" << garbage << "data.mdb";
    // An empty file is refused as empty before the engine takes it for a database.
    QTest::newRow("data.mdb empty") << QStringList{} << "data.mdb" << QByteArray() << "data.mdb";
    QTest::newRow("data.mdb is a folder") << QStringList{"data.mdb"} << "data.mdb/" << QByteArray()
                                          << "data.mdb";
    QTest::newRow("Skin1.dat missing") << QStringList{"Skin1.dat"} << "" << QByteArray() << "Skin1.dat";
    QTest::newRow("Skin1.dat garbage") << QStringList{} << "Skin1.dat" << garbage << "Skin1.dat";
    QTest::newRow("Skin1.dat empty") << QStringList{} << "Skin1.dat" << QByteArray() << "Skin1.dat";
    QTest::newRow("Skin1.dat cut short") << QStringList{} << "Skin1.dat" << QByteArray("half")
                                         << "Skin1.dat";
    // The skin is loaded first; the database is never opened then.
    QTest::newRow("both missing") << QStringList{"Skin1.dat", "data.mdb"} << "" << QByteArray()
                                  << "Skin1.dat";
}

void TestApp::startupFailure()
{
    QFETCH(QStringList, remove);
    QFETCH(QString, replace);
    QFETCH(QByteArray, replacement);
    QFETCH(QString, named);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    for (const QString &name : remove)
        QVERIFY(QFile::remove(dir.filePath(name)));
    if (replace.endsWith('/')) {
        QVERIFY(QDir(dir.path()).mkdir(replace.chopped(1)));
    } else if (!replace.isEmpty()) {
        QFile file(dir.filePath(replace));
        if (QTest::currentDataTag() == QByteArray("Skin1.dat cut short")) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            replacement = file.read(file.size() / 2);
            file.close();
        }
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(replacement);
    }
    const QStringList before = listing(dir.path());
    const auto visibleWindows = [] {
        QWidgetList visible;
        for (QWidget *topLevel : QApplication::topLevelWidgets())
            if (topLevel->isVisible())
                visible << topLevel;
        return visible;
    };
    const QWidgetList visibleBefore = visibleWindows();

    const auto window = Startup::openMainWindow(dir.path());

    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    const QString &message = m_fatalMessages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Pellomir 无法启动。")), qPrintable(message));
    QVERIFY2(message.contains(dir.filePath(named)), qPrintable(message));
    QCOMPARE(listing(dir.path()), before);
    QCOMPARE(visibleWindows(), visibleBefore);
}

void TestApp::startupWaitsForLockedFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = copyFixture(dir);
    std::optional<Qt::CursorShape> cursorWhileLoading;
    std::unique_ptr<MainWindow> window;
    {
        // Another program holds data.mdb for a moment: the start waits for it,
        // with the busy cursor, and then comes up.
        // (The lock's thread looks at the cursor while this thread sleeps in the wait.)
        TempDatabase::PassingLock lock(dir.filePath(QStringLiteral("data.mdb")), 300, [&] {
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                cursorWhileLoading = cursor->shape();
        });
        window = Startup::openMainWindow(folder);
    }
    QVERIFY(window);
    QCOMPARE(m_fatalMessages, QStringList());
    QCOMPARE(cursorWhileLoading, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    const QAbstractItemModel *tree = window->form().foodTree->model();
    QVERIFY(tree->rowCount(tree->index(0, 0)) > 0); // the food tree was built
    window.reset();

    // Held all through the wait: the message says the file is in use and what to do, and does
    // not send the user to reinstall a program that lacks nothing.
    {
        TempDatabase::WriteLock held(dir.filePath(QStringLiteral("data.mdb")), "BEGIN EXCLUSIVE");
        window = Startup::openMainWindow(folder);
    }
    QVERIFY(!window);
    QCOMPARE(m_fatalMessages.size(), 1);
    QVERIFY2(m_fatalMessages.first().contains(QStringLiteral("正被另一个程序使用")), qPrintable(m_fatalMessages.first()));
    QVERIFY2(!m_fatalMessages.first().contains(QStringLiteral("重新安装")), qPrintable(m_fatalMessages.first()));
}

void TestApp::chineseButtons()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Pellomir"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
}

void TestApp::tabReachesPictureButtons()
{
    MessageBox::Recorder boxes;
    MainWindow &w = *m_loaded;
    // A section on show with a record being written: all five buttons are there.
    for (QWidget *button : {w.form().previousButton, w.form().nextButton, w.form().newButton, w.form().deleteButton, w.form().saveButton})
        button->show();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.form().titleView->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.form().titleView));

    QStringList reached;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached.mid(0, 5), (QStringList{"previousButton", "nextButton", "newButton", "saveButton", "deleteButton"}));

    // Space on a focused picture button clicks it once.
    QSignalSpy clicked(w.form().nextButton, &QAbstractButton::clicked);
    w.form().nextButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(w.form().nextButton, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);

    for (QWidget *button : {w.form().previousButton, w.form().nextButton, w.form().newButton, w.form().deleteButton, w.form().saveButton})
        button->hide();
}

void TestApp::pictureButtonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Space") << int(Qt::Key_Space) << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << 1;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("letter") << int(Qt::Key_A) << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
}

void TestApp::pictureButtonKeys()
{
    QFETCH(int, key);
    QFETCH(int, clicks);
    QWidget window;
    auto *button = new ImageButton(QStringLiteral("button-add"), QStringLiteral("添加新资料"), &window);
    auto *other = new QLineEdit(&window);
    other->move(40, 0);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    button->setFocus(Qt::TabFocusReason);
    QVERIFY(button->hasFocus());
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::keyClick(button, Qt::Key(key));
    QCOMPARE(clicked.count(), clicks);

    // The focus ring shows where the keyboard is; it goes with the focus.
    const QImage focused = button->grab().toImage();
    other->setFocus(Qt::TabFocusReason);
    QVERIFY(!button->hasFocus());
    QVERIFY(button->grab().toImage() != focused);

    // A mouse click works but leaves no focus ring behind.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clicked.count(), clicks + 1);
    QVERIFY(!button->hasFocus());
}

void TestApp::closingAsksAboutTypedRecord()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyFixture(dir));
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("a"));
    QTest::mouseClick(window->form().newButton, Qt::LeftButton);
    QVERIFY(window->form().titleEdit->isVisible());
    window->form().titleEdit->insert(QStringLiteral("午餐"));
    boxes.clear();

    MessageBox::setNextAnswer(MessageBox::Cancel);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(window->form().titleEdit->text(), QStringLiteral("午餐"));
    QCOMPARE(boxes.asked().size(), 1);

    MessageBox::setNextAnswer(MessageBox::Ok);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
}

void TestApp::skinButtonsNamedAndPlaced()
{
    MainWindow &w = *m_loaded;
    // Down the right-hand column, then the mascot and the window boxes.
    QStringList captions;
    for (const SkinCaption &entry : skinCaptions())
        captions << entry.object + QLatin1Char('=') + entry.caption;
    QCOMPARE(captions, QStringList({"a=瘦身食谱", "b=有氧运动", "c=热量计算", "d=瘦身心得", "e=瘦身日记",
                                    "f=饮食记录", "logo=访问主页", "-=最小化", "x=关闭"}));
    int made = 0;
    for (const SkinCaption &entry : skinCaptions()) {
        const QString object = entry.object;
        const SkinObject *skinObject = w.skinEngine().object(object);
        auto *button = w.findChild<SkinButton *>(QStringLiteral("skin_") + object);
        // Every object of the skin that the table names has its button, and only those.
        QCOMPARE(button != nullptr, skinObject != nullptr);
        if (!button)
            continue;
        ++made;
        QCOMPARE(button->skinObjectName(), object);
        QCOMPARE(button->geometry(), skinObject->rect());
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(button);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Button);
        QCOMPARE(face->text(QAccessible::Name), entry.caption);
        QVERIFY(face->actionInterface());
        QVERIFY(face->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        // The mouse goes through to the skin underneath.
        QVERIFY(button->testAttribute(Qt::WA_TransparentForMouseEvents));
    }
    // The skin built with the program holds the five section buttons, the mascot and the boxes.
    QVERIFY2(made >= 8, qPrintable(QString::number(made)));
    QCOMPARE(w.findChildren<SkinButton *>().size(), made);
}

void TestApp::tabReachesSkinButtons()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyFixture(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The start state: the title has the focus (the food tree's build gives it).
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.form().titleView));

    QStringList expected;
    for (const SkinCaption &entry : skinCaptions())
        if (w.skinEngine().object(entry.object))
            expected << QStringLiteral("skin_") + entry.object;
    QStringList reached;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached, expected);
    // Then on round to the window's own controls, and Shift+Tab walks back.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!QApplication::focusWidget()->inherits("SkinButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.last());
}

void TestApp::skinButtonPresses_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("how");
    QTest::newRow("a by Space") << "a" << "Space";
    QTest::newRow("b by Return") << "b" << "Return";
    QTest::newRow("c by Enter") << "c" << "Enter";
    QTest::newRow("d by screen reader") << "d" << "press action";
    QTest::newRow("e by screen reader") << "e" << "press action";
    QTest::newRow("logo by Return") << "logo" << "Return";
    QTest::newRow("- by Space") << "-" << "Space";
    QTest::newRow("a by letter: nothing") << "a" << "A";
}

void TestApp::skinButtonPresses()
{
    QFETCH(QString, object);
    QFETCH(QString, how);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyFixture(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MessageBox::Recorder boxes;
    UrlOpener::Recorder urls;
    QSignalSpy clicks(&w.skinEngine(), &SkinEngine::clicked);

    auto *button = w.findChild<SkinButton *>(QStringLiteral("skin_") + object);
    QVERIFY(button);
    button->setFocus(Qt::TabFocusReason);
    QVERIFY(button->hasFocus());
    if (how == QLatin1String("Space"))
        QTest::keyClick(button, Qt::Key_Space);
    else if (how == QLatin1String("Return"))
        QTest::keyClick(button, Qt::Key_Return);
    else if (how == QLatin1String("Enter"))
        QTest::keyClick(button, Qt::Key_Enter);
    else if (how == QLatin1String("A"))
        QTest::keyClick(button, Qt::Key_A);
    else
        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());

    if (how == QLatin1String("A")) {
        QCoreApplication::processEvents();
        QVERIFY(!button->isDown());
        QCOMPARE(clicks.count(), 0);
        return;
    }
    // The same notification a mouse click gives, once. A screen reader's press shows the pressed
    // look for a moment and clicks as it ends: once the button is up, the press is over.
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(clicks.first().first().value<SkinObject>().name(), object);
    QTRY_VERIFY(!button->isDown());
    QCoreApplication::processEvents();
    QCOMPARE(clicks.count(), 1);

    // And the program acts on it as on a click.
    if (object == QLatin1String("a") || object == QLatin1String("b") || object == QLatin1String("d")
        || object == QLatin1String("e")) {
        QVERIFY(w.notebook()->records());
        QVERIFY(w.form().previousButton->isVisible());
    } else if (object == QLatin1String("c")) {
        QVERIFY(w.form().caloriePanel->isVisible());
    } else if (object == QLatin1String("logo")) {
        QCOMPARE(urls.asked().size(), 1);
    } else if (object == QLatin1String("-")) {
        QTRY_VERIFY(w.isMinimized());
    }
    QVERIFY(boxes.asked().isEmpty());
}

void TestApp::skinButtonFocusRing()
{
    MainWindow &w = *m_loaded;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *button = w.findChild<SkinButton *>(QStringLiteral("skin_a"));
    QVERIFY(button);
    w.form().titleView->setFocus(Qt::OtherFocusReason);
    const QImage before = w.grab(button->geometry()).toImage();
    button->setFocus(Qt::TabFocusReason);
    const QImage focused = w.grab(button->geometry()).toImage();
    w.form().titleView->setFocus(Qt::TabFocusReason);
    const QImage after = w.grab(button->geometry()).toImage();
    QVERIFY(focused != before);
    QCOMPARE(after, before);

    // A ring along the edges: many pixels of its rim change, the middle (the caption) does not.
    int rimChanged = 0;
    int middleChanged = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == focused.pixel(x, y))
                continue;
            const bool rim = x < 6 || y < 6 || x >= before.width() - 6 || y >= before.height() - 6;
            ++(rim ? rimChanged : middleChanged);
        }
    QVERIFY2(rimChanged > before.width(), qPrintable(QString::number(rimChanged)));
    QCOMPARE(middleChanged, 0);

    // A mouse click on the skin leaves no ring behind: the button never takes the focus.
    QTest::mouseClick(&w, Qt::LeftButton, {}, button->geometry().center());
    QVERIFY(!button->hasFocus());
}

void TestApp::everyControlHasChineseName()
{
    MainWindow &w = *m_loaded;
    // Shown with a food picked, so the calorie figure has a text.
    const QAbstractItemModel *tree = w.form().foodTree->model();
    const QModelIndex category = tree->index(0, 0, tree->index(0, 0));
    QVERIFY(category.isValid() && tree->rowCount(category) > 0);
    w.calorieLookup()->onTreeNodeClicked(tree->index(0, 0, category));
    QVERIFY(!w.form().kcalFigure->text().isEmpty());
    QCOMPARE(w.form().kcalFigure->accessibleName(), w.form().kcalFigure->text() + QStringLiteral(" 大卡"));

    const auto isHan = [](QChar c) { return c.script() == QChar::Script_Han; };
    int checked = 0;
    const auto controls = w.findChildren<QWidget *>();
    for (QWidget *control : controls) {
        // Parts of other controls (scroll bars, viewports) are named by their owners.
        if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        QVERIFY(face);
        const QString name = face->text(QAccessible::Name);
        QVERIFY2(std::any_of(name.begin(), name.end(), isHan),
                 qPrintable(control->objectName() + QStringLiteral(": “") + name
                            + QStringLiteral("”")));
        ++checked;
    }
    QVERIFY(checked >= 30);
    QCOMPARE(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Window);
}

void TestApp::startMakesTheDaysBackup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = copyFixture(dir);
    auto window = Startup::openMainWindow(folder);
    QVERIFY(window);
    DailyBackup backups(window->dataFile());
    // Not before the first frame: copying the file would hold the window back.
    window->finishStartAfterFirstFrame();
    QVERIFY(backups.days().isEmpty());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_COMPARE(backups.days(), QList<QDate>{QDate::currentDate()});
    QVERIFY(window->backupNotice().isEmpty());
    window.reset();
    // A second start the same day makes no second copy.
    window = Startup::openMainWindow(folder);
    QVERIFY(window);
    window->runDailyBackup();
    QCOMPARE(QDir(backups.folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestApp::failingBackupIsToldOnce()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString dataFile = dir.filePath(QStringLiteral("data.mdb"));
    QSettings memory(dir.filePath(QStringLiteral("memory.ini")), QSettings::IniFormat);
    const QDate day(2026, 3, 1);

    // No folder can be made where a file has its name.
    QFile blocker(dir.filePath(QStringLiteral("backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString told = StartupBackup::run(dataFile, day, memory);
    QVERIFY2(told.contains(QStringLiteral("备份")) && told.contains(QStringLiteral("backups")),
             qPrintable(told));
    // The same failure at the next starts: nothing more is said.
    QCOMPARE(StartupBackup::run(dataFile, day, memory), QString());
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(1), memory), QString());

    // It works again, then fails again: that is told.
    QVERIFY(blocker.remove());
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(2), memory), QString());
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("backups/data-2026-03-03.mdb"))));
    QVERIFY(QDir(dir.filePath(QStringLiteral("backups"))).removeRecursively());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(3), memory), told);
    // The data file itself is never changed by any of it.
    QVERIFY(QFileInfo(dataFile).isFile());

    // A failure whose message names the day's file: told once, not again each new day.
    QVERIFY(blocker.remove());
    const QString folder = dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool immutable = QFileInfo(folder).isWritable()
        && QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) == 0;
    const auto writableAgain = qScopeGuard([&] {
        if (immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly))
        QSKIP("cannot make the backups folder read-only here");
    const QString toldOfFile = StartupBackup::run(dataFile, day.addDays(4), memory);
    QVERIFY2(toldOfFile.contains(DailyBackup::fileNameFor(day.addDays(4))), qPrintable(toldOfFile));
    QCOMPARE(StartupBackup::run(dataFile, day.addDays(5), memory), QString());
}

namespace {

// Runs a statement on the file at `path` with a connection of its own.
void execOn(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    char *error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

QStringList titlesOn(const QString &path, const char *table)
{
    sqlite3 *db = nullptr;
    QStringList titles;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, QByteArray("SELECT Name FROM ").append(table).append(" ORDER BY id").constData(),
                           -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            titles << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return titles;
}

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

QAction *menuAction(MainWindow &w, const char *name)
{
    return w.windowMenu()->findChild<QAction *>(QLatin1String(name));
}

} // namespace

void TestApp::windowMenuOpensByMouseAndKeys()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyFixture(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QMenu *menu = w.windowMenu();
    QVERIFY(menu);
    QCOMPARE(menuTexts(menu), (QStringList{"导出笔记…", "导出报告…", "备份数据…", "从备份恢复…", "添加自定义食物…",
                                           "修改自定义食物…", "导出自定义食物…", "导入自定义食物…", "搜索时使用模糊音（z/zh、c/ch、s/sh、n/l、h/f、r/l、an/ang、en/eng、in/ing）",
                                           "关于 Pellomir"}));

    // A right click on the window's picture.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 200), w.mapToGlobal(QPoint(300, 200)));
    QApplication::sendEvent(w.form().welcomePicture, &click);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    // The Menu key as the platform reports it: a context-menu event for the control with the
    // focus, here a text box with an edit menu of its own.
    for (QWidget *control : {static_cast<QWidget *>(w.form().titleView), static_cast<QWidget *>(w.form().bodyView)}) {
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(control, &key);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!QApplication::activePopupWidget() || QApplication::activePopupWidget() == menu);
        menu->hide();
    }

    // The Menu key and Shift+F10 as keys, even with the focus in a text box.
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier},
                                         std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        w.form().titleView->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(w.form().titleView->hasFocus());
        QTest::keyClick(w.form().titleView, key, modifiers);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }
}

void TestApp::exportNotes_data()
{
    QTest::addColumn<QString>("onShow");  // skin object of the section on show; empty: none
    QTest::addColumn<int>("filter");      // index of the filter chosen
    QTest::addColumn<QString>("name");    // the file name typed
    QTest::addColumn<QString>("file");    // the file written
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<bool>("csv");
    const QStringList all = {"瘦身食谱", "有氧运动", "瘦身心得", "瘦身日记"};
    QTest::newRow("all as Markdown") << "" << 0 << "notes.md" << "notes.md" << all << false;
    QTest::newRow("all as CSV, ending added") << "" << 1 << "notes" << "notes.csv" << all << true;
    QTest::newRow("all while a section is on show") << "b" << 0 << "all.md" << "all.md" << all << false;
    QTest::newRow("the section on show, Markdown") << "e" << 2 << "diary.md" << "diary.md"
                                                   << QStringList{"瘦身日记"} << false;
    QTest::newRow("the section on show, CSV") << "a" << 3 << "recipes" << "recipes.csv"
                                              << QStringList{"瘦身食谱"} << true;
    // The ending typed decides the format, whichever filter was left selected.
    QTest::newRow(".csv typed, Markdown filter") << "" << 0 << "notes.csv" << "notes.csv" << all << true;
    QTest::newRow(".md typed, CSV filter") << "" << 1 << "notes.md" << "notes.md" << all << false;
    QTest::newRow(".CSV typed, section on show in Markdown") << "a" << 2 << "recipes.CSV" << "recipes.CSV"
                                                             << QStringList{"瘦身食谱"} << true;
}

void TestApp::exportNotes()
{
    QFETCH(QString, onShow);
    QFETCH(int, filter);
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QStringList, sections);
    QFETCH(bool, csv);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    copyFixture(dir);
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('早餐', '燕麦, \"牛奶\"\n两行');"
                 "INSERT INTO rj(time, Name, demo) VALUES ('2026-01-02 07:30', '第一天', '🎉');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    if (!onShow.isEmpty())
        window->hotSpotClicked(onShow);

    // Cancelled: nothing written, nothing said.
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QVERIFY(boxes.asked().isEmpty());

    const QStringList filters = files.asked().first().filters;
    QCOMPARE(filters.size(), onShow.isEmpty() ? 3 : 5); // the notes, then the food log
    files.answer(dir.filePath(name), filters.at(filter));
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(files.asked().size(), 2);
    QVERIFY(files.asked().last().save);
    QCOMPARE(boxes.asked().size(), 1);
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.startsWith(QStringLiteral("已把")), qPrintable(told));

    QFile written(dir.filePath(file));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    auto db = openDatabase(data);
    QList<ExportedSection> expected;
    for (const QString &section : sections)
        for (const QString &table : NoteExport::tables())
            if (NoteExport::sectionName(table) == section)
                expected << NoteExport::read(*db, {table});
    QCOMPARE(bytes, csv ? NoteExport::toCsv(expected) : NoteExport::toMarkdown(expected));
    QVERIFY(told.contains(QString::number(NoteExport::noteCount(expected))));
    QVERIFY(bytes.contains("燕麦") == sections.contains(QStringLiteral("瘦身食谱")));

    // Never over the data file.
    boxes.clear();
    files.answer(data, filters.at(0));
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("不能导出")));
    verifyDatabaseFile(data);
}

// 导出笔记… offers the food log and exercise as one CSV: every entry within range, one row each.
void TestApp::exportFoodLogAndExercise()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    copyFixture(dir);
    {
        auto db = openDatabase(data);
        FoodLogStore store(*db);
        FoodLogEntry rice;
        rice.day = QDate(2026, 12, 9);
        rice.meal = 1;
        rice.food = QStringLiteral("米饭");
        rice.grams = 150;
        rice.kcalPer100g = 116;
        store.addEntry(rice);
        ExerciseEntry walk;
        walk.day = QDate(2026, 12, 9);
        walk.activity = QStringLiteral("快走");
        walk.minutes = 30;
        walk.met = 4.3;
        walk.kcal = 99;
        ExerciseStore(store.schema()).addEntry(walk);
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    menuAction(*window, "exportNotes")->trigger(); // cancelled, to see the filters
    const QString logFilter = files.asked().first().filters.last();
    QCOMPARE(logFilter, QStringLiteral("饮食与运动记录 CSV (*.csv)"));
    files.answer(dir.filePath(QStringLiteral("log")), logFilter);
    menuAction(*window, "exportNotes")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把 1 条饮食记录和 1 条运动记录导出到")),
             qPrintable(boxes.asked().first().text));
    QFile written(dir.filePath(QStringLiteral("log.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvText::records(written.readAll());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(1), (QStringList{"2026-12-09", "饮食", "午餐", "米饭", "150", "克", "174"}));
    QCOMPARE(rows.at(2), (QStringList{"2026-12-09", "运动", "", "快走", "30", "分钟", "99"}));
}

// 导出自定义食物… on one computer, 导入自定义食物… on another: the foods arrive and are found; a
// second import asks about the clash, and 保留已有的 keeps the ones already there.
void TestApp::ownFoodsMoveToAnotherComputer()
{
    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    copyFixture(first);
    copyFixture(second);
    {
        auto db = openDatabase(first.filePath(QStringLiteral("data.mdb")));
        LogSchema schema(*db);
        OwnFood tea;
        tea.name = QStringLiteral("我的奶茶");
        tea.category = OwnFood::defaultCategory();
        tea.kcalPer100g = 80;
        OwnFoodStore(schema).add(tea);
    }
    const QString file = first.filePath(QStringLiteral("foods.csv"));
    {
        auto window = Startup::openMainWindow(first.path());
        MessageBox::Recorder boxes;
        FileDialog::Recorder files;
        files.answer(file);
        menuAction(*window, "exportOwnFoods")->trigger();
        QCOMPARE(boxes.asked().size(), 1);
        QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把 1 种自定义食物导出到")),
                 qPrintable(boxes.asked().first().text));
    }
    auto window = Startup::openMainWindow(second.path());
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(file);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("已导入 1 种自定义食物。"));
    QCOMPARE(FoodChoices(FoodCatalog::read(second.filePath(QStringLiteral("data.mdb")))).match(QStringLiteral("wdnc")).value(0).name,
             QStringLiteral("我的奶茶"));

    boxes.clear();
    MessageBox::setNextChoice(1); // 保留已有的
    files.answer(file);
    menuAction(*window, "importOwnFoods")->trigger();
    QCOMPARE(boxes.asked().size(), 2);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("有 1 种自定义食物与已有的同名：我的奶茶")));
    QCOMPARE(boxes.asked().first().labels, (QStringList{"替换", "保留已有的", "取消"}));
    QCOMPARE(boxes.asked().last().text, QStringLiteral("已导入 0 种自定义食物，保留了 1 种已有的同名食物。"));
}

void TestApp::reportOfTheLastDays_data()
{
    QTest::addColumn<int>("choice"); // 0 最近 7 天, 1 最近 30 天, 2 two dates
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("told");
    QTest::newRow("7 days") << 0 << 7 << "Pellomir-报告-最近7天-2026-12-04至2026-12-10.pdf" << "已把最近 7 天的报告导出到";
    QTest::newRow("30 days") << 1 << 30 << "Pellomir-报告-最近30天-2026-11-11至2026-12-10.pdf" << "已把最近 30 天的报告导出到";
    QTest::newRow("two dates") << 2 << 10 << "Pellomir-报告-2026-11-21至2026-11-30.pdf"
                               << "已把2026年11月21日至2026年11月30日的报告导出到";
}

// 导出报告… asks for the days by name (最近 7 天, 最近 30 天, two dates), then offers a file named
// after them, and writes the PDF; the report's figures are those of the log: each day's intake and
// budget, exercise, weights, the foods that gave most.
void TestApp::reportOfTheLastDays()
{
    QFETCH(int, choice);
    QFETCH(int, days);
    QFETCH(QString, fileName);
    QFETCH(QString, told);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QDate today(2026, 12, 10);
    const Clock clock([today] { return QDateTime(today, QTime(20, 0)); });
    {
        auto db = openDatabase(dir.filePath(QStringLiteral("data.mdb")));
        FoodLogStore store(*db, clock);
        Profile profile;
        profile.heightCm = 165;
        store.setProfile(profile);
        for (int d = 0; d < 40; ++d) {
            FoodLogEntry rice;
            rice.day = today.addDays(-d);
            rice.food = QStringLiteral("米饭");
            rice.category = QStringLiteral("谷薯主食");
            rice.grams = 300;
            rice.kcalPer100g = 116;
            rice.nutrientsPer100g = Nutrients{2.6, 0.3, 25.9, 0};
            store.addEntry(rice);
            store.setWeight(today.addDays(-d), 70 + d * 0.1);
        }
        ExerciseEntry walk;
        walk.day = today;
        walk.activity = QStringLiteral("快走");
        walk.minutes = 30;
        walk.met = 4.3;
        walk.kcal = 99;
        ExerciseStore exercise(store.schema());
        exercise.addEntry(walk);
        const LogReport report = choice == 2 ? LogReport::read(store, exercise, QDate(2026, 11, 21), QDate(2026, 11, 30))
                                             : LogReport::read(store, exercise, today, days);
        QCOMPARE(report.days.size(), days);
        QCOMPARE(report.loggedDays(), days);
        QCOMPARE(qRound(report.meanIntake()), 348);
        QCOMPARE(report.days.last().figures.burnedKcal.value_or(0), choice == 2 ? 0.0 : 99.0);
        QVERIFY(report.days.last().budget.has_value());
        QCOMPARE(report.topFoods.size(), 1);
        QCOMPARE(report.topFoods.first().kcal, qint64(348) * days);
        QCOMPARE(report.shares.carbohydrate.verdictText(), QStringLiteral("偏高"));
    }
    auto window = Startup::openMainWindow(dir.path());
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    ReportPeriodDialog::Recorder periods;
    menuAction(*window, "exportReport")->trigger(); // the days not chosen: no file is asked for
    QCOMPARE(periods.asked().size(), 1);
    QVERIFY(files.asked().isEmpty());
    const ReportPeriod period = choice == 2
        ? ReportPeriod::between(QDate(2026, 11, 30), QDate(2026, 11, 21), LogReport::MaxDays)
        : ReportPeriod::lastDays(choice ? ReportPeriod::Kind::LastMonth : ReportPeriod::Kind::LastWeek, today);
    periods.answer(period);
    files.answer(dir.filePath(QStringLiteral("report")));
    menuAction(*window, "exportReport")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QCOMPARE(files.asked().first().filters, QStringList{QStringLiteral("PDF 文件 (*.pdf)")});
    QCOMPARE(QFileInfo(files.asked().first().path).fileName(), fileName);
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(told), qPrintable(boxes.asked().first().text));
    QFile pdf(dir.filePath(QStringLiteral("report.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
}

void TestApp::backupToChosenPlace()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('心得', '坚持');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    const QString chosen = dir.filePath(QStringLiteral("我的备份"));
    files.answer(chosen);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("已把数据备份到")),
             qPrintable(boxes.asked().first().text));
    verifyDatabaseFile(chosen + QStringLiteral(".mdb"));
    QCOMPARE(titlesOn(chosen + QStringLiteral(".mdb"), "xd"), QStringList{"心得"});

    // Over an existing file (the chooser asked): the new copy takes its place.
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('早睡', '十一点');");
    files.answer(chosen + QStringLiteral(".mdb"));
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(titlesOn(chosen + QStringLiteral(".mdb"), "xd"), (QStringList{"心得", "早睡"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("我的备份")).size(), 1);

    // Never over the data file itself.
    boxes.clear();
    files.answer(data);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY(boxes.asked().first().text.startsWith(QStringLiteral("不能")));
    QCOMPARE(titlesOn(data, "xd"), (QStringList{"心得", "早睡"}));

    // A name that cannot be replaced (a folder holding a file): nothing of it is lost, and no
    // copy is left behind.
    boxes.clear();
    const QString folder = dir.filePath(QStringLiteral("文件夹.mdb"));
    QVERIFY(QDir().mkpath(folder));
    QFile kept(folder + QStringLiteral("/留着.txt"));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.close();
    files.answer(folder);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("没有备份")),
             qPrintable(boxes.asked().first().text));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/留着.txt")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("文件夹")).size(), 0);

    // The rename over the old copy fails (the file is protected): the old copy stays as it
    // was, the new one is not left beside it, and the message says so.
    const QString protectedCopy = chosen + QStringLiteral(".mdb");
    const QByteArray oldCopy = [&] {
        QFile file(protectedCopy);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), protectedCopy}) != 0)
        QSKIP("cannot protect a file here (chattr)");
    const auto unprotect = qScopeGuard([&] {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), protectedCopy});
    });
    boxes.clear();
    execOn(data, "INSERT INTO xd(Name, demo) VALUES ('第三条', '不会进旧备份');");
    files.answer(protectedCopy);
    menuAction(*window, "backupData")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.startsWith(QStringLiteral("没有备份")), qPrintable(boxes.asked().first().text));
    QVERIFY2(boxes.asked().first().text.contains(QStringLiteral("原来的文件未作改动")), qPrintable(boxes.asked().first().text));
    QFile after(protectedCopy);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), oldCopy);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("我的备份")).size(), 1);
}

void TestApp::fullDiskOrSpecialFileChangesNothing_data()
{
    QTest::addColumn<QString>("command");  // exportNotes or backupData
    QTest::addColumn<QString>("target");   // new, existing, fifo, device
    QTest::addColumn<qint64>("free");      // bytes left free on the small disk
    for (const char *command : {"exportNotes", "backupData"}) {
        const QString said = QLatin1String(command);
        QTest::addRow("%s, new file, 4 KB free", command) << said << "new" << qint64(4096);
        QTest::addRow("%s, new file, disk full", command) << said << "new" << qint64(0);
        QTest::addRow("%s, over a good file, 4 KB free", command) << said << "existing" << qint64(4096);
        QTest::addRow("%s, onto a pipe", command) << said << "fifo" << qint64(-1);
        QTest::addRow("%s, onto a device", command) << said << "device" << qint64(-1);
    }
}

// Out of space, the commands say nothing was written, a good file of that name stays as it was
// and nothing half-written is left; a pipe or a device is refused, never replaced by a file.
void TestApp::fullDiskOrSpecialFileChangesNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QFETCH(qint64, free);
    SmallDisk disk(256);
    if (!disk.isMounted())
        QSKIP("cannot mount a small tmpfs here (needs the right to mount)");

    QTemporaryDir dir;
    const QString data = copyFixture(dir) + QStringLiteral("/data.mdb");
    // Notes enough that the export is larger than the space left.
    QByteArray notes = "BEGIN;";
    for (int i = 0; i < 60; ++i)
        notes += "INSERT INTO xd(Name, demo) VALUES ('心得" + QByteArray::number(i) + "', '"
            + QByteArray("坚持每天走一万步。").repeated(8) + "');";
    execOn(data, notes + "COMMIT;");
    const bool exporting = command == QLatin1String("exportNotes");
    const QString chosen = disk.filePath(exporting ? QStringLiteral("笔记.md") : QStringLiteral("备份.mdb"));
    const QByteArray good = "an earlier export or backup the user keeps\n";
    if (target == QLatin1String("existing")) {
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(good);
    } else if (target == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(chosen).constData(), 0600), 0);
    } else if (target == QLatin1String("device")) {
        // A node of the same kind as /dev/null, made in the test's own folder.
        if (::mknod(QFile::encodeName(chosen).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("cannot make a device node here");
    }
    if (free >= 0)
        QVERIFY(disk.leaveFree(free));
    const QStringList before = disk.names();

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    files.answer(chosen);
    menuAction(*window, command.toLatin1().constData())->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.startsWith(exporting ? QStringLiteral("没有导出") : QStringLiteral("没有备份")), qPrintable(told));
    if (free >= 0)
        QVERIFY2(told.contains(QStringLiteral("磁盘")), qPrintable(told));
    QCOMPARE(disk.names(), before);
    const QFileInfo after(chosen);
    if (target == QLatin1String("existing")) {
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), good);
    } else if (target == QLatin1String("fifo")) {
        QVERIFY(!after.isFile() && after.exists());
    } else if (target == QLatin1String("device")) {
        struct stat node;
        QCOMPARE(::stat(QFile::encodeName(chosen).constData(), &node), 0);
        QVERIFY(S_ISCHR(node.st_mode));
    }
    verifyDatabaseFile(data);
}

void TestApp::restoreGoodBackup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('备份里的食谱', '旧的');");
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    copyDatabaseFile(data, backup);
    execOn(data, "DELETE FROM sp; INSERT INTO sp(Name, demo) VALUES ('后来的食谱', '新的');"
                 "INSERT INTO \"02\"(category) VALUES ('后来的分类');");

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.finishStartAfterFirstFrame(); // today's backup, as at every start
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTRY_VERIFY(QFileInfo(DailyBackup(data).folder()).isDir());
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    w.hotSpotClicked(QStringLiteral("a"));
    QCOMPARE(w.form().titleView->text(), QStringLiteral("后来的食谱"));
    const auto categories = [&w] { return w.form().foodTree->model()->rowCount(w.form().foodTree->model()->index(0, 0)); };
    const int categoriesBefore = categories();

    // Another program's connection, open all along.
    sqlite3 *other = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(data).constData(), &other) == SQLITE_OK);
    auto closeOther = qScopeGuard([&] { sqlite3_close(other); });

    MessageBox::setNextAnswer(MessageBox::NoButton);
    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QCOMPARE(files.asked().size(), 1);
    QCOMPARE(files.asked().first().path, DailyBackup(data).folder());
    // Asked first (Cancel by default), naming all it replaces and the backup's date, then told.
    QCOMPARE(boxes.asked().size(), 2);
    QCOMPARE(boxes.asked().first().defaultButton, MessageBox::Cancel);
    const QString asked = boxes.asked().first().text;
    for (const QString &named : {QStringLiteral("笔记"), QStringLiteral("饮食记录"), QStringLiteral("体重"),
                                 QStringLiteral("个人资料"), QStringLiteral("食物表"),
                                 QFileInfo(backup).lastModified().toString(QStringLiteral("yyyy年M月d日"))})
        QVERIFY2(asked.contains(named), qPrintable(asked));
    const QString told = boxes.asked().last().text;
    QVERIFY2(told.startsWith(QStringLiteral("已从")), qPrintable(told));

    // The window shows the restored data at once: the section's record and the food tree.
    QCOMPARE(w.form().titleView->text(), QStringLiteral("备份里的食谱"));
    QCOMPARE(w.form().bodyView->toPlainText(), QStringLiteral("旧的"));
    QCOMPARE(categories(), categoriesBefore - 1);
    QCOMPARE(titlesOn(data, "sp"), QStringList{"备份里的食谱"});
    // The other connection reads the restored content too.
    sqlite3_stmt *stmt = nullptr;
    QCOMPARE(sqlite3_prepare_v2(other, "SELECT Name FROM sp", -1, &stmt, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
    QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))),
             QStringLiteral("备份里的食谱"));
    sqlite3_finalize(stmt);

    // What was there before is kept in the backups folder, and named in the message.
    const QStringList before = QDir(DailyBackup(data).folder())
                                   .entryList({QStringLiteral("data-before-restore-*.mdb")}, QDir::Files);
    QCOMPARE(before.size(), 1);
    const QString beforePath = QDir(DailyBackup(data).folder()).filePath(before.first());
    QCOMPARE(titlesOn(beforePath, "sp"), QStringList{"后来的食谱"});
    QVERIFY(told.contains(beforePath));
    // Writing works on after the restore, and the record is saved into the restored data.
    w.notebook()->onNewClicked();
    w.form().titleEdit->setText(QStringLiteral("恢复后写的"));
    w.form().bodyEdit->setPlainText(QStringLiteral("内容"));
    w.notebook()->onSaveClicked();
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"备份里的食谱", "恢复后写的"}));

    // Cancel on the question changes nothing.
    boxes.clear();
    files.answer(beforePath);
    MessageBox::setNextAnswer(MessageBox::Cancel);
    menuAction(w, "restoreData")->trigger();
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"备份里的食谱", "恢复后写的"}));
}

void TestApp::restoreWhileFoodLogShown()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    copyDatabaseFile(data, backup);
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!w.skinEngine().object(QStringLiteral("f")))
        QSKIP("the skin has no food log button");
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    w.hotSpotClicked(QStringLiteral("a"));
    w.skinEngine().clickObject(QStringLiteral("f"));
    QVERIFY(w.foodLogSection()->isShown());

    // No notebook section is on show: only the whole notebook (and the food log) is offered.
    menuAction(w, "exportNotes")->trigger();
    QCOMPARE(files.asked().last().filters.size(), 3);

    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    // The backup had no food log yet: it arrived with the log's tables, in the same step.
    {
        auto restored = openDatabase(data);
        QVERIFY(FoodLogStore(*restored).isUpToDate());
    }
    // The food log stays on show over the notebook's controls.
    QVERIFY(w.foodLogSection()->isShown());
    for (QWidget *covered : {static_cast<QWidget *>(w.form().previousButton), static_cast<QWidget *>(w.form().bodyView),
                             static_cast<QWidget *>(w.form().titleView)})
        QVERIFY2(!covered->isVisible(), qPrintable(covered->objectName()));
    // Back in the section, the notebook shows the restored data.
    w.skinEngine().clickObject(QStringLiteral("a"));
    QVERIFY(!w.foodLogSection()->isShown());
    QVERIFY(w.form().previousButton->isVisible());
}

// A waist figure goes into 备份数据…, comes back with 从备份恢复… after it was changed, and is in
// the log's CSV (导出笔记…, 饮食与运动记录).
void TestApp::waistKeptThroughBackupRestoreAndExport()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QDate day(2026, 12, 9);
    {
        auto db = openDatabase(data);
        FoodLogStore store(*db);
        store.setWeight(day, 80.2);
        store.setWaist(day, 86.5);
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    const QString chosen = dir.filePath(QStringLiteral("腰围备份.mdb"));
    files.answer(chosen);
    menuAction(w, "backupData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已把数据备份到")), qPrintable(boxes.asked().last().text));

    execOn(data, "UPDATE waist_log SET cm = 99;");
    {
        auto db = openDatabase(data);
        QCOMPARE(FoodLogStore(*db).waistOn(day).value_or(-1), 99.0);
    }
    MessageBox::setNextAnswer(MessageBox::NoButton);
    files.answer(chosen);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    {
        auto db = openDatabase(data);
        QCOMPARE(FoodLogStore(*db).waistOn(day).value_or(-1), 86.5);
    }

    const QString logFilter = QStringLiteral("饮食与运动记录 CSV (*.csv)");
    files.answer(dir.filePath(QStringLiteral("log")), logFilter);
    menuAction(w, "exportNotes")->trigger();
    QFile written(dir.filePath(QStringLiteral("log.csv")));
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = CsvText::records(written.readAll());
    QVERIFY(rows.contains(QStringList{"2026-12-09", "体重", "", "体重", "80.2", "千克", ""}));
    QVERIFY(rows.contains(QStringList{"2026-12-09", "腰围", "", "腰围", "86.5", "厘米", ""}));
}

// The calorie panel's search and the food log's read the foods once between them; a restored
// file with other foods reaches both; a log opened while the foods could not be read tries again
// at its next opening.
void TestApp::everySearchSharesFoodsThatFollowTheFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("other.mdb"));
    copyDatabaseFile(data, backup);
    execOn(backup, "INSERT INTO \"01\"(category, food, portion, kcal) "
                   "SELECT category, '恢复后才有的饼', '100克', 321 FROM \"02\" LIMIT 1;");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    if (!w.skinEngine().object(QStringLiteral("f")))
        QSKIP("the skin has no food log button");
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    // The foods cannot be read when the log first opens: said once, tried again next time.
    execOn(data, "ALTER TABLE \"02\" RENAME TO hidden_categories;");
    w.skinEngine().clickObject(QStringLiteral("f"));
    QCOMPARE(boxes.asked().size(), 1);
    QVERIFY2(boxes.asked().first().text.contains(QStringLiteral("暂时不能添加食物")), qPrintable(boxes.asked().first().text));
    w.skinEngine().clickObject(QStringLiteral("a"));
    execOn(data, "ALTER TABLE hidden_categories RENAME TO \"02\";");
    w.skinEngine().clickObject(QStringLiteral("f"));
    QCOMPARE(boxes.asked().size(), 1);
    FoodLogView *view = w.foodLogSection()->view();
    auto *logSearch = view->findChild<QLineEdit *>(QStringLiteral("logSearch"));
    auto *add = view->findChild<QPushButton *>(QStringLiteral("logAdd"));
    const auto logCount = [&] {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(data).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        int count = -1;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM food_log", -1, &stmt, nullptr) == SQLITE_OK
            && sqlite3_step(stmt) == SQLITE_ROW)
            count = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return count;
    };
    logSearch->setText(QStringLiteral("米饭"));
    add->click();
    QCOMPARE(logCount(), 1);
    QCOMPARE(boxes.asked().size(), 1);

    // Both searches, one reading of the foods.
    w.skinEngine().clickObject(QStringLiteral("a"));
    auto *panelSearch = w.findChild<QLineEdit *>(QStringLiteral("searchField"));
    auto *panelResults = w.findChild<QListWidget *>(QStringLiteral("searchResults"));
    const auto panelFinds = [&](const QString &text) {
        panelSearch->setText(text);
        return !panelResults->findItems(text, Qt::MatchStartsWith).isEmpty();
    };
    QVERIFY(panelFinds(QStringLiteral("米饭")));
    QVERIFY(!panelFinds(QStringLiteral("恢复后才有的饼")));
    const int readsBefore = w.sharedFoods().reads();
    QCOMPARE(readsBefore, 2); // the failed first reading, then the one both share

    files.answer(backup);
    menuAction(w, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    w.skinEngine().clickObject(QStringLiteral("f"));
    logSearch->setText(QStringLiteral("恢复后才有的饼"));
    add->click();
    QCOMPARE(boxes.asked().last().text.contains(QStringLiteral("没有找到")), false);
    QCOMPARE(logCount(), 1); // the restored file had no entries; this is its first
    w.skinEngine().clickObject(QStringLiteral("a"));
    QVERIFY(panelFinds(QStringLiteral("恢复后才有的饼")));
    QCOMPARE(w.sharedFoods().reads(), readsBefore + 1);
}

void TestApp::restoreRefusesBadFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("named");
    QTest::newRow("not a database") << "garbage" << "不是可用的数据库文件";
    QTest::newRow("another program's database") << "foreign" << "不是本程序的数据文件";
    QTest::newRow("fails integrity_check") << "corrupt" << "损坏";
    QTest::newRow("empty file") << "empty" << "空";
    QTest::newRow("the data file itself") << "self" << "正在使用的数据文件";
    QTest::newRow("a hard link to the data file") << "hard link" << "正在使用的数据文件";
    QTest::newRow("a food log of another shape") << "food log reshaped" << "表“food_log”缺少列";
}

void TestApp::restoreRefusesBadFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, named);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('现在的食谱', '内容');");
    QString bad = dir.filePath(QStringLiteral("bad.mdb"));
    if (kind == QLatin1String("garbage")) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("This is no database at all.\n").repeated(200));
    } else if (kind == QLatin1String("empty")) {
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("foreign")) {
        execOn(bad, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);");
    } else if (kind == QLatin1String("corrupt")) {
        // A sound copy with an index that no longer matches its table.
        copyDatabaseFile(data, bad);
        execOn(bad, "CREATE INDEX byName ON sp(Name); PRAGMA writable_schema=ON;"
                    "UPDATE sqlite_schema SET sql='CREATE INDEX byName ON sp(demo)' WHERE name='byName';");
    } else if (kind == QLatin1String("food log reshaped")) {
        copyDatabaseFile(data, bad);
        execOn(bad, "CREATE TABLE food_log (day TEXT, food TEXT, grams REAL);");
    } else if (kind == QLatin1String("hard link")) {
#if defined(Q_OS_UNIX)
        QVERIFY(::link(QFile::encodeName(data).constData(), QFile::encodeName(bad).constData()) == 0);
#else
        QSKIP("hard links are made here with POSIX link()");
#endif
    } else {
        bad = data;
    }
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;
    const QStringList backupsBefore = listing(DailyBackup(data).folder());

    files.answer(bad);
    menuAction(*window, "restoreData")->trigger();
    QCOMPARE(boxes.asked().size(), 1); // refused at once: no question first
    const QString told = boxes.asked().first().text;
    QVERIFY2(told.contains(named), qPrintable(told));
    QCOMPARE(titlesOn(data, "sp"), QStringList{"现在的食谱"});
    QCOMPARE(listing(DailyBackup(data).folder()), backupsBefore);
}

// Another program writing when a restore begins: the restore takes the file's write lock before it
// copies the current data and holds it to the end, so it refuses, saying the file is in use, with
// nothing copied and nothing replaced; once the other program is done, it goes through.
void TestApp::restoreWaitsForNoOtherWriter()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    const QString backup = dir.filePath(QStringLiteral("old.mdb"));
    execOn(data, "INSERT INTO sp(Name, demo) VALUES ('备份里的食谱', '旧的');");
    copyDatabaseFile(data, backup);
    execOn(data, "DELETE FROM sp; INSERT INTO sp(Name, demo) VALUES ('现在的食谱', '新的');");
    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    window->database()->setLockWaitLimit(100);
    MessageBox::Recorder boxes;
    FileDialog::Recorder files;

    sqlite3 *other = nullptr;
    QVERIFY(sqlite3_open(QFile::encodeName(data).constData(), &other) == SQLITE_OK);
    auto closeOther = qScopeGuard([&] { sqlite3_close(other); });
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO sp(Name, demo) VALUES ('另一个程序写的', '')", nullptr,
                          nullptr, nullptr),
             SQLITE_OK);
    MessageBox::setNextAnswer(MessageBox::Ok);
    files.answer(backup);
    menuAction(*window, "restoreData")->trigger();
    QCOMPARE(boxes.asked().size(), 2); // the question, then the refusal
    QVERIFY2(boxes.asked().last().text.contains(QStringLiteral("正被另一个程序使用")), qPrintable(boxes.asked().last().text));
    QVERIFY(QDir(DailyBackup(data).folder()).entryList({QStringLiteral("data-before-restore-*")}, QDir::Files).isEmpty());
    QCOMPARE(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    QCOMPARE(titlesOn(data, "sp"), (QStringList{"现在的食谱", "另一个程序写的"}));

    boxes.clear();
    MessageBox::setNextAnswer(MessageBox::Ok);
    files.answer(backup);
    menuAction(*window, "restoreData")->trigger();
    QVERIFY2(boxes.asked().last().text.startsWith(QStringLiteral("已从")), qPrintable(boxes.asked().last().text));
    QCOMPARE(titlesOn(data, "sp"), QStringList{"备份里的食谱"});
    const QStringList before = QDir(DailyBackup(data).folder()).entryList({QStringLiteral("data-before-restore-*")}, QDir::Files);
    QCOMPARE(before.size(), 1);
    // The copy is exactly what was replaced: the other program's write with it.
    QCOMPARE(titlesOn(QDir(DailyBackup(data).folder()).filePath(before.first()), "sp"),
             (QStringList{"现在的食谱", "另一个程序写的"}));
}

// A file a newer release wrote: the window opens it read-only and says so, naming both layouts;
// nothing the user does changes it.
void TestApp::newerFileOpensReadOnly()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    copyFixture(dir);
    const QString data = dir.filePath(QStringLiteral("data.mdb"));
    execOn(data, "PRAGMA user_version = 99");
    QFile file(data);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();

    auto window = Startup::openMainWindow(dir.path());
    QVERIFY(window);
    QVERIFY2(window->upgradeNotice().contains(QStringLiteral("第 99 版")), qPrintable(window->upgradeNotice()));
    QVERIFY(window->upgradeNotice().contains(QStringLiteral("第 %1 版").arg(DataLayout::layout().version())));
    MessageBox::Recorder boxes;
    window->showStartupNotices();
    QCOMPARE(boxes.asked().size(), 1);
    window->hotSpotClicked(QStringLiteral("a"));
    window->notebook()->onNewClicked();
    window->form().titleEdit->setText(QStringLiteral("写不进去"));
    window->form().bodyEdit->setPlainText(QStringLiteral("内容"));
    window->notebook()->onSaveClicked();
    QVERIFY2(boxes.asked().last().text.contains(QStringLiteral("只读")), qPrintable(boxes.asked().last().text));
    window.reset();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("data.mdb.bak-*")}).isEmpty());
}

void TestApp::aboutBox()
{
    MessageBox::Recorder boxes;
    menuAction(*m_loaded, "about")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const MessageBox::Shown &box = boxes.asked().first();
    QCOMPARE(box.title, QStringLiteral("关于 Pellomir"));
    for (const QString &part : {QStringLiteral("Pellomir 1.0"), QStringLiteral("GPL-3.0-or-later"),
                                QStringLiteral("中国食物成分表"), QStringLiteral("食品營養成分資料庫"),
                                QDir::toNativeSeparators(m_loaded->dataFile())})
        QVERIFY2(box.text.contains(part), qPrintable(part));
    QVERIFY(box.text.size() <= MessageBox::MaxDisplayChars);
}

QTEST_MAIN(TestApp)
#include "test_app.moc"
