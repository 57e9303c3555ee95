// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>

class AutoSizeLabel;
class ImageButton;
class PictureBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class QTreeView;
class QWidget;

// The controls of the main window: kind, name, container, place and size,
// stacking order, tab order, texts, colours, tooltips, fonts and what is on show when the
// window is created. MainWindow inherits the members, so each control is reached by its name.
class JfForm
{
public:
    // Creates every control on `jf` and gives the window its title, fixed size and ground colour.
    void setupForm(QWidget *jf);

    // The calorie panel and what lies in it.
    QFrame *Frame1 = nullptr;
    QLineEdit *Text3 = nullptr;
    QTreeView *Tv = nullptr;
    AutoSizeLabel *Label3 = nullptr;
    QFrame *Line1 = nullptr;      // a one-pixel rule
    AutoSizeLabel *Label2 = nullptr;
    AutoSizeLabel *Label1 = nullptr;
    QList<QIcon> Im2;

    // The picture buttons of the browse and entry views.
    ImageButton *P4 = nullptr;
    ImageButton *P5 = nullptr;
    ImageButton *P3 = nullptr;
    ImageButton *P2 = nullptr;
    ImageButton *P1 = nullptr;

    // The title strip.
    QLineEdit *addtext = nullptr;
    QLineEdit *Text1 = nullptr;

    // Never on show: their click handlers are the record operations.
    QPushButton *cmdForward = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdBack = nullptr;

    // The content area.
    PictureBox *Pv = nullptr;
    QListWidget *List1 = nullptr;
    QPlainTextEdit *addbox = nullptr;
    QTextEdit *box1 = nullptr;
};

namespace JfLayout {

// The controls' places are given in twips; 15 twips make one pixel at 96 dots per inch.
int pixels(int twips);

// The font of the record title and the two inputs: a Song typeface
// where one is installed, else the program's own CJK font.
QFont songFont();

} // namespace JfLayout
