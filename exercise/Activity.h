// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// An activity exercise can be logged as: one of the table that ships with the program
// (resources/activities.csv) or one the user made (customId set).
struct Activity
{
    QString category;
    QString name;
    double met = 0;      // metabolic equivalent: energy per kg and hour, rest being 1
    QString code;        // the source's activity code; empty for the user's own
    QStringList aliases; // other names people type
    qint64 customId = 0; // the row of custom_activity, for the user's own

    bool isCustom() const { return customId > 0; }
};
