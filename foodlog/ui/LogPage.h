// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/DailyFigures.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// What the food log knows of the day on show that a page of another feature may need.
struct LogDay
{
    QDate day;
    QDate today;
    // The latest weight on or before the day, else the first after it.
    std::optional<DayWeight> nearestWeight;
};

// A page another feature adds to the 饮食记录 view as a tab (运动 is one): the shell makes it and
// hands it in, so the food log needs to know nothing of the feature. The view asks it to follow
// the day on show; the page asks the view to read the day again (FoodLogView::refresh) after it
// wrote a change.
struct LogPage
{
    QWidget *widget = nullptr; // becomes the tab's page
    QString title;
    // Reads the page's part of `day` inside the view's one read of the day, so that it agrees
    // with the totals and the chart. Throws DataError; the view says why.
    std::function<void(const QDate &day)> read;
    // Shows what read() read (whatever it got before a failure).
    std::function<void(const LogDay &day)> show;
    // Ctrl+Z on the page: whether it has a change to take back, and taking it back.
    std::function<bool()> undoOffered;
    std::function<void()> undo;
    // The keyboard where the page is typed into.
    std::function<void()> focus;
};
