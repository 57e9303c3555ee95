// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "db/Clock.h"
#include "foods/FoodChoices.h"

#include <QString>
#include <functional>

class LogSchema;
class QMenu;
class QWidget;

// 自定义食物 from the window: a new own food or recipe, or one changed or removed, through
// OwnFoodDialog, written through the log's tables and their one upgrade (LogSchema); and the
// items of the window menu that reach them.
class OwnFoodEditor
{
public:
    struct Parts
    {
        QWidget *window = nullptr; // parent of the dialog and the messages
        // The log's tables in the window's file.
        std::function<LogSchema &()> schema;
        // The foods a recipe's ingredients are chosen from.
        std::function<FoodChoices()> foods;
        // After a write, with the name saved (empty after a removal).
        std::function<void(const QString &saved)> changed;
    };
    explicit OwnFoodEditor(Parts parts) : m_parts(std::move(parts)) {}

    // A new own food (starting with `typedName`), or the own food `name` changed or removed.
    // Opens the dialog and returns; nothing when `name` is gone (another program, a restore).
    void edit(const QString &name = QString(), const QString &typedName = QString());

    // What the window menu's items need from elsewhere in the window.
    struct MenuParts
    {
        // The own food on show (in the calorie panel), which 修改自定义食物… changes, and whether
        // it is on show now (the item is offered only then).
        std::function<QString()> foodOnShow;
        std::function<bool()> changeOffered;
        // 导出自定义食物… writes its file as the window's other exports do (ExportFile), with
        // the day of `clock` in the name it offers; `dataFile` is the data file it never writes.
        QString dataFile;
        Clock clock;
    };
    // Adds 添加自定义食物…, 修改自定义食物…, 导出自定义食物… and 导入自定义食物… to `menu`, from
    // the keyboard too.
    void addMenuItems(QMenu &menu, MenuParts parts);

private:
    Parts m_parts;
};
