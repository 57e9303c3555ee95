// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exercise/Activity.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The activities that ship with the program, from resources/activities.csv (documented in
// resources/ACTIVITIES.md), compiled in. They are never written into the user's file: a better
// table changes what can be logged from now on, not a past day.
class ActivityTable
{
public:
    ActivityTable() = default;

    // Reads the table: header "category,name,met,code,aliases", then one activity per line, no
    // quoting, aliases separated by 、. A line that breaks the rules (a MET outside 1–23, a code
    // that is not five digits or is given twice, a name or other name given twice) is left out
    // and described in problems() ("line 7: MET \"abc\" is not a number").
    static ActivityTable parse(const QByteArray &csv);
    // The table compiled into the program (empty, with a problem, if missing).
    static ActivityTable builtIn();

    const QVector<Activity> &activities() const { return m_activities; }
    const QStringList &problems() const { return m_problems; }

    // The category of the user's own activities.
    static QString customCategory() { return QStringLiteral("自定义"); }

private:
    QVector<Activity> m_activities;
    QStringList m_problems;
};
