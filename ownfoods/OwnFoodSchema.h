// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

struct LayoutStep;

// Own foods' and recipes' tables in the user's file, as their steps of the file's layout: the foods,
// the recipes' parts and their ranges (step 5), their optional protein, fat and carbohydrate
// (step 7) and an own food's sodium (part of step 9, after the log's fibre and sodium). Composed
// with every other core's steps in datafile/DataLayout; the one upgrade runs them.
namespace OwnFoodSchema {

const QList<LayoutStep> &layoutSteps();

} // namespace OwnFoodSchema
