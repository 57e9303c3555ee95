// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// One food of the food table, as read from the CSV file.
struct FoodRow
{
    int line = 0;     // where its record starts in the file, from 1
    QString category;
    QString name;
    QString portion;
    double kcal = 0;
    QStringList aliases; // other names of the food, from the optional last field
};

// The food table read from CSV text: header "category,name,portion,kcal" or
// "category,name,portion,kcal,aliases", then one food per record (RFC 4180
// quoting, UTF-8). Aliases are the food's other names, separated by "、".
// Problems are collected with their line numbers rather than stopping at the
// first.
struct FoodTable
{
    QStringList categories; // in order of first appearance
    std::vector<FoodRow> foods; // in file order
    QStringList problems;   // "line 7: kcal \"abc\" is not a number"

    static FoodTable parse(const QByteArray &csv);
};
