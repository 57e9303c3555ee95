// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"

#include <QString>
#include <functional>

class Database;
class NotebookController;
class QWidget;

// The window menu's commands on the user's data: export the notes, back the data file up to a
// place the user chooses, restore it from a backup, and the About box. Files are chosen through
// FileDialog and every outcome is told through MessageBox, so tests drive them without windows.
class DataCommands
{
public:
    struct Parts
    {
        QWidget *window = nullptr; // parent of the boxes and choosers
        QString dataFile;          // the data.mdb in use
        Database *db = nullptr;    // the window's connection to it
        NotebookController *notebook = nullptr; // asked before a record being typed is dropped
        // The notebook table on show ("sp" … "rj"), or an empty text when no section is.
        std::function<QString()> tableOnShow;
        // Shows the file's content afresh after a restore replaced it.
        std::function<void()> showRestoredData;
        // Dates the names offered for exports and backups and the copy kept before a restore.
        Clock clock;
        // The installed template data.mdb, whose food tables a restored file gets (empty: none).
        QString templateFile;
    };
    explicit DataCommands(Parts parts);

    // "导出笔记…": all four sections, or the one on show, as Markdown or CSV; or the food log and
    // exercise as CSV.
    void exportNotes();
    // "导出自定义食物…": the user's own foods and recipes as CSV (their import is
    // ownfoods/ui/OwnFoodImport's).
    void exportOwnFoods();
    // "导出报告…": the last 7 or 30 days or two dates (asked by name first) as a PDF.
    void exportReport();
    // "备份数据…": a checked copy of data.mdb where the user chooses.
    void backupData();
    // "从备份恢复…": a chosen backup replaces the data, after the current data is copied into
    // the backups folder; a file that is not a sound Pellomir database is refused.
    void restoreData();
    // "换用随附的食物表…": the food tables of the installed template replace the file's, after a
    // checked copy (for a file whose tables were changed with another tool, which the start keeps).
    void takeShippedFoods();
    // "关于 Pellomir": version, licence, food data sources, the data file in use.
    void about();

    static QString aboutText(const QString &dataFile);
    // Where the choosers of exports and imports start: the user's documents.
    static QString documentsFolder();

private:
    // Whether `path` names the data file in use (or its journal), which no command may write.
    bool isDataFile(const QString &path) const;
    void tell(const QString &text) const;
    // The file an export goes to: `chosen` with its ending, unless it is the data file, cannot be
    // written, or is another existing file the user does not want replaced (each said, then an
    // empty text).
    QString exportTarget(const QString &chosen, const QString &suffix) const;
    // Writes the whole export or, saying why, nothing.
    bool writeExport(const QString &path, const QByteArray &bytes) const;

    Parts m_parts;
};
