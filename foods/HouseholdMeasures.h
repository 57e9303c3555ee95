// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

struct OwnFood;

// Household measures of foods ("1碗" of rice is about 150 g), from our table
// resources/measures.csv. Widget-free.
class HouseholdMeasures
{
public:
    struct Measure
    {
        QString name; // "1碗", "1个", "1盒250毫升"
        int grams = 0; // of the edible portion
        QString source;

        // "1碗 (约150克)"
        QString caption() const;
    };

    HouseholdMeasures() = default;

    // Reads the table: header "category,name,measure,grams,source", then one
    // measure per line, no quoting. Lines that break the rules are left out
    // and described in problems() ("line 7: grams \"abc\" is not a whole number").
    static HouseholdMeasures parse(const QByteArray &csv);
    // The table compiled into the program (empty, with a problem, if missing).
    static HouseholdMeasures builtIn();

    // This table with the user's own foods' measures ("1杯 = 500 克") added.
    HouseholdMeasures withOwn(const QVector<OwnFood> &own) const;

    // The measures of a food, in the table's order; none for a food not listed.
    QVector<Measure> of(const QString &category, const QString &name) const;

    // Every food the table lists, as (category, name).
    QList<QPair<QString, QString>> foods() const { return m_byFood.keys(); }
    const QStringList &problems() const { return m_problems; }

private:
    QHash<QPair<QString, QString>, QVector<Measure>> m_byFood;
    QStringList m_problems;
};
