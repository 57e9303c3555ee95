// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ui/MainForm.h"
#include "widgets/TextFonts.h"

#include "resources/Pictures.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/LongTextEdits.h"
#include "widgets/PictureBox.h"

#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeView>

namespace {

// Text in the inputs and the record title: a fixed deep navy, so the text reads the same on
// every platform style (the title-bar colour of the system it was drawn for).
const QColor TitleBarText(0x1E, 0x3A, 0x8A);
const QColor InputGrey(0xF0, 0xF0, 0xF0);
const QColor PanelGrey(0xFA, 0xFA, 0xFA);
const QColor RuleColour(0xC8, 0xCE, 0xD6);

// The system's "window" colour: the ground of text boxes and other content, white by default.
QColor windowColour()
{
    return QApplication::palette().color(QPalette::Base);
}

QColor windowTextColour()
{
    return QApplication::palette().color(QPalette::Text);
}

void place(QWidget *control, int left, int top, int width, int height)
{
    control->setGeometry(MainFormLayout::pixels(left), MainFormLayout::pixels(top), MainFormLayout::pixels(width),
                         MainFormLayout::pixels(height));
}

void setColours(QWidget *control, QColor background, QColor text)
{
    QPalette palette = control->palette();
    for (auto role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(role, background);
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, text);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QLineEdit *oneLineBox(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFrame(false);
    box->setTextMargins(2, 0, 2, 0);
    return box;
}

AutoSizeLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *control = new AutoSizeLabel(text, parent);
    control->setObjectName(QLatin1String(name));
    control->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The text only: the panel's ground shows through, even with nothing on show.
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, windowTextColour());
    control->setPalette(palette);
    return control;
}

QPushButton *commandButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->hide();
    return button;
}

