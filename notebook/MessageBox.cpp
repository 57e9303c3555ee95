#include "MessageBox.h"

#include <QIcon>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageBox::Button s_nextAnswer = MessageBox::NoButton;
MessageBox::Recorder *s_recorder = nullptr;

QMessageBox::StandardButton toStandard(MessageBox::Button button)
{
    return static_cast<QMessageBox::StandardButton>(button);
}
} // namespace

MessageBox::Recorder::Recorder() : m_previous(s_recorder)
{
    s_recorder = this;
}

MessageBox::Recorder::~Recorder()
{
    s_recorder = m_previous;
}

MessageBox::Button MessageBox::information(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, title, text, {Ok}, Ok);
}

MessageBox::Button MessageBox::question(QWidget *parent, const QString &title, const QString &text,
                                        Button defaultButton)
{
    return ask(parent, title, text, {Ok, Cancel}, defaultButton);
}

QString MessageBox::displayText(const QString &text)
{
    if (text.size() <= MaxDisplayChars)
        return text;
    QString shown = text.left(MaxDisplayChars);
    // Never split a surrogate pair (an emoji) in two.
    if (shown.back().isHighSurrogate())
        shown.chop(1);
    return shown + QChar(0x2026);
}

void MessageBox::setNextAnswer(Button button)
{
    s_nextAnswer = button;
}

MessageBox::Button MessageBox::ask(QWidget *parent, const QString &title, const QString &text,
                                   const QList<Button> &buttons, Button defaultButton)
{
    if (s_recorder)
        s_recorder->m_boxes.append({title, text, buttons, defaultButton});

    if (s_nextAnswer != NoButton || s_recorder) {
        const Button answer = s_nextAnswer != NoButton ? s_nextAnswer : buttons.first();
        s_nextAnswer = NoButton;
        return answer;
    }

    QMessageBox box(QMessageBox::NoIcon, title, displayText(text), QMessageBox::NoButton, parent);
    // Titles and bodies come from what users typed: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    for (Button button : buttons) {
        QPushButton *pushButton = box.addButton(toStandard(button));
        pushButton->setText(button == Ok ? QStringLiteral("确定") : QStringLiteral("取消"));
        pushButton->setIcon(QIcon()); // some styles decorate standard buttons
    }
    box.setDefaultButton(toStandard(defaultButton));
    box.setEscapeButton(toStandard(buttons.contains(Cancel) ? Cancel : Ok));
    box.exec();

    const auto clicked = box.standardButton(box.clickedButton());
    if (clicked == QMessageBox::Ok)
        return Ok;
    return buttons.contains(Cancel) ? Cancel : Ok;
}
