// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "foods/OwnFood.h"
#include "ownfoods/OwnFoodInput.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The user's own foods and recipes as a CSV file, to move them to another computer (UTF-8 with a
// byte-order mark, RFC 4180, through CsvText). One row a food ("食物") or recipe ("菜谱"), each
// recipe followed by its ingredients ("配料", naming the recipe they belong to). Columns:
// 类型,名称,分类,每100克热量,其他名称,份量,份量克数,熟重克数,所属菜谱,配料克数,蛋白质,脂肪,碳水,钠毫克数
// (蛋白质 to 碳水: grams per 100 g, 钠毫克数: milligrams per 100 g; each may be empty). The reader
// finds the columns by the header's names, in any order; 钠毫克数 may be missing, as in the files
// of releases before it, and its cells are then empty.
namespace OwnFoodCsv {

QByteArray write(const QVector<OwnFood> &foods);

struct Reading
{
    QVector<OwnFood> foods;
    QStringList problems; // "第 3 行：每100克热量“abc”不是 0–900 之间的数字"; nothing is taken then
    bool fromGb18030 = false; // the file was not UTF-8 but GB18030 (GBK), and was read as that
};
// Takes every food as the 自定义食物 dialog would (OwnFoodInput), with `shipped` telling which
// names belong to the shipped foods (their names and other names), which are refused. Names
// clashing with the user's own foods are the caller's to decide. A NUL byte or bytes that are
// neither UTF-8 nor, for the whole file, GB18030 are refused naming the line. Takes time in
// proportion to the file's size.
Reading read(const QByteArray &bytes, const OwnFoodInput::NameTaken &shipped = {});

} // namespace OwnFoodCsv
