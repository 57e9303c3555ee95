// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class FileLayout;

// The layout of data.mdb as this program writes it, composed here once from each core's own steps
// (the notebook and food tables' from db/Schema, the food log's from LogSchema, exercise's from
// ExerciseSchema, own foods' from OwnFoodSchema) and handed to every path that meets a file: the
// start, the first write of every store, an import and a restore. A step number more than one core
// adds to (9: the log's fibre and sodium, then own foods' sodium) runs their statements in that
// order.
namespace DataLayout {

const FileLayout &layout();

// The statements of every step after the first (the food log's, exercise's and own foods'
// tables, indexes and triggers), in the order they run: what a restored file's tables are
// checked against (verifyTablesFit).
QStringList logStatements();

} // namespace DataLayout
