// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QList>
#include <QRect>

class AutoSizeLabel;
class QFont;
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
// window is created. MainWindow holds one and reaches each control by its name.
class MainForm
{
public:
    // Creates every control on `window` and gives the window its title, fixed size and ground colour.
    void setupForm(QWidget *window);

    // The left panel inside the border the skin's picture draws around it, where a view that
    // stands in for the panel's controls (the food log) is laid.
    static QRect leftPanelArea();
    // The controls of the left panel such a view stands in for (hidden while it is on show).
    QList<QWidget *> leftPanelControls() const;

    // The calorie panel and what lies in it.
    QFrame *caloriePanel = nullptr;
    QLineEdit *foodNameBox = nullptr;
    QTreeView *foodTree = nullptr;
    AutoSizeLabel *kcalFigure = nullptr;
    QFrame *panelRule = nullptr;      // a one-pixel rule
    AutoSizeLabel *kcalUnit = nullptr;
    AutoSizeLabel *kcalCaption = nullptr;
    QList<QIcon> treeIcons;

    // The picture buttons of the browse and entry views.
    ImageButton *deleteButton = nullptr;
    ImageButton *saveButton = nullptr;
    ImageButton *newButton = nullptr;
    ImageButton *nextButton = nullptr;
    ImageButton *previousButton = nullptr;

    // The title strip.
    QLineEdit *titleEdit = nullptr;
    QLineEdit *titleView = nullptr;

    // Never on show: their click handlers are the record operations.
    QPushButton *forwardCommand = nullptr;
    QPushButton *deleteCommand = nullptr;
    QPushButton *addCommand = nullptr;
    QPushButton *backCommand = nullptr;

    // The content area.
    PictureBox *welcomePicture = nullptr;
    QListWidget *categoryList = nullptr;
    QPlainTextEdit *bodyEdit = nullptr;
    QTextEdit *bodyView = nullptr;

private:
    // The steps of setupForm, from the window's frame to the stacking and Tab order.
    static void setUpWindow(QWidget *window);
    void makeCaloriePanel(QWidget *window);
    void makePictureButtons(QWidget *window);
    void makeTitleStrip(QWidget *window, const QFont &song);
    void makeCommandButtons(QWidget *window);
    void makeContentArea(QWidget *window, const QFont &song);
    void setStackingAndTabOrder();
};

namespace MainFormLayout {

// The controls' places are given in twips; 15 twips make one pixel at 96 dots per inch.
int pixels(int twips);

// The font of the record title and the two inputs: a Song typeface that draws pinyin where
// one is installed, else the application's font (TextFonts::song).
QFont songFont();

} // namespace MainFormLayout
