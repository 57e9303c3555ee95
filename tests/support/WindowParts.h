// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the main window that tests drive, found as the window's other code would find
// them: by their object names.

#include "foods/ui/CalorieLookup.h"
#include "foods/ui/FoodPortionPanel.h"
#include "foods/ui/FoodSearchBox.h"
#include "foods/ui/QuickLogButton.h"

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
