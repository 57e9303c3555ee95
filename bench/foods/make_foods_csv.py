#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A foods CSV for makedb with a given number of foods spread over a given number of categories.

Usage: make_foods_csv.py OUT.csv [FOODS] [CATEGORIES]   (defaults: 32767 foods, 1000 categories)

Food names come from the food-composition table in ../shared/data when it is there (read at run
time only; CALORIE_BENCH_FOODS names another) and are made up otherwise. Every (category, name)
pair is unique, as in a real table.
"""
import csv
import os
import random
import sys

out = sys.argv[1]
food_count = int(sys.argv[2]) if len(sys.argv) > 2 else 32767
category_count = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
reference = os.environ.get("CALORIE_BENCH_FOODS", "/work/shared/data/tw-fda-foods.zh-Hans.csv")

names, groups = [], []
if os.path.exists(reference):
    with open(reference, encoding="utf-8") as f:
        for row in csv.DictReader(f):
            names.append(row["name"])
            if row["category"] not in groups:
                groups.append(row["category"])
rand = random.Random(1)
if not names:
    chars = "白菜菠芹韭葱姜蒜豆腐米面粉条饼包子饺馄饨汤粥鸡鸭鱼虾蟹牛羊猪肉蛋奶酪茶果苹梨桃杏李枣橙柚瓜"
    names = ["".join(rand.choice(chars) for _ in range(3)) + str(i) for i in range(2000)]
    groups = ["食物"]
categories = ["%s%d组" % (groups[c % len(groups)], c + 1) for c in range(category_count)]
seen = set()
with open(out, "w", encoding="utf-8", newline="") as f:
    w = csv.writer(f)
    w.writerow(["category", "name", "portion", "kcal"])
    for i in range(food_count):
        category = categories[i % len(categories)]
        name = names[i % len(names)]
        if i >= len(names):
            name += str(i // len(names) + 1)
        while (category, name) in seen:
            name += "'"
        seen.add((category, name))
        w.writerow([category, name, "100克", rand.randint(0, 900)])
