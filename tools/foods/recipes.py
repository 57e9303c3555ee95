#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Works out dishes and drinks from their recipes in resources/recipes.csv.

Each recipe lists its ingredients, foods of resources/foods.csv, with their
grams as the named published recipe gives them (oil and salt included). The
dish's figures per 100 g are the ingredients' own figures from foods.csv,
weighted by their grams, over the weight of all listed ingredients:

  - kcal from every ingredient's kcal (every food has one);
  - protein, fat and carbohydrate from the ingredients that have them. An
    ingredient without them may be left out of these three only when it gives
    less than 3 % of the dish's energy (a splash of cooking wine); the left-out
    ones are printed. A bigger one leaves the dish without figures;
  - alcohol from the ingredients that carry it (a beer, a wine with figures),
    so that the dish's energy counts it at 7 kcal/g like the drink's own;
  - fibre and sodium only when every ingredient has the figure, with two
    exceptions. An ingredient whose carbohydrate is 0.0 g (an oil, a meat)
    adds no fibre even where its row prints none: fibre is part of the
    carbohydrate. And a cooking wine (COOKING_WINES) left out under the 3 %
    rule is left out of fibre and sodium too: a wine holds no fibre, and the
    salt some bottles of 料酒 add is not counted (the tool says so).

The weight is that of the listed ingredients: water added in cooking (and water
boiled off) is not counted, as the recipes do not weigh it.

    recipes.py           check that foods.csv holds what the recipes give
    recipes.py --write   write it into foods.csv (kcal, protein, fat,
                         carbohydrate, alcohol, fibre, sodium of each
                         recipe's row)

Exit status 1 on a problem (printed), 0 otherwise.
"""

import csv
import os
import sys

RECIPE_HEADER = ["category", "dish", "ingredient", "grams", "source"]
LEAVE_OUT_SHARE = 0.03
# Seasoning wines without figures that may be left out of fibre and sodium as
# well, under the same 3 % rule. Soy sauces and pastes never are: a few grams of
# them carry much of a dish's sodium.
COOKING_WINES = {"料酒", "黄酒"}


def repo_root():
    return os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def number(text):
    return float(text) if text != "" else None


def read_foods(path):
    with open(path, encoding="utf-8", newline="") as handle:
        rows = list(csv.reader(handle))
    header = rows[0]
    foods = {}
    for fields in rows[1:]:
        row = dict(zip(header, fields))
        foods[row["name"]] = row
    return header, rows, foods


def read_recipes(path, problems):
    recipes = {}  # (category, dish) -> [(ingredient, grams, source)], in file order
    with open(path, encoding="utf-8", newline="") as handle:
        rows = list(csv.reader(handle))
    if not rows or rows[0] != RECIPE_HEADER:
        problems.append(f"{path}:1: the header must be \"{','.join(RECIPE_HEADER)}\"")
        return recipes
    for line, fields in enumerate(rows[1:], start=2):
        if len(fields) != len(RECIPE_HEADER):
            problems.append(f"{path}:{line}: expected {len(RECIPE_HEADER)} fields, found {len(fields)}")
            continue
        category, dish, ingredient, grams, source = fields
        try:
            weight = float(grams)
        except ValueError:
            weight = -1
        if not weight > 0:
            problems.append(f"{path}:{line}: {dish}: grams \"{grams}\" is not a positive number")
            continue
        if not source:
            problems.append(f"{path}:{line}: {dish}: no source")
        recipes.setdefault((category, dish), []).append((ingredient, weight, source))
    return recipes


def work_out(dish, parts, foods, problems):
    """The dish's figures per 100 g, as text for foods.csv: kcal, protein, fat,
    carbohydrate, alcohol, fibre, sodium."""
    total_grams = sum(grams for _, grams, _ in parts)
    kcal = 0.0
    for ingredient, grams, _ in parts:
        if ingredient not in foods:
            problems.append(f"{dish}: ingredient {ingredient} is not a food of foods.csv")
            return None
        kcal += float(foods[ingredient]["kcal"]) * grams / 100
    macros = {"protein": 0.0, "fat": 0.0, "carbohydrate": 0.0}
    alcohol = 0.0
    more = {"fibre": 0.0, "sodium": 0.0}
    complete = {"fibre": True, "sodium": True}
    macros_known = True
    for ingredient, grams, _ in parts:
        food = foods[ingredient]
        if food["protein"] == "":
            share = float(food["kcal"]) * grams / 100 / kcal if kcal > 0 else 1
            if share >= LEAVE_OUT_SHARE:
                print(f"{dish}: {ingredient} gives {share:.0%} of the energy and has no figures: none for the dish")
                macros_known = False
                for key in more:
                    complete[key] = False
            elif ingredient in COOKING_WINES:
                print(f"{dish}: {ingredient} left out of protein, fat, carbohydrate, fibre and sodium "
                      f"({share:.1%} of the energy; any salt it was sold with is not counted)")
            else:
                print(f"{dish}: {ingredient} left out of protein, fat and carbohydrate ({share:.1%} of the energy)")
                for key in more:
                    complete[key] = False
            continue
        for key in macros:
            macros[key] += float(food[key]) * grams / 100
        if food["alcohol"] != "":
            alcohol += float(food["alcohol"]) * grams / 100
        for key in more:
            if food[key] != "":
                more[key] += float(food[key]) * grams / 100
            elif not (key == "fibre" and float(food["carbohydrate"]) == 0):
                complete[key] = False
    per100 = 100 / total_grams
    figures = {"kcal": f"{round(kcal * per100):d}"}
    for key in macros:
        figures[key] = f"{macros[key] * per100:.1f}" if macros_known else ""
    figures["alcohol"] = f"{alcohol * per100:.1f}" if macros_known and alcohol > 0 else ""
    figures["fibre"] = f"{more['fibre'] * per100:.1f}" if macros_known and complete["fibre"] else ""
    figures["sodium"] = f"{round(more['sodium'] * per100):d}" if macros_known and complete["sodium"] else ""
    return figures


def main(argv):
    write = "--write" in argv
    root = repo_root()
    foods_path = os.path.join(root, "resources", "foods.csv")
    recipes_path = os.path.join(root, "resources", "recipes.csv")
    problems = []
    header, rows, foods = read_foods(foods_path)
    recipes = read_recipes(recipes_path, problems)
    for (category, dish), parts in recipes.items():
        if dish not in foods or foods[dish]["category"] != category:
            problems.append(f"{dish}: not a food of category {category} in foods.csv")
            continue
        figures = work_out(dish, parts, foods, problems)
        if figures is None:
            continue
        row = foods[dish]
        for key, value in figures.items():
            if row[key] != value:
                if write:
                    row[key] = value
                else:
                    problems.append(f"{dish}: foods.csv has {key} \"{row[key]}\", the recipe gives \"{value}\"")
        print(f"{dish}: " + ", ".join(f"{key} {value or '—'}" for key, value in figures.items()))
    if write and not problems:
        with open(foods_path, "w", encoding="utf-8", newline="") as handle:
            out = csv.writer(handle, lineterminator="\n")
            out.writerow(header)
            for fields in rows[1:]:
                out.writerow([foods[fields[1]][key] for key in header] if fields[1] in foods else fields)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
