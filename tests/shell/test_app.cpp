// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and its skin: its controls, their places and starting texts, the pictures drawn at
// build time, the picture and skin buttons under keyboard and screen reader, the window menu and
// the About page.
#include "db/DailyBackup.h"
#include "db/CsvText.h"
#include "db/Database.h"
#include "db/DatabaseCopy.h"
#include "db/Recordset.h"
#include "exercise/ExerciseStore.h"
#include "foodlog/FoodLogStore.h"
#include "report/LogReport.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/FoodChoices.h"
#include "foods/FoodCatalog.h"
#include "ownfoods/OwnFoodStore.h"
#include "foodlog/LogSchema.h"
#include "foodlog/ui/FoodLogSection.h"
#include "foodlog/ui/FoodLogView.h"
#include "report/ui/ReportPeriodDialog.h"
#include "foods/ui/CalorieLookup.h"
#include "notebook/NoteExport.h"
#include "notebook/ui/NotebookController.h"
#include "resources/Pictures.h"
#include "db/FileLayout.h"
#include "datafile/DataLayout.h"
#include "shell/AboutPage.h"
#include "shell/DataCommands.h"
#include "shell/FatalError.h"
#include "skin/ui/MainForm.h"
#include "shell/MainWindow.h"
#include "skin/ui/SkinCaptions.h"
#include "shell/Startup.h"
#include "shell/StartupBackup.h"
#include "skin/ui/SkinButton.h"
#include "support/WindowParts.h"
#include "support/SmallDisk.h"
#include "support/TempDatabase.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/FileDialog.h"
#include "widgets/ImageButton.h"
#include "widgets/MessageBox.h"
#include "widgets/PictureBox.h"
#include "widgets/UrlOpener.h"
#include "support/AppFixture.h"

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

using namespace AppFixture;

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

const QStringList WindowControls = {"caloriePanel", "deleteButton",      "saveButton",   "newButton",     "nextButton",
                                    "previousButton",     "titleEdit", "titleView", "forwardCommand", "deleteCommand",
                                    "addCommand", "backCommand", "welcomePicture",   "bodyEdit", "bodyView"};
const QStringList PanelControls = {"foodNameBox", "foodTree", "kcalFigure", "panelRule", "kcalUnit", "kcalCaption"};

} // namespace

class TestAppWindow : public QObject
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
    void windowMenuOpensByMouseAndKeys();
    void aboutBox();

private:
    QTemporaryDir m_fixtureDir;
    std::unique_ptr<MainWindow> m_created;  // as created, before the load step
    std::unique_ptr<MainWindow> m_loaded;  // after the load step
    QStringList m_fatalMessages;
};

void TestAppWindow::initTestCase()
{
    AppFixture::prepareApplication(m_fatalMessages);
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Pellomir"));
    QVERIFY(m_fixtureDir.isValid());
    copyProgram(m_fixtureDir);

    m_created = std::make_unique<MainWindow>(m_fixtureDir.path());
    m_loaded = Startup::openMainWindow(m_fixtureDir.path());
    QVERIFY2(m_loaded, qPrintable(m_fatalMessages.join('\n')));
}

void TestAppWindow::cleanup()
{
    m_fatalMessages.clear();
}

void TestAppWindow::controls_data()
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

void TestAppWindow::controls()
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

