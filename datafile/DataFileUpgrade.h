// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "db/ShippedFoods.h"

#include <QString>

class Database;
struct sqlite3;

// What the start and a restore do to bring a file to what this release writes: the layout's steps
// (DataLayout) and the shipped food tables from the installed template (ShippedFoods), together in
// the one upgrade, after one verified copy.
namespace DataFileUpgrade {

struct Outcome
{
    QString backup;          // the copy made before the upgrade, or empty when nothing was due
    bool newer = false;      // stamped by a newer release: to be used read-only, never changed
    bool foodsReplaced = false;
    bool keptOwnFoods = false; // the food tables were changed with another tool: kept
    QString failure;         // why a due upgrade could not be done (read-only, locked, full); the
                             // file is used as it is and tried again at the next start
    QString message;         // the newer release's message
};

// At start, on the window's connection. When the stamps agree this is one read of the file's
// header and one of food_data (and one of the template's). `templatePath` is the installed
// template data.mdb, empty where there is none (a program run from its own folder).
Outcome atStart(Database &db, const QString &templatePath, const Clock &clock,
                ShippedFoods::IsEarlier isEarlier = ShippedFoods::isEarlierRelease);

// Inside a restore's transaction on its scratch copy: the same steps and food tables. A file of
// a newer release throws DataError. Returns whether the food tables were kept as changed by hand.
bool prepareRestored(sqlite3 *scratch, const QString &templatePath, const QString &context,
                     ShippedFoods::IsEarlier isEarlier = ShippedFoods::isEarlierRelease);

// Replaces the food tables with the template's after a verified copy, whatever they hold (the
// user asked for it). Returns the copy's path. Throws DataError.
QString takeShippedFoods(Database &db, const QString &templatePath, const Clock &clock);

// The one sentence said once when the food tables are kept.
QString keptOwnFoodsText();

} // namespace DataFileUpgrade
