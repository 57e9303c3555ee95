// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the main window that tests drive, found as the window's other code would find
// them: by their object names.

#include "foods/ui/CalorieLookup.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/ui/QuickLogButton.h"
#include "notebook/NotebookSections.h"
#include "skin/ui/SkinCaptions.h"

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