void TestAppWindow::tabOrder()
{
    // The tab order, first to last; the frame, the labels and the rule take no focus.
    const QStringList expected = {"bodyView",    "backCommand", "addCommand", "deleteCommand", "forwardCommand",
                                  "titleView",   "titleEdit", "previousButton",     "nextButton",        "newButton",
                                  "saveButton",      "bodyEdit",  "deleteButton",     "categoryList",     "foodTree",
                                  "foodNameBox"};
    const QStringList controlNames = WindowControls + PanelControls + QStringList{"categoryList"};
    QStringList chain;
    QWidget *start = formOf(*m_loaded).bodyView;
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

void TestAppWindow::fontsAndColours()
{
    const QColor navy(0x1E, 0x3A, 0x8A);
    const QFont song = MainFormLayout::songFont();
    for (QWidget *input : {static_cast<QWidget *>(formOf(*m_loaded).titleView),
                           static_cast<QWidget *>(formOf(*m_loaded).titleEdit),
                           static_cast<QWidget *>(formOf(*m_loaded).bodyEdit)}) {
        QCOMPARE(input->font().family(), song.family());
        QCOMPARE(input->font().pointSizeF(), 10.5);
        QCOMPARE(input->font().weight(), QFont::Normal);
        QCOMPARE(input->palette().color(QPalette::Text), navy);
    }
    QCOMPARE(formOf(*m_loaded).titleView->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    QCOMPARE(formOf(*m_loaded).titleEdit->palette().color(QPalette::Base), QColor(0xF0, 0xF0, 0xF0));
    // The empty title box at the start says what it is for, in a grey that reads (4.5:1 at least).
    QLineEdit *titleView = formOf(*m_loaded).titleView;
    QCOMPARE(titleView->placeholderText(), QStringLiteral("选择右侧的栏目查看资料"));
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double base = luminance(titleView->palette().color(QPalette::Base));
    const double grey = luminance(titleView->palette().color(QPalette::PlaceholderText));
    QVERIFY((base + 0.05) / (grey + 0.05) >= 4.5);
    QCOMPARE(formOf(*m_loaded).bodyEdit->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(formOf(*m_loaded).bodyView->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(formOf(*m_loaded).foodNameBox->palette().color(QPalette::Base), QColor(0xFA, 0xFA, 0xFA));
    QCOMPARE(formOf(*m_loaded).caloriePanel->palette().color(QPalette::Window), QColor(0xFA, 0xFA, 0xFA));
    // Everything else keeps the window's font.
    QCOMPARE(formOf(*m_loaded).kcalCaption->font(), m_loaded->font());
    QCOMPARE(formOf(*m_loaded).foodTree->font(), m_loaded->font());

    // Records are shown, not edited: what is typed there would never be saved.
    QVERIFY(formOf(*m_loaded).titleView->isReadOnly());
    QVERIFY(formOf(*m_loaded).bodyView->isReadOnly());
    QVERIFY(!formOf(*m_loaded).titleEdit->isReadOnly());
    QVERIFY(!formOf(*m_loaded).bodyEdit->isReadOnly());
    QVERIFY(formOf(*m_loaded).foodTree->isHeaderHidden());
}

// The welcome picture is stored drawn for the scales most screens have, and shows exactly as a
// rendering of its SVG would; other scales are rendered.
void TestAppWindow::welcomeDrawnAtBuildTime_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("stored");
    QTest::newRow("1x") << 1.0 << true;
    QTest::newRow("2x") << 2.0 << true;
    QTest::newRow("1.5x") << 1.5 << false;
    QTest::newRow("3x") << 3.0 << false;
}

void TestAppWindow::welcomeDrawnAtBuildTime()
{
    QFETCH(qreal, dpr);
    QFETCH(bool, stored);
    const QSize size = formOf(*m_loaded).welcomePicture->pictureSize();
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
void TestAppWindow::windowIconDrawnAtBuildTime_data()
{
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("stored");
    for (int pixels : {16, 24, 32, 48, 64, 128, 256})
        QTest::addRow("%d", pixels) << pixels << true;
    QTest::newRow("20") << 20 << false;
}

void TestAppWindow::windowIconDrawnAtBuildTime()
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
void TestAppWindow::handCursorDrawnAtBuildTime_data()
{
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<bool>("stored");
    QTest::newRow("1x") << 1.0 << true;
    QTest::newRow("2x") << 2.0 << true;
    QTest::newRow("1.5x") << 1.5 << false;
}

void TestAppWindow::handCursorDrawnAtBuildTime()
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
void TestAppWindow::picturesDrawnAsTheSvgRendererDraws_data()
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

void TestAppWindow::picturesDrawnAsTheSvgRendererDraws()
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

void TestAppWindow::pictures()
{
    QCOMPARE(formOf(*m_loaded).welcomePicture->pictureSize(), QSize(434, 272));
    QCOMPARE(formOf(*m_loaded).welcomePicture->pictureName(), QStringLiteral("welcome"));
    const QImage welcome = formOf(*m_loaded).welcomePicture->grab().toImage();
    // The picture at the top-left, the box's own background in the strips right and below.
    QCOMPARE(QColor(welcome.pixel(437, 100)), formOf(*m_loaded).welcomePicture->palette().color(QPalette::Window));
    QCOMPARE(QColor(welcome.pixel(200, 272)), formOf(*m_loaded).welcomePicture->palette().color(QPalette::Window));

    const QList<std::pair<ImageButton *, const char *>> buttons = {
        {formOf(*m_loaded).previousButton, "button-prev"}, {formOf(*m_loaded).nextButton, "button-next"}, {formOf(*m_loaded).newButton, "button-add"},
        {formOf(*m_loaded).deleteButton, "button-delete"}, {formOf(*m_loaded).saveButton, "button-save"}};
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
    QCOMPARE(formOf(*m_loaded).welcomePicture->cursor().shape(), Qt::ArrowCursor);

    QCOMPARE(formOf(*m_loaded).treeIcons.size(), 6);
    for (const QIcon &image : formOf(*m_loaded).treeIcons)
        QVERIFY(!image.pixmap(16, 16).isNull());
    QVERIFY(!m_loaded->windowIcon().isNull());
}

void TestAppWindow::startState()
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
    for (QWidget *shown : {static_cast<QWidget *>(formOf(w).welcomePicture), static_cast<QWidget *>(formOf(w).titleView),
                           static_cast<QWidget *>(formOf(w).bodyView)})
        QVERIFY2(shown->isVisible(), qPrintable(shown->objectName()));
    for (QWidget *hidden :
         {static_cast<QWidget *>(formOf(w).previousButton), static_cast<QWidget *>(formOf(w).nextButton), static_cast<QWidget *>(formOf(w).newButton),
          static_cast<QWidget *>(formOf(w).deleteButton), static_cast<QWidget *>(formOf(w).saveButton),
          static_cast<QWidget *>(formOf(w).titleEdit), static_cast<QWidget *>(formOf(w).bodyEdit),
          static_cast<QWidget *>(formOf(w).caloriePanel), static_cast<QWidget *>(formOf(w).foodTree),
          static_cast<QWidget *>(formOf(w).foodNameBox), static_cast<QWidget *>(formOf(w).categoryList),
          static_cast<QWidget *>(formOf(w).backCommand), static_cast<QWidget *>(formOf(w).forwardCommand),
          static_cast<QWidget *>(formOf(w).addCommand), static_cast<QWidget *>(formOf(w).deleteCommand)})
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    QVERIFY(formOf(w).titleView->text().isEmpty());
    // bodyView is on show, but the welcome picture covers it.
    QVERIFY(w.childAt(formOf(w).bodyView->geometry().center()) == formOf(w).welcomePicture);

    QVERIFY(w.database() && w.database()->isOpen());
    // No section is open: its buttons are not on show (above).
    // The food tree was built from the database: the root with the categories under it.
    const QAbstractItemModel *tree = formOf(w).foodTree->model();
    QCOMPARE(tree->rowCount(), 1);
    const QModelIndex root = tree->index(0, 0);
    QCOMPARE(root.data().toString(), QStringLiteral("热量计算-食物分类"));
    QVERIFY(tree->rowCount(root) > 0);
    QCOMPARE(formOf(w).categoryList->count(), tree->rowCount(root));
    QVERIFY(m_fatalMessages.isEmpty());
}

void TestAppWindow::calorieLine_data()
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
void TestAppWindow::calorieLine()
{
    QFETCH(QString, figure);
    MainWindow &w = *m_loaded;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.hotSpotClicked(QStringLiteral("c"));
    QVERIFY(formOf(w).caloriePanel->isVisible());

    const QFontMetrics metrics(formOf(w).kcalFigure->font());
    formOf(w).kcalFigure->setText(QStringLiteral("88888888")); // a wide figure before, as after another food
    QTRY_VERIFY(formOf(w).kcalFigure->width() >= metrics.horizontalAdvance(formOf(w).kcalFigure->text()));
    formOf(w).kcalFigure->setText(figure); // as the calorie lookup does
    if (figure.isEmpty()) {
        QTRY_COMPARE(formOf(w).kcalUnit->pos(), twips(4440, 720, 450, 180).topLeft());
    } else {
        QTRY_COMPARE(formOf(w).kcalUnit->x(), formOf(w).kcalFigure->x() + formOf(w).kcalFigure->width());
        QVERIFY(formOf(w).kcalFigure->width() >= metrics.horizontalAdvance(figure));
    }
    QCOMPARE(formOf(w).kcalFigure->pos(), twips(4200, 720, 90, 180).topLeft());
    QCOMPARE(formOf(w).kcalUnit->y(), formOf(w).kcalFigure->y());
    QVERIFY(formOf(w).kcalUnit->width() >= QFontMetrics(formOf(w).kcalUnit->font()).horizontalAdvance(formOf(w).kcalUnit->text()));
    QVERIFY(formOf(w).caloriePanel->rect().contains(formOf(w).kcalUnit->geometry()));

    // No label paints a ground of its own over the panel.
    for (QLabel *label : {static_cast<QLabel *>(formOf(w).kcalCaption), static_cast<QLabel *>(formOf(w).kcalUnit),
                          static_cast<QLabel *>(formOf(w).kcalFigure)})
        QVERIFY2(!label->autoFillBackground(), qPrintable(label->objectName()));
    if (figure.isEmpty()) {
        const QImage panel = formOf(w).caloriePanel->grab().toImage();
        const QColor ground = formOf(w).caloriePanel->palette().color(QPalette::Window);
        const QRect between(formOf(w).kcalCaption->geometry().right() + 1, formOf(w).kcalFigure->y(),
                            formOf(w).kcalUnit->x() - formOf(w).kcalCaption->geometry().right() - 1, formOf(w).kcalFigure->height());
        const qreal dpr = panel.devicePixelRatio();
        for (int y = between.top(); y <= between.bottom(); ++y)
            for (int x = between.left(); x <= between.right(); ++x)
                QCOMPARE(QColor(panel.pixel(int(x * dpr), int(y * dpr))), ground);
    }
    formOf(w).kcalFigure->setText(QString());
}

// The mascot opens our About page, a self-contained file beside the program.
void TestAppWindow::aboutPageBesideProgram()
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
    const QString programDir = copyProgram(dir);
    auto window = Startup::openMainWindow(programDir);
    QVERIFY(window);
    UrlOpener::Recorder urls;
    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("logo"));
    QCOMPARE(urls.asked(), QList<QUrl>{QUrl::fromLocalFile(AboutPage::file(programDir))});
    QVERIFY(boxes.asked().isEmpty());
}

// Without its About page the mascot says which file is missing, and nothing else changes.
void TestAppWindow::logoWithoutAboutPage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString programDir = copyProgram(dir);
    const QString file = AboutPage::file(programDir);
    QVERIFY(QFile::remove(file));
    auto window = Startup::openMainWindow(programDir);
    QVERIFY(window);
    window->hotSpotClicked(QStringLiteral("a"));
    const QString title = formOf(*window).titleView->text();
    UrlOpener::Recorder urls;
    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("logo"));
    QVERIFY(urls.asked().isEmpty());
    QCOMPARE(boxes.asked().size(), 1);
    QCOMPARE(boxes.asked().first().text, QStringLiteral("找不到关于页面：") + QDir::toNativeSeparators(file));
    QCOMPARE(formOf(*window).titleView->text(), title);
    QVERIFY(!formOf(*window).caloriePanel->isVisible());
}

