// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

struct LayoutStep;

// Exercise's tables in the user's file, as its step of the file's layout: the entries, their index
// and the user's own activities, with their range triggers (step 4). Composed with every other
// core's steps in datafile/DataLayout; the one upgrade (LogSchema::ensureTables) runs them.
namespace ExerciseSchema {

const QList<LayoutStep> &layoutSteps();

} // namespace ExerciseSchema
