#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The include rules hold: each case lays one file with one include in a scratch tree and asks
check_layout whether it is a breach, so that a rule loosened by accident fails here."""
import pathlib
import sys
import tempfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_layout  # noqa: E402

# (file, what it includes, a breach?)
CASES = [
    # A feature's ui never includes another's: the shell hands pages and actions in.
    ("foodlog/ui/FoodLogView.cpp", "exercise/ui/ExercisePage.h", True),
    ("ownfoods/ui/OwnFoodEditor.cpp", "foodlog/ui/FoodLogView.h", True),
    ("exercise/ui/ExercisePage.cpp", "ownfoods/ui/OwnFoodDialog.h", True),
    ("foods/ui/CaloriePanel.cpp", "foodlog/ui/FoodLogSection.h", True),
    ("skin/ui/MainForm.cpp", "foods/ui/CalorieLookup.h", True),
    # A ui includes its own core, the cores below, widgets and resources.
    ("exercise/ui/ExercisePage.cpp", "foodlog/LogCalendar.h", False),
    ("ownfoods/ui/OwnFoodEditor.cpp", "foodlog/LogSchema.h", False),
    ("foodlog/ui/FoodLogView.cpp", "exercise/ExerciseKcal.h", False),
    ("ownfoods/ui/OwnFoodImport.cpp", "widgets/LongWork.h", False),
    # ...but not a core above it, nor the shell.
    ("foodlog/ui/FoodLogSection.cpp", "ownfoods/OwnFoodStore.h", True),
    ("exercise/ui/ExercisePage.cpp", "report/LogReport.h", True),
    ("exercise/ui/ExercisePage.cpp", "shell/ExerciseTab.h", True),
    # Only the shell puts several features' ui together.
    ("shell/ExerciseTab.cpp", "exercise/ui/ExercisePage.h", False),
    ("shell/MainWindow.cpp", "ownfoods/ui/OwnFoodEditor.h", False),
    # Cores downward only, and never a ui.
    ("db/DailyBackup.cpp", "foodlog/LogBounds.h", True),
    ("foodlog/DayKcal.cpp", "exercise/ExerciseEntry.h", True),
    ("exercise/ExerciseStore.cpp", "exercise/ui/ExerciseList.h", True),
    ("db/DataReplaced.cpp", "widgets/MessageBox.h", True),
    # Includes name their library.
    ("ownfoods/ui/OwnFoodEditor.cpp", "OwnFoodDialog.h", True),
]


def main():
    failures = []
    for file, included, breach in CASES:
        with tempfile.TemporaryDirectory() as scratch:
            path = pathlib.Path(scratch) / file
            path.parent.mkdir(parents=True)
            path.write_text(f'#include "{included}"\n', encoding="utf-8")
            found = check_layout.breaches(pathlib.Path(scratch))
        if bool(found) != breach:
            failures.append(f"{file} including {included}: {'no breach found' if breach else found}")
    for line in failures:
        print(line)
    print(f"layout rules: {len(CASES) - len(failures)} of {len(CASES)} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