void TestAppWindow::chineseButtons()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Pellomir"), QStringLiteral("?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
}

void TestAppWindow::tabReachesPictureButtons()
{
    MessageBox::Recorder boxes;
    MainWindow &w = *m_loaded;
    // A section on show with a record being written: all five buttons are there.
    for (QWidget *button : {formOf(w).previousButton, formOf(w).nextButton, formOf(w).newButton, formOf(w).deleteButton, formOf(w).saveButton})
        button->show();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    formOf(w).titleView->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(formOf(w).titleView));

    QStringList reached;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(reached.mid(0, 5), (QStringList{"previousButton", "nextButton", "newButton", "saveButton", "deleteButton"}));

    // Space on a focused picture button clicks it once.
    QSignalSpy clicked(formOf(w).nextButton, &QAbstractButton::clicked);
    formOf(w).nextButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(formOf(w).nextButton, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);

    for (QWidget *button : {formOf(w).previousButton, formOf(w).nextButton, formOf(w).newButton, formOf(w).deleteButton, formOf(w).saveButton})
        button->hide();
}

void TestAppWindow::pictureButtonKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Space") << int(Qt::Key_Space) << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << 1;
    QTest::newRow("Enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("letter") << int(Qt::Key_A) << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
}

void TestAppWindow::pictureButtonKeys()
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