ImageButton *imageButton(QWidget *parent, const char *name, const char *picture, const QString &tip)
{
    auto *button = new ImageButton(QLatin1String(picture), tip, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

int MainFormLayout::pixels(int twips)
{
    return qRound(twips / 15.0);
}

QRect MainForm::leftPanelArea()
{
    return QRect(MainFormLayout::pixels(420), MainFormLayout::pixels(720), MainFormLayout::pixels(6750),
                 MainFormLayout::pixels(4650));
}

QList<QWidget *> MainForm::leftPanelControls() const
{
    return {previousButton, nextButton, newButton, deleteButton, saveButton, welcomePicture,
            caloriePanel,   titleView,  bodyView,  titleEdit,    bodyEdit};
}

QFont MainFormLayout::songFont()
{
    return TextFonts::song();
}

void MainForm::setupForm(QWidget *window)
{
    setUpWindow(window);
    const QFont song = MainFormLayout::songFont();
    makeCaloriePanel(window);
    makePictureButtons(window);
    makeTitleStrip(window, song);
    makeCommandButtons(window);
    makeContentArea(window, song);
    setStackingAndTabOrder();
}

void MainForm::setUpWindow(QWidget *window)
{
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setWindowTitle(QStringLiteral("Pellomir1.0"));
    // The window icon is the application's (Startup), which every window shows unless it
    // sets its own; rendering it twice would only slow the start.
    // A fixed size: the window cannot be resized or maximised. (No title-bar hints are set:
    // they would keep the skin from taking the frame away.)
    window->setFixedSize(MainFormLayout::pixels(9045), MainFormLayout::pixels(5820));
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
}

void MainForm::makeCaloriePanel(QWidget *window)
{
    // The calorie panel.
    caloriePanel = new QFrame(window);
    caloriePanel->setObjectName(QStringLiteral("caloriePanel"));
    caloriePanel->setFrameShape(QFrame::NoFrame);
    place(caloriePanel, 480, 1245, 6615, 4095);
    setColours(caloriePanel, PanelGrey, windowTextColour());
    caloriePanel->setAccessibleName(QStringLiteral("热量计算"));

    foodNameBox = oneLineBox(caloriePanel, "foodNameBox", QString());
    place(foodNameBox, 3240, 320, 3255, 255);
    setColours(foodNameBox, PanelGrey, windowTextColour());
    // It shows the food that was clicked; typing into it would change nothing.
    foodNameBox->setReadOnly(true);
    foodNameBox->setAccessibleName(QStringLiteral("食物名称"));

    foodTree = new QTreeView(caloriePanel);
    foodTree->setObjectName(QStringLiteral("foodTree"));
    foodTree->setHeaderHidden(true);
    // Every row is one line of text beside a 16-pixel picture: the view need not
    // measure each row, which keeps large categories quick to open and scroll.
    foodTree->setUniformRowHeights(true);
    foodTree->setFrameShape(QFrame::NoFrame);
    foodTree->setIconSize(QSize(16, 16));
    foodTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    foodTree->setAccessibleName(QStringLiteral("食物分类"));
    // The tree ends at the panel's bottom edge (4095 - 240 twips high): any taller and the
    // panel would cut off its last row and the lower end of its scroll bar.
    place(foodTree, 0, 240, 3015, 4095 - 240);

    kcalFigure = label(caloriePanel, "kcalFigure", QString());
    place(kcalFigure, 4200, 720, 90, 180);
    // The calorie lookup names it by the figure it shows (CalorieLookup); empty, it says so.
    kcalFigure->setAccessibleName(QStringLiteral("未选食物"));

    panelRule = new QFrame(caloriePanel);
    panelRule->setObjectName(QStringLiteral("panelRule"));
    panelRule->setFrameShape(QFrame::HLine);
    panelRule->setFrameShadow(QFrame::Plain);
    panelRule->setLineWidth(1);
    QPalette rulePalette = panelRule->palette();
    rulePalette.setColor(QPalette::WindowText, RuleColour);
    panelRule->setPalette(rulePalette);
    panelRule->setAttribute(Qt::WA_TransparentForMouseEvents);
    panelRule->setGeometry(MainFormLayout::pixels(3240), MainFormLayout::pixels(600),
                       MainFormLayout::pixels(6480) - MainFormLayout::pixels(3240), 1);
    panelRule->setAccessibleName(QStringLiteral("分隔线"));

    kcalUnit = label(caloriePanel, "kcalUnit", QStringLiteral(" 大卡"));
    place(kcalUnit, 4440, 720, 450, 180);
    kcalUnit->setAccessibleName(QStringLiteral("大卡"));
    // The unit follows the figure: "346 大卡" at any width of the figure, never covered.
    kcalFigure->setFollower(kcalUnit);

    kcalCaption = label(caloriePanel, "kcalCaption", QStringLiteral("所含热量："));
    place(kcalCaption, 3240, 720, 900, 180);

    treeIcons = Pictures::nodeImages();
}

void MainForm::makePictureButtons(QWidget *window)
{
    // The picture buttons above the content area.
    deleteButton = imageButton(window, "deleteButton", "button-delete", QStringLiteral("删除资料"));
    place(deleteButton, 6240, 790, 375, 375);
    saveButton = imageButton(window, "saveButton", "button-save", QStringLiteral("保存资料"));
    place(saveButton, 6240, 790, 375, 375);
    newButton = imageButton(window, "newButton", "button-add", QStringLiteral("添加新资料"));
    place(newButton, 5640, 790, 375, 375);
    nextButton = imageButton(window, "nextButton", "button-next", QStringLiteral("下一条资料"));
    place(nextButton, 5040, 790, 375, 375);
    previousButton = imageButton(window, "previousButton", "button-prev", QStringLiteral("上一条资料"));
    place(previousButton, 4440, 790, 375, 375);
}

void MainForm::makeTitleStrip(QWidget *window, const QFont &song)
{
    // The title strip.
    titleEdit = oneLineBox(window, "titleEdit", QStringLiteral("在此输入标题"));
    place(titleEdit, 480, 840, 3855, 270);
    setColours(titleEdit, InputGrey, TitleBarText);
    titleEdit->setFont(song);
    titleEdit->setAccessibleName(QStringLiteral("新资料标题"));

    titleView = oneLineBox(window, "titleView", QString());
    place(titleView, 480, 890, 3855, 270);
    setColours(titleView, InputGrey, TitleBarText);
    titleView->setFont(song);
    // It shows the title of a stored record; edits there would never be saved.
    titleView->setReadOnly(true);
    titleView->setAccessibleName(QStringLiteral("资料标题"));
    // Empty at the start: it says what it is for instead of looking like a stray grey bar. A
    // grey that still reads clearly on the box (about 6:1).
    titleView->setPlaceholderText(QStringLiteral("选择右侧的栏目查看资料"));
    QPalette placeholder = titleView->palette();
    placeholder.setColor(QPalette::PlaceholderText, QColor(0x5A, 0x5A, 0x5A));
    titleView->setPalette(placeholder);
}

void MainForm::makeCommandButtons(QWidget *window)
{
    forwardCommand = commandButton(window, "forwardCommand", QStringLiteral("前进"));
    place(forwardCommand, 7200, 2640, 495, 375);
    deleteCommand = commandButton(window, "deleteCommand", QStringLiteral("删除"));
    place(deleteCommand, 7200, 2160, 495, 375);
    addCommand = commandButton(window, "addCommand", QStringLiteral("添加"));
    place(addCommand, 7200, 1680, 495, 375);
    backCommand = commandButton(window, "backCommand", QStringLiteral("后退"));
    place(backCommand, 7200, 1200, 495, 375);
}

void MainForm::makeContentArea(QWidget *window, const QFont &song)
{
    // The content area.
    welcomePicture = new PictureBox(QStringLiteral("welcome"), QSize(434, 272), window);
    welcomePicture->setObjectName(QStringLiteral("welcomePicture"));
    place(welcomePicture, 480, 1245, 6615, 4095);
    setColours(welcomePicture, windowColour(), windowTextColour());
    welcomePicture->setAccessibleName(QStringLiteral("欢迎图片"));

    categoryList = new QListWidget(welcomePicture);
    categoryList->setObjectName(QStringLiteral("categoryList"));
    place(categoryList, 720, 240, 2295, 240);
    categoryList->setAccessibleName(QStringLiteral("食物分类列表"));
    categoryList->hide();

    bodyEdit = new BodyInput(QStringLiteral("在此输入内容"), window);
    bodyEdit->setObjectName(QStringLiteral("bodyEdit"));
    bodyEdit->setFrameShape(QFrame::NoFrame);
    place(bodyEdit, 480, 1200, 6615, 4095);
    setColours(bodyEdit, PanelGrey, TitleBarText);
    bodyEdit->setFont(song);
    // Tab moves on to the next control; it is not typed into the body.
    bodyEdit->setTabChangesFocus(true);
    bodyEdit->setAccessibleName(QStringLiteral("新资料内容"));

    bodyView = new RecordView(window);
    bodyView->setObjectName(QStringLiteral("bodyView"));
    bodyView->setAcceptRichText(false);
    bodyView->setFrameShape(QFrame::NoFrame);
    place(bodyView, 480, 1245, 6615, 4095);
    setColours(bodyView, PanelGrey, windowTextColour());
    // It shows a stored record; it can be read, selected and scrolled, not edited.
    bodyView->setReadOnly(true);
    bodyView->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    bodyView->setTabChangesFocus(true);
    bodyView->setAccessibleName(QStringLiteral("资料内容"));
}

void MainForm::setStackingAndTabOrder()
{
    // Stacking: each list names the topmost control first, and in Qt a later sibling lies
    // above an earlier one, so raise them from the bottom of the list up.
    const QList<QWidget *> onWindowTopFirst = {caloriePanel,     deleteButton,        saveButton,     newButton,      nextButton,
                                               previousButton,         titleEdit,   titleView,  forwardCommand,
                                               deleteCommand,  addCommand,    backCommand, welcomePicture,     bodyEdit,
                                               bodyView};
    const QList<QWidget *> inPanelTopFirst = {foodNameBox, foodTree, kcalFigure, panelRule, kcalUnit, kcalCaption};
    for (const auto *siblings : {&onWindowTopFirst, &inPanelTopFirst})
        for (auto it = siblings->crbegin(); it != siblings->crend(); ++it)
            (*it)->raise();

    // Tab order, first to last; the labels, the rule and the frame take no focus.
    const QList<QWidget *> tabOrder = {bodyView, backCommand, addCommand, deleteCommand, forwardCommand, titleView,
                                       titleEdit, previousButton, nextButton, newButton, saveButton, bodyEdit, deleteButton, categoryList, foodTree, foodNameBox};
    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}
