// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

// The keys of a list whose rows are edited and deleted in place: F2, Return or Enter edit the
// current row, Delete removes it. While a row is being edited the keys belong to its editor.
// A list with a menu of its own also takes the window's Menu key and Shift+F10 (`giveOwnMenu`).
class ListKeys
{
public:
    ListKeys(std::function<void()> edit, std::function<void()> remove);

    // Acts on `event` and accepts it if it is one of the list's keys; false leaves it to the list.
    bool press(QKeyEvent *event, bool editing) const;

    // The window's Menu key and Shift+F10 open `list`'s context menu while it has the keyboard,
    // not the window's.
    static void giveOwnMenu(QWidget *list);
    static bool hasOwnMenu(const QWidget *widget);

private:
    std::function<void()> m_edit;
    std::function<void()> m_remove;
};
