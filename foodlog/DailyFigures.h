// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/Nutrients.h"

#include <QDate>

// The energy eaten on one day; only days with entries are listed.
struct DayIntake
{
    QDate day;
    double kcal = 0;
};

// The weight recorded on one day.
struct DayWeight
{
    QDate day;
    double kg = 0;
};

// The waist measured on one day, in centimetres.
struct DayWaist
{
    QDate day;
    double cm = 0;
};

// The energy burned by exercise on one day; only days with entries are listed.
struct DayBurned
{
    QDate day;
    double kcal = 0;
};

// Grams of protein, fat and carbohydrate eaten on one day, from the entries that have figures,
// and the logged energy of those entries (to tell how much of the day they cover).
struct DayMacros
{
    QDate day;
    Nutrients grams;
    double coveredKcal = 0;
};
