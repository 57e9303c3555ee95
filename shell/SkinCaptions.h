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
// Ctrl+1 … Ctrl+6 press. The notebook's sections take their captions from NotebookSections.
QList<SkinCaption> sectionButtons();

// The skin's objects in Tab order: the section buttons, then logo, - and x. Objects missing
// from the loaded skin are left out by the caller.
QList<SkinCaption> skinCaptions();
