#pragma once

#include <QList>
#include <QString>

class QWidget;

// <windows.h> names a function of its own MessageBox, as a macro.
#ifdef MessageBox
#undef MessageBox
#endif

// The program's modal message boxes: no icon, an OK button, or OK and Cancel
// (labelled 确定 and 取消). Shown texts are plain text, never markup.
//
// Tests answer boxes without showing them: setNextAnswer() answers the next
// box, and a Recorder, while it lives, keeps every box asked for and answers it
// (with the next answer if one was set, else with the box's first button).
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

    // The text as the box shows it: very long texts (a whole record's title
    // in a confirmation, say) are cut short so the box stays a usable size.
    static QString displayText(const QString &text);
    static constexpr int MaxDisplayChars = 500;

    // Test seam: the next box is not shown but answered with `button`.
    static void setNextAnswer(Button button);

    struct Shown
    {
        QString title;
        QString text;
        QList<Button> buttons;
        Button defaultButton = Ok;
    };

    // Test seam: records every box asked for while it lives; no box is shown.
    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder &) = delete;
        Recorder &operator=(const Recorder &) = delete;

        const QList<Shown> &boxes() const { return m_boxes; }
        void clear() { m_boxes.clear(); }

    private:
        friend class MessageBox;
        QList<Shown> m_boxes;
        Recorder *m_previous = nullptr;
    };

private:
    static Button ask(QWidget *parent, const QString &title, const QString &text,
                      const QList<Button> &buttons, Button defaultButton);
};
