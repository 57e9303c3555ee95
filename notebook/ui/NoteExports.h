// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "widgets/ExportFile.h"

#include <QString>
#include <functional>

class Database;
class QMenu;

// The notebook in the window menu: "导出笔记…", all four sections or the one on show, as Markdown
// or CSV (NoteExport), written through ExportFile. Another feature's export may be offered in
// the same chooser (the food log's CSV): the window hands it in.
class NoteExports
{
public:
    // An export of another feature that the chooser offers under its own filter.
    struct Offered
    {
        QString filter;
        // Writes to the file chosen (its ending not yet checked) and tells the outcome.
        std::function<void(const QString &chosen)> write;
    };
    struct Parts
    {
        ExportFile file;        // the window's boxes and the data file no export writes
        Database *db = nullptr; // the window's connection
        Clock clock;            // the day in the name offered
        // The notebook table on show ("sp" … "rj"), or an empty text when no section is.
        std::function<QString()> tableOnShow;
        Offered offered;        // offered last; none when its filter is empty
    };
    explicit NoteExports(Parts parts) : m_parts(std::move(parts)) {}

    // Adds 导出笔记… (object exportNotes) to `menu`.
    void addMenuItems(QMenu &menu);

    void exportNotes();

private:
    Parts m_parts;
};
