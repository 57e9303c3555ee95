#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the include rules of the source tree (docs/architecture.md):

- an include of one of our headers names its library: "foodlog/EnergyBudget.h", never
  "EnergyBudget.h";
- a feature's ui/ never includes another feature's ui/ (the shell hands in what crosses);
- a core never includes a ui/ folder, widgets/ or the shell;
- every library includes only the libraries below it (MAY_INCLUDE): the cores in one direction,
  db <- foods <- foodlog <- exercise <- report, foodlog <- ownfoods, exercise and ownfoods <-
  datafile and db <- notebook, so that a lower core never reaches up into a higher one (db including a food-log header, say) even
  where the build would still link;
- db/private/ is included from db/ alone, and never from one of db's own public headers.

Usage: check_layout.py SOURCE_DIR. Prints every breach and exits 1 if there is one.
"""
import pathlib
import re
import sys

LIBRARIES = ["db", "foods", "foodlog", "exercise", "ownfoods", "datafile", "report", "notebook", "skin", "widgets", "shell", "app", "resources"]
FEATURES = ["foods", "foodlog", "exercise", "ownfoods", "report", "notebook", "skin"]
CORES = ["db", "foods", "foodlog", "exercise", "ownfoods", "datafile", "report", "notebook", "skin"]
# What each library may include besides itself. Anything else is a breach: a new library or a
# new direction is a deliberate change to this table (and to docs/architecture.md).
MAY_INCLUDE = {
    "db": set(),
    "skin": set(),
    "resources": set(),
    "foods": {"db"},
    "foodlog": {"db", "foods"},
    "exercise": {"db", "foods", "foodlog"},
    "ownfoods": {"db", "foods", "foodlog"},
    # The file's layout composed from every core's steps, and its upgrade at the start.
    "datafile": {"db", "foods", "foodlog", "exercise", "ownfoods"},
    "report": {"db", "foods", "foodlog", "exercise"},
    "notebook": {"db"},
    "widgets": {"resources", "db", "foods"},
    "skin/ui": {"db", "skin", "widgets", "resources"},
    "foods/ui": {"db", "foods", "widgets", "resources"},
    # The log's view shows the day's exercise in its totals and chart (the exercise core) and
    # opens its store on the file's layout (datafile); the 运动 page itself is handed in by the shell.
    "foodlog/ui": {"db", "foods", "foodlog", "exercise", "datafile", "widgets", "resources"},
    "exercise/ui": {"db", "foods", "foodlog", "exercise", "widgets", "resources"},
    "ownfoods/ui": {"db", "foods", "foodlog", "ownfoods", "widgets", "resources"},
    "report/ui": {"db", "foods", "foodlog", "exercise", "report", "widgets", "resources"},
    "notebook/ui": {"db", "notebook", "widgets", "resources"},
    "shell": {"db", "foods", "foodlog", "exercise", "ownfoods", "datafile", "report", "notebook", "skin", "resources", "widgets",
              "skin/ui", "foods/ui", "foodlog/ui", "exercise/ui", "ownfoods/ui", "report/ui", "notebook/ui"},
    "app": {"shell"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def library_of(relative):
    """The library folder a file belongs to: 'foods/ui' for foods/ui/X.cpp, 'foods' for foods/X.h."""
    parts = relative.parts
    if len(parts) > 2 and parts[1] == "ui":
        return parts[0] + "/ui"
    return parts[0]


def breaches(root):
    found = []
    for top in LIBRARIES:
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            relative = path.relative_to(root)
            owner = library_of(relative)
            for included in INCLUDE.findall(path.read_text(encoding="utf-8")):
                where = f"{relative}: #include \"{included}\""
                if included.endswith(".moc") or included.startswith("ui_"):
                    continue
                if "/" not in included:
                    found.append(f"{where}: name the header's library (\"<library>/{included}\")")
                    continue
                target = pathlib.PurePosixPath(included)
                target_library = library_of(target)
                allowed = MAY_INCLUDE.get(owner)
                if allowed is None:
                    found.append(f"{relative}: library {owner} is not in the include table (MAY_INCLUDE)")
                elif target_library != owner and target_library not in allowed and target_library in MAY_INCLUDE:
                    found.append(f"{where}: {owner} may include only {', '.join(sorted(allowed)) or 'itself'}")
                if owner.endswith("/ui") and target_library.endswith("/ui") and target_library != owner:
                    found.append(f"{where}: one feature's ui/ includes another's; hand it in from the shell")
                if owner in CORES and (target_library.endswith("/ui") or target.parts[0] in ("widgets", "shell")):
                    found.append(f"{where}: a core library includes a user-interface header")
                if included.startswith("db/private/"):
                    if target.parts[0] != relative.parts[0]:
                        found.append(f"{where}: db/private/ is for the data layer alone")
                    elif path.suffix == ".h" and "private" not in relative.parts:
                        found.append(f"{where}: a public header of db exposes a private one")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    found = breaches(root)
    for line in found:
        print(line)
    print(f"layout: {len(found)} breach(es)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
