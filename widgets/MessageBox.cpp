// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/MessageBox.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTextBoundaryFinder>

namespace {
MessageBox::Button s_nextAnswer = MessageBox::NoButton;
constexpr int NoChoice = -1;
int s_nextChoice = NoChoice;

// QMessageBox sizes itself to its text and buttons only: a short text under a window manager's
// title bar would leave the title cut to "：：…：：". An empty row as wide as the title needs
// widens the box (and only lets it grow).
void fitTitle(QMessageBox &box, const QString &title)
{
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const QMargins margins = grid->contentsMargins();
        const int width = MessageBox::widthForTitle(title, box.font()) - margins.left() - margins.right();
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

QMessageBox::StandardButton toStandard(MessageBox::Button button)
{
    return static_cast<QMessageBox::StandardButton>(button);
}
} // namespace

MessageBox::Button MessageBox::information(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, title, text, {Ok}, Ok);
}

MessageBox::Button MessageBox::question(QWidget *parent, const QString &title, const QString &text,
                                        Button defaultButton)
{
    return ask(parent, title, text, {Ok, Cancel}, defaultButton);
}

QString MessageBox::quote(const QString &userText)
{
    if (userText.size() <= MaxQuotedChars)
        return userText;
    // The last character boundary within the limit: a surrogate pair or a letter
    // with its combining marks stays whole.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, userText);
    characters.setPosition(MaxQuotedChars);
    const qsizetype end = characters.isAtBoundary() ? MaxQuotedChars : characters.toPreviousBoundary();
    return userText.left(qMax<qsizetype>(end, 0)) + QChar(0x2026);
}

int MessageBox::widthForTitle(const QString &title, const QFont &font)
{
    QFont titleFont(font);
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    const QFontMetrics metrics(titleFont);
    // The icon and the three buttons are squares about as high as the bar; half a
    // square of room on either side of the title makes the fifth.
    const int bar = metrics.height() + 10;
    return metrics.horizontalAdvance(title) + 5 * bar;
}

void MessageBox::setNextChoice(int index)
{
    s_nextChoice = index;
}

int MessageBox::choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                       int defaultIndex)
{
    Q_ASSERT(!buttons.isEmpty());
    const int escape = int(buttons.size()) - 1;
    Recorder *recorder = Recorder::active();
    if (recorder)
        recorder->record({title, text, {}, NoButton, buttons});
    if (s_nextChoice != NoChoice || recorder) {
        const int answer = s_nextChoice != NoChoice ? qBound(0, s_nextChoice, escape) : 0;
        s_nextChoice = NoChoice;
        return answer;
    }

    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QList<QPushButton *> pushButtons;
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton *button = box.addButton(buttons.at(i), i == escape ? QMessageBox::RejectRole
                                                                       : QMessageBox::AcceptRole);
        button->setAccessibleName(buttons.at(i));
        pushButtons << button;
    }
    box.setDefaultButton(pushButtons.value(defaultIndex, pushButtons.first()));
    box.setEscapeButton(pushButtons.last());
    fitTitle(box, title);
    box.exec();
    const int clicked = int(pushButtons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return clicked < 0 ? escape : clicked;
}

void MessageBox::setNextAnswer(Button button)
{
    s_nextAnswer = button;
}

MessageBox::Button MessageBox::ask(QWidget *parent, const QString &title, const QString &text,
                                   const QList<Button> &buttons, Button defaultButton)
{
    Recorder *recorder = Recorder::active();
    if (recorder)
        recorder->record({title, text, buttons, defaultButton, {}});

    if (s_nextAnswer != NoButton || recorder) {
        const Button answer = s_nextAnswer != NoButton ? s_nextAnswer : buttons.first();
        s_nextAnswer = NoButton;
        return answer;
    }

    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    // Titles and bodies come from what users typed: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    for (Button button : buttons) {
        QPushButton *pushButton = box.addButton(toStandard(button));
        pushButton->setText(button == Ok ? QStringLiteral("确定") : QStringLiteral("取消"));
        pushButton->setIcon(QIcon()); // some styles decorate standard buttons
    }
    box.setDefaultButton(toStandard(defaultButton));
    box.setEscapeButton(toStandard(buttons.contains(Cancel) ? Cancel : Ok));
    fitTitle(box, title);
    box.exec();

    const auto clicked = box.standardButton(box.clickedButton());
    if (clicked == QMessageBox::Ok)
        return Ok;
    return buttons.contains(Cancel) ? Cancel : Ok;
}
