// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/JfForm.h"

#include "widgets/AutoSizeLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/LongTextEdits.h"
#include "widgets/PictureBox.h"
#include "resources/Pictures.h"

#include <QApplication>
#include <QFontDatabase>
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
    control->setGeometry(JfLayout::pixels(left), JfLayout::pixels(top), JfLayout::pixels(width),
                         JfLayout::pixels(height));
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

int JfLayout::pixels(int twips)
{
    return qRound(twips / 15.0);
}

QFont JfLayout::songFont()
{
    static const char *const songFamilies[] = {
        "SimSun",          "宋体",           "NSimSun", "Noto Serif CJK SC", "Source Han Serif SC",
        "AR PL UMing CN", "AR PL SungtiL GB",
    };
    const QStringList installed = QFontDatabase::families();
    QString family = QStringLiteral("WenQuanYi Micro Hei");
    for (const char *candidate : songFamilies) {
        if (installed.contains(QString::fromUtf8(candidate), Qt::CaseInsensitive)) {
            family = QString::fromUtf8(candidate);
            break;
        }
    }
    QFont font(family);
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    return font;
}

void JfForm::setupForm(QWidget *jf)
{
    jf->setObjectName(QStringLiteral("jf"));
    jf->setWindowTitle(QStringLiteral("Pellomir1.0"));
    // The window icon is the application's (Startup), which every window shows unless it
    // sets its own; rendering it twice would only slow the start.
    // A fixed size: the window cannot be resized or maximised. (No title-bar hints are set:
    // they would keep the skin from taking the frame away.)
    jf->setFixedSize(JfLayout::pixels(9045), JfLayout::pixels(5820));
    QPalette palette = jf->palette();
    palette.setColor(QPalette::Window, Qt::white);
    jf->setPalette(palette);

    const QFont song = JfLayout::songFont();

    // The calorie panel.
    Frame1 = new QFrame(jf);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    place(Frame1, 480, 1245, 6615, 4095);
    setColours(Frame1, PanelGrey, windowTextColour());
    Frame1->setAccessibleName(QStringLiteral("热量计算"));

    Text3 = oneLineBox(Frame1, "Text3", QString());
    place(Text3, 3240, 320, 3255, 255);
    setColours(Text3, PanelGrey, windowTextColour());
    // It shows the food that was clicked; typing into it would change nothing.
    Text3->setReadOnly(true);
    Text3->setAccessibleName(QStringLiteral("食物名称"));

    Tv = new QTreeView(Frame1);
    Tv->setObjectName(QStringLiteral("Tv"));
    Tv->setHeaderHidden(true);
    // Every row is one line of text beside a 16-pixel picture: the view need not
    // measure each row, which keeps large categories quick to open and scroll.
    Tv->setUniformRowHeights(true);
    Tv->setFrameShape(QFrame::NoFrame);
    Tv->setIconSize(QSize(16, 16));
    Tv->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tv->setAccessibleName(QStringLiteral("食物分类"));
    // The tree ends at the panel's bottom edge (4095 - 240 twips high): any taller and the
    // panel would cut off its last row and the lower end of its scroll bar.
    place(Tv, 0, 240, 3015, 4095 - 240);

    Label3 = label(Frame1, "Label3", QString());
    place(Label3, 4200, 720, 90, 180);
    // The calorie lookup names it by the figure it shows (CalorieLookup); empty, it says so.
    Label3->setAccessibleName(QStringLiteral("未选食物"));

    Line1 = new QFrame(Frame1);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    QPalette rulePalette = Line1->palette();
    rulePalette.setColor(QPalette::WindowText, RuleColour);
    Line1->setPalette(rulePalette);
    Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Line1->setGeometry(JfLayout::pixels(3240), JfLayout::pixels(600),
                       JfLayout::pixels(6480) - JfLayout::pixels(3240), 1);
    Line1->setAccessibleName(QStringLiteral("分隔线"));

    Label2 = label(Frame1, "Label2", QStringLiteral(" 大卡"));
    place(Label2, 4440, 720, 450, 180);
    Label2->setAccessibleName(QStringLiteral("大卡"));
    // The unit follows the figure: "346 大卡" at any width of the figure, never covered.
    Label3->setFollower(Label2);

    Label1 = label(Frame1, "Label1", QStringLiteral("所含热量："));
    place(Label1, 3240, 720, 900, 180);

    Im2 = Pictures::nodeImages();

    // The picture buttons above the content area.
    P4 = imageButton(jf, "P4", "button-delete", QStringLiteral("删除资料"));
    place(P4, 6240, 790, 375, 375);
    P5 = imageButton(jf, "P5", "button-save", QStringLiteral("保存资料"));
    place(P5, 6240, 790, 375, 375);
    P3 = imageButton(jf, "P3", "button-add", QStringLiteral("添加新资料"));
    place(P3, 5640, 790, 375, 375);
    P2 = imageButton(jf, "P2", "button-next", QStringLiteral("下一条资料"));
    place(P2, 5040, 790, 375, 375);
    P1 = imageButton(jf, "P1", "button-prev", QStringLiteral("上一条资料"));
    place(P1, 4440, 790, 375, 375);

    // The title strip.
    addtext = oneLineBox(jf, "addtext", QStringLiteral("在此输入标题"));
    place(addtext, 480, 840, 3855, 270);
    setColours(addtext, InputGrey, TitleBarText);
    addtext->setFont(song);
    addtext->setAccessibleName(QStringLiteral("新资料标题"));

    Text1 = oneLineBox(jf, "Text1", QString());
    place(Text1, 480, 890, 3855, 270);
    setColours(Text1, InputGrey, TitleBarText);
    Text1->setFont(song);
    // It shows the title of a stored record; edits there would never be saved.
    Text1->setReadOnly(true);
    Text1->setAccessibleName(QStringLiteral("资料标题"));

    cmdForward = commandButton(jf, "cmdForward", QStringLiteral("前进"));
    place(cmdForward, 7200, 2640, 495, 375);
    cmdDelete = commandButton(jf, "cmdDelete", QStringLiteral("删除"));
    place(cmdDelete, 7200, 2160, 495, 375);
    cmdAdd = commandButton(jf, "cmdAdd", QStringLiteral("添加"));
    place(cmdAdd, 7200, 1680, 495, 375);
    cmdBack = commandButton(jf, "cmdBack", QStringLiteral("后退"));
    place(cmdBack, 7200, 1200, 495, 375);

    // The content area.
    Pv = new PictureBox(QStringLiteral("welcome"), QSize(434, 272), jf);
    Pv->setObjectName(QStringLiteral("Pv"));
    place(Pv, 480, 1245, 6615, 4095);
    setColours(Pv, windowColour(), windowTextColour());
    Pv->setAccessibleName(QStringLiteral("欢迎图片"));

    List1 = new QListWidget(Pv);
    List1->setObjectName(QStringLiteral("List1"));
    place(List1, 720, 240, 2295, 240);
    List1->setAccessibleName(QStringLiteral("食物分类列表"));
    List1->hide();

    addbox = new BodyInput(QStringLiteral("在此输入内容"), jf);
    addbox->setObjectName(QStringLiteral("addbox"));
    addbox->setFrameShape(QFrame::NoFrame);
    place(addbox, 480, 1200, 6615, 4095);
    setColours(addbox, PanelGrey, TitleBarText);
    addbox->setFont(song);
    // Tab moves on to the next control; it is not typed into the body.
    addbox->setTabChangesFocus(true);
    addbox->setAccessibleName(QStringLiteral("新资料内容"));

    box1 = new RecordView(jf);
    box1->setObjectName(QStringLiteral("box1"));
    box1->setAcceptRichText(false);
    box1->setFrameShape(QFrame::NoFrame);
    place(box1, 480, 1245, 6615, 4095);
    setColours(box1, PanelGrey, windowTextColour());
    // It shows a stored record; it can be read, selected and scrolled, not edited.
    box1->setReadOnly(true);
    box1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box1->setTabChangesFocus(true);
    box1->setAccessibleName(QStringLiteral("资料内容"));

    // Stacking: each list names the topmost control first, and in Qt a later sibling lies
    // above an earlier one, so raise them from the bottom of the list up.
    const QList<QWidget *> onWindowTopFirst = {Frame1,     P4,        P5,     P3,      P2,
                                               P1,         addtext,   Text1,  cmdForward,
                                               cmdDelete,  cmdAdd,    cmdBack, Pv,     addbox,
                                               box1};
    const QList<QWidget *> inPanelTopFirst = {Text3, Tv, Label3, Line1, Label2, Label1};
    for (const auto *siblings : {&onWindowTopFirst, &inPanelTopFirst})
        for (auto it = siblings->crbegin(); it != siblings->crend(); ++it)
            (*it)->raise();

    // Tab order, first to last; the labels, the rule and the frame take no focus.
    const QList<QWidget *> tabOrder = {box1, cmdBack, cmdAdd, cmdDelete, cmdForward, Text1,
                                       addtext, P1, P2, P3, P5, addbox, P4, List1, Tv, Text3};
    for (int i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}
