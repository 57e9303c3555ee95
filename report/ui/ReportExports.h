// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "widgets/ExportFile.h"

#include <QString>

class Database;
class FileLayout;
class QMenu;

// 报告 in the window menu: "导出报告…", the report of a period as a PDF; and the food log with
// exercise as CSV, which the notes' export offers in its chooser. Both read the file through the
// log's and exercise's stores and write through ExportFile.
class ReportExports
{
public:
    struct Parts
    {
        ExportFile file;               // the window's boxes and the data file no export writes
        Database *db = nullptr;        // the window's connection
        const FileLayout *layout = nullptr; // the file's layout, for the log's store
        // Which day is today (the report's periods end there) and when the report was made.
        Clock clock;
    };
    explicit ReportExports(Parts parts) : m_parts(std::move(parts)) {}

    // Adds 导出报告… (object exportReport) to `menu`.
    void addMenuItems(QMenu &menu);

    // "导出报告…": the last 7 or 30 days or two dates (asked by name first) as a PDF.
    void exportReport();

    // The chooser's filter of the log's CSV, one row per entry.
    static QString logFilter();
    // The food log and exercise (entries, weights, waists) as CSV to the file `chosen` in a
    // chooser; each outcome told.
    void exportLog(const QString &chosen);

private:
    Parts m_parts;
};
