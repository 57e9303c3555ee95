// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foodlog/WholeKcal.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// One activity done: its name and category, the minutes, and the MET and energy it was logged
// with, so that a later weight or a better activity table never changes a past day.
struct ExerciseEntry
{
    qint64 id = 0;
    QDate day;
    QString activity;
    QString category;
    double minutes = 0;
    double met = 0;
    double kcal = 0; // above rest: netKcal() at the weight of the day it was logged for
    QDateTime created;

    qint64 shownKcal() const { return wholeKcal(kcal); }

    // The energy an activity burns above rest: (MET − 1) × kg × minutes / 60. Rest is left out
    // because the profile's activity level already counts everyday life; a MET of 1 is rest.
    static double netKcal(double met, double kg, double minutes)
    {
        return met > 1 ? (met - 1) * kg * minutes / 60.0 : 0.0;
    }
};
