// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SeamRecorder.h"

#include <QList>
#include <QString>
#include <QStringList>

class QFont;
class QWidget;

// <windows.h> names a function of its own MessageBox, as a macro.
#ifdef MessageBox
#undef MessageBox
#endif

// The program's modal message boxes: no icon, an OK button, or OK and Cancel
// (labelled 确定 and 取消). Shown texts are plain text, never markup. A box is at
// least as wide as a window manager's title bar needs to show its title whole.
//
// Tests answer boxes without showing them: setNextAnswer() answers the next
// box, and a Recorder, while it lives, keeps every box asked for and answers it
// (with the next answer if one was set, else with the box's first button).
// Its answers are set through setNextAnswer() and setNextChoice(), never queued.
class MessageBox
{
public:
    enum Button { NoButton = 0, Ok = 0x00000400, Cancel = 0x00400000 };

    // OK only.
    static Button information(QWidget *parent, const QString &title, const QString &text);
    // OK and Cancel; closing the box or Escape answers Cancel. Return answers
    // the default button.
    static Button question(QWidget *parent, const QString &title, const QString &text,
                           Button defaultButton = Ok);

    // Buttons named by what they do (替换, 保留已有的, 取消), in this order; Return answers
    // `defaultIndex`. The last button is the one that does nothing: Escape and closing the box
    // answer it. Returns the index of the button.
    static int choose(QWidget *parent, const QString &title, const QString &text, const QStringList &buttons,
                      int defaultIndex = 0);

    // User text quoted in a message (a record's title in a confirmation, say),
    // cut short with "…" so the box stays a usable size; the message's own
    // words go around it whole. Never splits a character (an emoji, a letter
    // with its accents).
    static QString quote(const QString &userText);
    static constexpr int MaxQuotedChars = 80;
    // Messages quote user text through quote(), so their texts stay within this.
    static constexpr int MaxDisplayChars = 500;

    // The width a box needs for a title bar to show `title` whole: the title in a
    // bold, slightly larger font than `font`, beside an icon and three buttons.
    static int widthForTitle(const QString &title, const QFont &font);

    // Test seam: the next box is not shown but answered with `button`.
    static void setNextAnswer(Button button);
    // Test seam: the next choose() box is not shown but answered with the button at `index`
    // (its last one: what Escape answers).
    static void setNextChoice(int index);

    struct Shown
    {
        QString title;
        QString text;
        QList<Button> buttons;
        Button defaultButton = Ok;
        QStringList labels; // a choose() box's buttons; empty for the others
    };

    // Test seam: records every box asked for while it lives (asked()); no box is shown.
    using Recorder = SeamRecorder<MessageBox, Shown>;

private:
    static Button ask(QWidget *parent, const QString &title, const QString &text,
                      const QList<Button> &buttons, Button defaultButton);
};