void TestAppWindow::closingAsksAboutTypedRecord()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyProgram(dir));
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    MessageBox::Recorder boxes;
    window->hotSpotClicked(QStringLiteral("a"));
    QTest::mouseClick(formOf(*window).newButton, Qt::LeftButton);
    QVERIFY(formOf(*window).titleEdit->isVisible());
    formOf(*window).titleEdit->insert(QStringLiteral("午餐"));
    boxes.clear();

    MessageBox::setNextAnswer(MessageBox::Cancel);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(formOf(*window).titleEdit->text(), QStringLiteral("午餐"));
    QCOMPARE(boxes.asked().size(), 1);

    MessageBox::setNextAnswer(MessageBox::Ok);
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
}

void TestAppWindow::skinButtonsNamedAndPlaced()
{
    MainWindow &w = *m_loaded;
    // Down the right-hand column, then the mascot and the window boxes.
    QStringList captions;
    for (const SkinCaption &entry : windowSkinCaptions())
        captions << entry.object + QLatin1Char('=') + entry.caption;
    QCOMPARE(captions, QStringList({"a=瘦身食谱", "b=有氧运动", "c=热量计算", "d=瘦身心得", "e=瘦身日记",
                                    "f=饮食记录", "logo=访问主页", "-=最小化", "x=关闭"}));
    int made = 0;
    for (const SkinCaption &entry : windowSkinCaptions()) {
        const QString object = entry.object;
        const SkinObject *skinObject = skinEngineOf(w).object(object);
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

void TestAppWindow::tabReachesSkinButtons()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyProgram(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The start state: the title has the focus (the food tree's build gives it).
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(formOf(w).titleView));

    QStringList expected;
    for (const SkinCaption &entry : windowSkinCaptions())
        if (skinEngineOf(w).object(entry.object))
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

void TestAppWindow::skinButtonPresses_data()
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

void TestAppWindow::skinButtonPresses()
{
    QFETCH(QString, object);
    QFETCH(QString, how);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyProgram(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MessageBox::Recorder boxes;
    UrlOpener::Recorder urls;
    QSignalSpy clicks(&skinEngineOf(w), &SkinEngine::clicked);

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
        QVERIFY(!formOf(w).newButton->isHidden()); // the section is open
        QVERIFY(formOf(w).previousButton->isVisible());
    } else if (object == QLatin1String("c")) {
        QVERIFY(formOf(w).caloriePanel->isVisible());
    } else if (object == QLatin1String("logo")) {
        QCOMPARE(urls.asked().size(), 1);
    } else if (object == QLatin1String("-")) {
        QTRY_VERIFY(w.isMinimized());
    }
    QVERIFY(boxes.asked().isEmpty());
}

void TestAppWindow::skinButtonFocusRing()
{
    MainWindow &w = *m_loaded;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *button = w.findChild<SkinButton *>(QStringLiteral("skin_a"));
    QVERIFY(button);
    formOf(w).titleView->setFocus(Qt::OtherFocusReason);
    const QImage before = w.grab(button->geometry()).toImage();
    button->setFocus(Qt::TabFocusReason);
    const QImage focused = w.grab(button->geometry()).toImage();
    formOf(w).titleView->setFocus(Qt::TabFocusReason);
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

void TestAppWindow::everyControlHasChineseName()
{
    MainWindow &w = *m_loaded;
    // Shown with a food picked, so the calorie figure has a text.
    const QAbstractItemModel *tree = formOf(w).foodTree->model();
    const QModelIndex category = tree->index(0, 0, tree->index(0, 0));
    QVERIFY(category.isValid() && tree->rowCount(category) > 0);
    calorieLookupOf(w)->onTreeNodeClicked(tree->index(0, 0, category));
    QVERIFY(!formOf(w).kcalFigure->text().isEmpty());
    QCOMPARE(formOf(w).kcalFigure->accessibleName(), formOf(w).kcalFigure->text() + QStringLiteral(" 大卡"));

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

namespace {

QStringList menuTexts(const QMenu *menu)
{
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

} // namespace

void TestAppWindow::windowMenuOpensByMouseAndKeys()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto window = Startup::openMainWindow(copyProgram(dir));
    QVERIFY(window);
    MainWindow &w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QMenu *menu = windowMenuOf(w);
    QVERIFY(menu);
    QCOMPARE(menuTexts(menu), (QStringList{"导出笔记…", "导出报告…", "备份数据…", "从备份恢复…", "添加自定义食物…",
                                           "修改自定义食物…", "导出自定义食物…", "导入自定义食物…", "搜索时使用模糊音（z/zh、c/ch、s/sh、n/l、h/f、r/l、an/ang、en/eng、in/ing）",
                                           "关于 Pellomir"}));

    // A right click on the window's picture.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 200), w.mapToGlobal(QPoint(300, 200)));
    QApplication::sendEvent(formOf(w).welcomePicture, &click);
    QTRY_VERIFY(menu->isVisible());
    menu->hide();

    // The Menu key as the platform reports it: a context-menu event for the control with the
    // focus, here a text box with an edit menu of its own.
    for (QWidget *control : {static_cast<QWidget *>(formOf(w).titleView), static_cast<QWidget *>(formOf(w).bodyView)}) {
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), control->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(control, &key);
        QTRY_VERIFY(menu->isVisible());
        QVERIFY(!QApplication::activePopupWidget() || QApplication::activePopupWidget() == menu);
        menu->hide();
    }

    // The Menu key and Shift+F10 as keys, even with the focus in a text box.
    for (const auto &[key, modifiers] : {std::pair{Qt::Key_Menu, Qt::NoModifier},
                                         std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
        formOf(w).titleView->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(formOf(w).titleView->hasFocus());
        QTest::keyClick(formOf(w).titleView, key, modifiers);
        QTRY_VERIFY(menu->isVisible());
        menu->hide();
    }
}

void TestAppWindow::aboutBox()
{
    MessageBox::Recorder boxes;
    menuAction(*m_loaded, "about")->trigger();
    QCOMPARE(boxes.asked().size(), 1);
    const MessageBox::Shown &box = boxes.asked().first();
    QCOMPARE(box.title, QStringLiteral("关于 Pellomir"));
    for (const QString &part : {QStringLiteral("Pellomir 1.4"), QStringLiteral("GPL-3.0-or-later"),
                                QStringLiteral("中国食物成分表"), QStringLiteral("食品營養成分資料庫"),
                                QDir::toNativeSeparators(m_loaded->dataFile())})
        QVERIFY2(box.text.contains(part), qPrintable(part));
    QVERIFY(box.text.size() <= MessageBox::MaxDisplayChars);
}

QTEST_MAIN(TestAppWindow)
#include "test_app.moc"
