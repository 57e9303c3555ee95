// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One food of the food table, as read from the CSV file.
struct FoodRow
{
    int line = 0;     // where its record starts in the file, from 1
    QString category;
    QString name;
    QString portion;
    double kcal = 0;
    QStringList aliases; // other names of the food, from the optional fifth field
    // Grams per 100 g of the edible portion, from the optional last four fields; empty where no
    // source gives them.
    std::optional<double> protein;
    std::optional<double> fat;
    std::optional<double> carbohydrate;
    std::optional<double> alcohol;
    // Dietary fibre (grams) and sodium (milligrams) per 100 g, from the optional last two fields.
    std::optional<double> fibre;
    std::optional<double> sodium;
};

// The food table read from CSV text: header "category,name,portion,kcal",
// "category,name,portion,kcal,aliases" or that with ",protein,fat,carbohydrate,alcohol" (and
// ",fibre,sodium"), then one
// food per record (RFC 4180 quoting, UTF-8). Aliases are the food's other names, separated by "、".
// The nutrients are grams per 100 g (0–100 each, at most 100 together), or empty.
// Problems are collected with their line numbers rather than stopping at the
// first.
struct FoodTable
{
    QStringList categories; // in order of first appearance
    std::vector<FoodRow> foods; // in file order
    QStringList problems;   // "line 7: kcal \"abc\" is not a number"

    static FoodTable parse(const QByteArray &csv);
};
