// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the main window that tests drive, found as the window's other code would find
// them: by their object names.

#include "foodlog/ui/FoodLogView.h"
#include "foods/ui/CalorieLookup.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/ui/QuickLogButton.h"
#include "notebook/NotebookSections.h"
#include "resources/Pictures.h"
#include "skin/ui/MainForm.h"
#include "skin/ui/SkinCaptions.h"
#include "skin/ui/SkinEngine.h"
#include "widgets/AutoSizeLabel.h"
#include "widgets/ImageButton.h"
#include "widgets/PictureBox.h"

#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeView>
#include <QWidget>

template<typename T>
T *windowPart(const QObject &window, const char *name)
{
    T *part = window.findChild<T *>(QLatin1String(name));
    if (!part)
        qWarning("the window has no %s", name);
    return part;
}

inline FoodSearchBox *foodSearchOf(const QObject &window) { return windowPart<FoodSearchBox>(window, "foodSearch"); }
inline FoodPortionPanel *foodPortionOf(const QObject &window) { return windowPart<FoodPortionPanel>(window, "foodPortion"); }
inline QuickLogButton *quickLogOf(const QObject &window) { return windowPart<QuickLogButton>(window, "quickLog"); }
inline CalorieLookup *calorieLookupOf(const QObject &window) { return windowPart<CalorieLookup>(window, "calorieLookup"); }

// The skin's objects in Tab order, the notebook's sections among them, as the window names them.
inline QList<SkinCaption> windowSkinCaptions()
{
    QList<SkinCaption> notebook;
    for (const NotebookSection &section : NotebookSections::all())
        notebook.append({section.skinObject, section.caption});
    return skinCaptions(notebook);
}

// The window's controls as its form made them.
inline MainForm formOf(const QObject &window)
{
    MainForm form;
    form.caloriePanel = windowPart<QFrame>(window, "caloriePanel");
    form.foodNameBox = windowPart<QLineEdit>(window, "foodNameBox");
    form.foodTree = windowPart<QTreeView>(window, "foodTree");
    form.kcalFigure = windowPart<AutoSizeLabel>(window, "kcalFigure");
    form.panelRule = windowPart<QFrame>(window, "panelRule");
    form.kcalUnit = windowPart<AutoSizeLabel>(window, "kcalUnit");
    form.kcalCaption = windowPart<AutoSizeLabel>(window, "kcalCaption");
    form.treeIcons = Pictures::nodeImages();
    form.deleteButton = windowPart<ImageButton>(window, "deleteButton");
    form.saveButton = windowPart<ImageButton>(window, "saveButton");
    form.newButton = windowPart<ImageButton>(window, "newButton");
    form.nextButton = windowPart<ImageButton>(window, "nextButton");
    form.previousButton = windowPart<ImageButton>(window, "previousButton");
    form.titleEdit = windowPart<QLineEdit>(window, "titleEdit");
    form.titleView = windowPart<QLineEdit>(window, "titleView");
    form.forwardCommand = windowPart<QPushButton>(window, "forwardCommand");
    form.deleteCommand = windowPart<QPushButton>(window, "deleteCommand");
    form.addCommand = windowPart<QPushButton>(window, "addCommand");
    form.backCommand = windowPart<QPushButton>(window, "backCommand");
    form.welcomePicture = windowPart<PictureBox>(window, "welcomePicture");
    form.categoryList = windowPart<QListWidget>(window, "categoryList");
    form.bodyEdit = windowPart<QPlainTextEdit>(window, "bodyEdit");
    form.bodyView = windowPart<QTextEdit>(window, "bodyView");
    return form;
}

inline SkinEngine &skinEngineOf(const QObject &window) { return *windowPart<SkinEngine>(window, "skn"); }
inline QMenu *windowMenuOf(const QObject &window) { return windowPart<QMenu>(window, "windowMenu"); }

// The 饮食记录 view; null until it was first shown.
inline FoodLogView *foodLogViewOf(const QObject &window) { return window.findChild<FoodLogView *>(QStringLiteral("foodLogView")); }
// Whether the 饮食记录 view is on show in the window's left panel.
inline bool foodLogShown(const QObject &window)
{
    const FoodLogView *view = foodLogViewOf(window);
    return view && !view->isHidden();
}
