// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>

class Database;
class ExportFile;

// "导出自定义食物…": the user's own foods and recipes as CSV (OwnFoodCsv, which their import
// reads back), written through ExportFile; each outcome told.
namespace OwnFoodExport {

// Reads the own foods of `db`, asks where to save them (a name with `today` in it offered) and
// writes them.
void run(const ExportFile &file, Database &db, const QDate &today);

} // namespace OwnFoodExport
