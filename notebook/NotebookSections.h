// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// One section of the notebook: the skin's button that opens it, the table that keeps its
// records, and how the window names it.
struct NotebookSection
{
    QString skinObject;      // "a", "b", "d", "e"
    QString table;           // "sp", "yd", "xd", "rj"
    QString caption;         // 瘦身食谱, 有氧运动, 瘦身心得, 瘦身日记
    QString firstTitleField; // shown as the title of the first record on opening: "Name", or "time" in the diary
    bool hasTime = false;    // its rows carry the time they were written (the diary)
    QString emptyHint;       // shown while the section has no record
};

// The four sections, the one place that names them.
namespace NotebookSections {

// In the order of the window's buttons: sp, yd, xd, rj.
const QList<NotebookSection> &all();
// The section opened by that skin object, or null.
const NotebookSection *forSkinObject(const QString &skinObject);
// The section kept in that table, or null.
const NotebookSection *forTable(const QString &table);

} // namespace NotebookSections
