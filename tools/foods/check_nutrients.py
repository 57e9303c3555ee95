#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the nutrient columns of resources/foods.csv and their coverage.

Every row is checked on its own:
  - the header is exactly the documented one and every row has all its fields;
  - a figure is empty or a number from 0 to 100 with at most one decimal;
  - protein, fat and carbohydrate are given together or not at all, and alcohol
    only with them and only for drinks with alcohol (and dishes of
    recipes.csv made with one);
  - protein + fat + carbohydrate + alcohol is at most 100 g;
  - the energy of the figures, 4 x protein + 9 x fat + 4 x carbohydrate +
    7 x alcohol, lies within 15 % or 20 kcal of the row's kcal, whichever is
    larger;
  - fibre (grams, one decimal) is at most the carbohydrate it is part of, and
    sodium (milligrams, at most one decimal) at most 40000, both only beside
    protein, fat and carbohydrate.

The coverage, foods with protein, fat and carbohydrate per category, must be
the one the table "| Category | Foods | With figures |" of FOODS.md states;
it is printed against the goal of 90 % overall and 70 % in every category.
A category below 70 % fails the check unless it is one of BELOW_GOAL, the
categories no cited source fills that far yet (FOODS.md, "What is still
missing", says why); the overall goal is printed only.

A row outside that energy band is accepted only when resources/FOODS.md lists
it, with its reason, in the table under the heading "### Energy outliers".
The check also fails on a listed food that is not an outlier (or has no
figures), so the list never goes stale.

Usage: check_nutrients.py [foods.csv [FOODS.md]]
Exit status 0 when every row passes, 1 otherwise (the problems are printed).
"""

import csv
import os
import re
import sys

HEADER = ["category", "name", "portion", "kcal", "aliases",
          "protein", "fat", "carbohydrate", "alcohol", "fibre", "sodium"]
SODIUM = re.compile(r"^\d{1,5}(\.\d)?$")
MAX_SODIUM = 40000.0
COVERAGE_HEADER = "| Category | Foods | With figures |"
GOAL_OVERALL, GOAL_CATEGORY = 0.90, 0.70
# Categories that may stay below GOAL_CATEGORY for now: dishes wait for
# weighed recipes, and the drinks, snacks and drinks with alcohol that are
# left have no row of the same product in the cited tables.
BELOW_GOAL = {"家常菜肴", "快餐小吃", "饮料", "糕点零食", "酒类"}
MACROS = ["protein", "fat", "carbohydrate"]
# Where alcohol may be given: the drinks with alcohol, the one seasoning that is
# a wine, and a dish of recipes.csv (beside foods.csv) that has one of them
# among its ingredients.
ALCOHOL_CATEGORIES = {"酒类"}
ALCOHOL_NAMES = {"料酒"}
ENERGY_FACTORS = {"protein": 4, "fat": 9, "carbohydrate": 4, "alcohol": 7}
RELATIVE_TOLERANCE = 0.15
ABSOLUTE_TOLERANCE = 20.0
OUTLIER_HEADING = "### Energy outliers"
FIGURE = re.compile(r"^\d{1,3}(\.\d)?$")


def repo_root():
    return os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def energy_of(figures):
    return sum(ENERGY_FACTORS[key] * value for key, value in figures.items())


def energy_tolerance(kcal):
    return max(RELATIVE_TOLERANCE * kcal, ABSOLUTE_TOLERANCE)


def read_listed_outliers(markdown_path, problems):
    """Returns {food name: reason} from the outlier table of FOODS.md."""
    listed = {}
    try:
        with open(markdown_path, encoding="utf-8") as handle:
            lines = handle.read().splitlines()
    except OSError as error:
        problems.append(f"{markdown_path}: cannot read ({error.strerror})")
        return listed
    try:
        start = lines.index(OUTLIER_HEADING) + 1
    except ValueError:
        problems.append(f"{markdown_path}: no heading \"{OUTLIER_HEADING}\"")
        return listed
    for number, line in enumerate(lines[start:], start=start + 1):
        if line.startswith("#"):
            break
        if not line.startswith("|"):
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if not cells or cells[0] in ("", "Food") or set(cells[0]) <= set("-: "):
            continue
        name = cells[0]
        reason = cells[-1] if len(cells) >= 2 else ""
        if not reason:
            problems.append(f"{markdown_path}:{number}: outlier \"{name}\" has no reason")
        if name in listed:
            problems.append(f"{markdown_path}:{number}: outlier \"{name}\" is listed twice")
        listed[name] = reason
    return listed


def read_documented_coverage(markdown_path):
    """Returns {category: (foods, with figures)} from the coverage table of FOODS.md."""
    documented = {}
    with open(markdown_path, encoding="utf-8") as handle:
        lines = handle.read().splitlines()
    if COVERAGE_HEADER not in lines:
        return None
    for line in lines[lines.index(COVERAGE_HEADER) + 2:]:
        if not line.startswith("|"):
            break
        cells = [cell.strip().strip("*") for cell in line.strip().strip("|").split("|")]
        if len(cells) == 3 and cells[1].isdigit() and cells[2].isdigit():
            documented[cells[0]] = (int(cells[1]), int(cells[2]))
    return documented


def check_coverage(markdown_path, counts):
    """The documented coverage is the file's; prints it against the goal."""
    documented = read_documented_coverage(markdown_path)
    if documented is None:
        return [f"{markdown_path}: no table \"{COVERAGE_HEADER}\""]
    problems = []
    total = [sum(c[0] for c in counts.values()), sum(c[1] for c in counts.values())]
    for category, (foods, covered) in list(counts.items()) + [("Total", tuple(total))]:
        if documented.get(category) != (foods, covered):
            problems.append(f"{markdown_path}: {category} is documented as {documented.get(category)} "
                            f"(foods, with figures); the file has ({foods}, {covered})")
        goal = GOAL_OVERALL if category == "Total" else GOAL_CATEGORY
        share = covered / foods if foods else 0
        print(f"coverage {category}: {covered}/{foods} = {share:.0%}" + ("" if share >= goal else f" (goal {goal:.0%})"))
        if category != "Total" and category not in BELOW_GOAL and share < goal:
            problems.append(f"{category}: {covered} of {foods} foods have figures, under the goal of "
                            f"{goal:.0%} (only {', '.join(sorted(BELOW_GOAL))} may be under it)")
    return problems


def dishes_with_wine(csv_path, rows):
    """The dishes of recipes.csv beside csv_path with a drink with alcohol (or
    料酒) among their ingredients: they may carry its alcohol."""
    recipes_path = os.path.join(os.path.dirname(os.path.abspath(csv_path)), "recipes.csv")
    if not os.path.exists(recipes_path):
        return set()
    category_of = {fields[1]: fields[0] for fields in rows[1:] if len(fields) > 1}
    with open(recipes_path, encoding="utf-8", newline="") as handle:
        recipe_rows = list(csv.reader(handle))[1:]
    return {fields[1] for fields in recipe_rows
            if len(fields) > 2 and (category_of.get(fields[2]) in ALCOHOL_CATEGORIES or fields[2] in ALCOHOL_NAMES)}


def check(csv_path, markdown_path):
    problems = []
    listed = read_listed_outliers(markdown_path, problems)
    outliers = set()
    with_figures = set()
    counts = {}  # category -> [foods, with figures], in the file's order
    with open(csv_path, encoding="utf-8", newline="") as handle:
        rows = list(csv.reader(handle))
    if not rows or rows[0] != HEADER:
        problems.append(f"{csv_path}:1: the header must be \"{','.join(HEADER)}\"")
        return problems
    may_carry_alcohol = dishes_with_wine(csv_path, rows)
    for number, fields in enumerate(rows[1:], start=2):
        where = f"{csv_path}:{number}"
        if len(fields) != len(HEADER):
            problems.append(f"{where}: expected {len(HEADER)} fields, found {len(fields)}")
            continue
        row = dict(zip(HEADER, fields))
        name = row["name"]
        try:
            kcal = float(row["kcal"])
        except ValueError:
            problems.append(f"{where}: {name}: kcal \"{row['kcal']}\" is not a number")
            continue
        figures = {}
        for key in MACROS + ["alcohol"]:
            text = row[key]
            if text == "":
                continue
            if not FIGURE.match(text) or float(text) > 100:
                problems.append(f"{where}: {name}: {key} \"{text}\" is not a number from 0 to 100 "
                                "with at most one decimal")
                continue
            figures[key] = float(text)
        given = [key for key in MACROS if row[key] != ""]
        if given and len(given) != len(MACROS):
            problems.append(f"{where}: {name}: protein, fat and carbohydrate are given together or not at all")
            continue
        if row["alcohol"] != "":
            if not given:
                problems.append(f"{where}: {name}: alcohol without protein, fat and carbohydrate")
            if row["category"] not in ALCOHOL_CATEGORIES and name not in ALCOHOL_NAMES | may_carry_alcohol:
                problems.append(f"{where}: {name}: alcohol is only for drinks with alcohol")
        counts.setdefault(row["category"], [0, 0])[0] += 1
        if not given and (row["fibre"] != "" or row["sodium"] != ""):
            problems.append(f"{where}: {name}: fibre and sodium only beside protein, fat and carbohydrate")
        if not given or len(figures) != len(given) + (row["alcohol"] != ""):
            continue  # no figures, or a figure that was already reported
        with_figures.add(name)
        counts.setdefault(row["category"], [0, 0])[1] += 1
        if row["fibre"] != "":
            if not FIGURE.match(row["fibre"]) or float(row["fibre"]) > figures["carbohydrate"] + 0.05:
                problems.append(f"{where}: {name}: fibre \"{row['fibre']}\" is not a number with at most one "
                                "decimal within the carbohydrate")
        if row["sodium"] != "":
            if not SODIUM.match(row["sodium"]) or float(row["sodium"]) > MAX_SODIUM:
                problems.append(f"{where}: {name}: sodium \"{row['sodium']}\" is not milligrams from 0 to 40000")
        total = sum(figures.values())
        if total > 100.05:
            problems.append(f"{where}: {name}: protein + fat + carbohydrate + alcohol is {total:.1f} g, over 100 g")
        energy = energy_of(figures)
        if abs(energy - kcal) > energy_tolerance(kcal):
            outliers.add(name)
            if name not in listed:
                problems.append(f"{where}: {name}: the figures give {energy:.1f} kcal, the row says {kcal:g} "
                                f"(more than {energy_tolerance(kcal):.1f} kcal apart); list it with its "
                                f"reason under \"{OUTLIER_HEADING}\" in FOODS.md or correct the figures")
    problems += check_coverage(markdown_path, counts)
    for name in sorted(set(listed) - outliers):
        if name in with_figures:
            problems.append(f"{markdown_path}: \"{name}\" is listed as an energy outlier but is within the band")
        else:
            problems.append(f"{markdown_path}: \"{name}\" is listed as an energy outlier but has no figures "
                            "(or is not a food of the table)")
    return problems


def main(argv):
    root = repo_root()
    csv_path = argv[1] if len(argv) > 1 else os.path.join(root, "resources", "foods.csv")
    markdown_path = argv[2] if len(argv) > 2 else os.path.join(root, "resources", "FOODS.md")
    problems = check(csv_path, markdown_path)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} problem(s)")
        return 1
    print("foods.csv: protein, fat, carbohydrate, alcohol, fibre and sodium are consistent")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
