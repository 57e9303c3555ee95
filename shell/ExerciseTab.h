// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;
class FoodLogView;
class LogSchema;

// The 运动 page as a tab of the food log's view, between 饮食 and 体重与预算: it reads and writes
// exercise in the log's tables (`schema`), follows the view's day, and has the view read the day
// again after each change. Returns the page, owned by the view.
QWidget *addExerciseTab(FoodLogView &view, LogSchema &schema);
