// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/OwnFood.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The user's own foods and recipes as a CSV file, to move them to another computer (UTF-8 with a
// byte-order mark, RFC 4180, through CsvText). One row a food ("食物") or recipe ("菜谱"), each
// recipe followed by its ingredients ("配料", naming the recipe they belong to). Columns:
// 类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水 (the last
// three: grams per 100 g, or empty).
namespace OwnFoodCsv {

QByteArray write(const QVector<OwnFood> &foods);

struct Reading
{
    QVector<OwnFood> foods;
    QStringList problems; // "第 3 行：每100克热量“abc”不是 0–900 之间的数字"; nothing is taken then
};
Reading read(const QByteArray &bytes);

} // namespace OwnFoodCsv
