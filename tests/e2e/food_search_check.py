# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the calorie panel of the running Pellomir through the accessibility bus after a search:
the result list names the food with its category and calories, the tree has the food current,
the name box shows it and the calorie figure is the food's.

    food_search_check.py FOOD KCAL

Run with the python3 that python3-pyatspi is installed for. Exit status 0 when all passed.
"""
import sys

import pyatspi

from a11y import children, fail, failures, find_main_window, named, showing, text_of, wait_for


def main():
    food, kcal = sys.argv[1], sys.argv[2]
    window = find_main_window()
    if window is None:
        return 1

    field = wait_for("the search field on show",
                     lambda: (lambda f: f if f is not None and showing(f) else None)(
                         named(window, pyatspi.ROLE_TEXT, "搜索食物")))
    if field is not None:
        typed = text_of(field)
        print("ok: Ctrl+F opened the calorie panel; the search field holds %r" % typed)

    results = wait_for("the result list on show",
                       lambda: (lambda r: r if r is not None and showing(r) else None)(
                           named(window, pyatspi.ROLE_LIST, "搜索结果")))
    if results is not None:
        names = [item.name for item in children(results)]
        expected = "%s · 蔬菜 · %s 大卡" % (food, kcal)
        if expected in names:
            print("ok: the results name %r (%d results)" % (expected, len(names)))
        else:
            fail("no result %r among %r" % (expected, names))

    name_box = wait_for("the food's name in the panel",
                        lambda: (lambda t: t if t is not None and text_of(t) == food else None)(
                            named(window, pyatspi.ROLE_TEXT, "食物名称")))
    if name_box is not None:
        print("ok: the panel names %s" % food)

    figure = wait_for("the calorie figure %s 大卡" % kcal,
                      lambda: named(window, pyatspi.ROLE_LABEL, kcal + " 大卡"))
    if figure is not None and showing(figure):
        print("ok: the panel shows %s 大卡" % kcal)

    tree = named(window, pyatspi.ROLE_TREE, "食物分类") or named(window, pyatspi.ROLE_TREE_TABLE, "食物分类")
    selected = wait_for("the food selected in the tree",
                        lambda: next((cell for cell in children(tree) if cell.name == food
                                      and cell.getState().contains(pyatspi.STATE_SELECTED)), None)
                        ) if tree is not None else None
    if selected is not None:
        print("ok: %s is selected in the food tree" % food)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
