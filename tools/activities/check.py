#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks resources/activities.csv against the rules in resources/ACTIVITIES.md.

    check.py [activities.csv] [ACTIVITIES.md]

Without arguments it checks the files of the repository this script lives in.
Prints one line per fault (with the line number) and exits 1 if there is any;
prints a summary and exits 0 otherwise.
"""
import re
import sys
from pathlib import Path

HEADER = "category,name,met,code,aliases,compendium"
EDITIONS = ("2011", "2024")   # the editions of the Compendium a row may name
CATEGORIES = ["步行与跑步", "骑行", "球类", "游泳与水上", "健身与力量",
              "舞蹈与传统", "家务与日常", "工作与出行", "户外与冰雪"]
ALIAS_SEPARATOR = "、"
MET_FORMAT = re.compile(r"^\d{1,2}\.\d$")   # as the Compendium writes it: 3.5, 15.0
CODE_FORMAT = re.compile(r"^\d{5}$")
MET_MIN, MET_MAX = 1.0, 23.0


def check(csv_path, doc_path):
    faults = []
    raw = csv_path.read_bytes()
    if raw.startswith(b"\xef\xbb\xbf"):
        faults.append("1: starts with a byte-order mark")
    if b"\r" in raw:
        faults.append("file has CR characters; lines must end in LF only")
    if not raw.endswith(b"\n"):
        faults.append("last line does not end in LF")
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        return [f"not UTF-8: {error}"], {}

    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if not lines or lines[0].lstrip("\ufeff") != HEADER:
        faults.append(f"1: header must be exactly {HEADER}")

    seen_words = {}          # every name and alias -> line where it first appeared
    seen_codes = {}
    counts = {}
    finished_categories = set()
    current = None
    for number, line in enumerate(lines[1:], start=2):
        if '"' in line:
            faults.append(f"{number}: contains a quote")
        fields = line.split(",")
        if len(fields) != 6:
            faults.append(f"{number}: {len(fields)} fields, not 6 (a comma inside a field?)")
            continue
        category, name, met, code, aliases, edition = fields
        if edition not in EDITIONS:
            faults.append(f"{number}: compendium {edition!r} is not one of {', '.join(EDITIONS)}")
        for field in fields:
            if field != field.strip():
                faults.append(f"{number}: leading or trailing space in {field!r}")

        if category not in CATEGORIES:
            faults.append(f"{number}: unknown category {category!r}")
        elif category != current:
            if category in finished_categories:
                faults.append(f"{number}: category {category} appears again after another one")
            elif current is not None and CATEGORIES.index(category) < CATEGORIES.index(current):
                faults.append(f"{number}: category {category} comes before {current} in the documented order")
            if current is not None:
                finished_categories.add(current)
            current = category
        counts[category] = counts.get(category, 0) + 1

        if not name:
            faults.append(f"{number}: empty name")
        if ALIAS_SEPARATOR in name:
            faults.append(f"{number}: name {name} contains the alias separator {ALIAS_SEPARATOR}")
        if "(" in name or ")" in name:
            faults.append(f"{number}: name {name} uses ASCII parentheses; use （ and ）")

        if not MET_FORMAT.match(met):
            faults.append(f"{number}: met {met!r} is not a number with one decimal")
        elif not MET_MIN <= float(met) <= MET_MAX:
            faults.append(f"{number}: met {met} outside {MET_MIN}–{MET_MAX}")

        if not CODE_FORMAT.match(code):
            faults.append(f"{number}: code {code!r} is not five digits")
        elif (edition, code) in seen_codes:
            faults.append(f"{number}: code {code} of {edition} already used on line {seen_codes[(edition, code)]}")
        else:
            seen_codes[(edition, code)] = number

        words = [name] + ([] if aliases == "" else aliases.split(ALIAS_SEPARATOR))
        for word in words:
            if word == "":
                faults.append(f"{number}: empty alias (separator doubled or at an end)")
            elif word in seen_words:
                faults.append(f"{number}: {word} already appears on line {seen_words[word]}")
            else:
                seen_words[word] = number

    faults += check_documented_counts(doc_path, counts)
    return faults, counts


def check_documented_counts(doc_path, counts):
    """The table of categories in the documentation names the same counts as the file."""
    if doc_path is None or not doc_path.exists():
        return []
    documented = {}
    total = None
    for line in doc_path.read_text(encoding="utf-8").splitlines():
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if len(cells) == 3 and cells[1] in CATEGORIES and cells[2].isdigit():
            documented[cells[1]] = int(cells[2])
        elif len(cells) == 3 and cells[1] == "**Total**":
            total = int(cells[2].strip("*"))
    faults = []
    for category in CATEGORIES:
        if documented.get(category) != counts.get(category):
            faults.append(f"{doc_path.name}: {category} documented as {documented.get(category)}, "
                          f"the file has {counts.get(category)}")
    if total != sum(counts.values()):
        faults.append(f"{doc_path.name}: total documented as {total}, the file has {sum(counts.values())}")
    return faults


def main():
    resources = Path(__file__).resolve().parents[2] / "resources"
    csv_path = Path(sys.argv[1]) if len(sys.argv) > 1 else resources / "activities.csv"
    doc_path = Path(sys.argv[2]) if len(sys.argv) > 2 else resources / "ACTIVITIES.md"
    faults, counts = check(csv_path, doc_path)
    for fault in faults:
        print(fault)
    if faults:
        return 1
    summary = ", ".join(f"{category} {counts.get(category, 0)}" for category in CATEGORIES)
    print(f"{csv_path.name}: {sum(counts.values())} activities ({summary})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
