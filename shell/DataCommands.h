// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "widgets/ExportFile.h"

#include <QString>
#include <functional>

class Database;
class NotebookController;
class QWidget;

// The window menu's commands on the data file as a whole: back it up to a place the user
// chooses, restore it from a backup, take the shipped food tables, and the About box. (Each
// feature's exports are its own: notebook/ui/NoteExports, report/ui/ReportExports,
// ownfoods/ui/OwnFoodExport.) Files are chosen through FileDialog and every outcome is told
// through MessageBox, so tests drive them without windows.
class DataCommands
{
public:
    struct Parts
    {
        QWidget *window = nullptr; // parent of the boxes and choosers
        QString dataFile;          // the data.mdb in use
        Database *db = nullptr;    // the window's connection to it
        NotebookController *notebook = nullptr; // asked before a record being typed is dropped
        // Shows the file's content afresh after a restore replaced it.
        std::function<void()> showRestoredData;
        // Dates the name offered for backups and the copy kept before a restore.
        Clock clock;
        // The installed template data.mdb, whose food tables a restored file gets (empty: none).
        QString templateFile;
    };
    explicit DataCommands(Parts parts);

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

private:
    void tell(const QString &text) const;

    Parts m_parts;
    // Refuses the data file as a backup's name or a restore's source, as every export does.
    ExportFile m_file;
};
