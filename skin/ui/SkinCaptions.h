// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// A skin object that Tab reaches and screen readers name, with its caption: the words the
// skin's picture shows on a section button, or what the mascot and the window boxes do.
struct SkinCaption
{
    QString object;
    QString caption;
};

// The section buttons down the skin's right-hand column, in order (a, b, c, d, e, f): what
// Ctrl+1 … Ctrl+6 press. `notebook`: the notebook's sections (a, b, d, e) with their captions,
// which the notebook names (NotebookSections); the skin places the window's own views among them.
QList<SkinCaption> sectionButtons(const QList<SkinCaption> &notebook);

// The skin's objects in Tab order: the section buttons, then logo, - and x. Objects missing
// from the loaded skin are left out by the caller.
QList<SkinCaption> skinCaptions(const QList<SkinCaption> &notebook);

// What a skin object opens in the window, besides the notebook's sections.
enum class SkinView {
    Calories, // 热量计算
    FoodLog,  // 饮食记录
    HomePage, // the mascot: the About page
    Other,    // a notebook section, a window box or nothing
};
SkinView skinViewOf(const QString &object);
// The skin object of a view (empty for Other).
QString skinObjectOf(SkinView view);
