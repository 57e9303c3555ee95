# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints what the running Pellomir's food log shows, read over the accessibility bus:
one line "NAME=TEXT" (the label's description) for each label named on the command line (e.g. 已摄入 当天体重).
Run with the python3 that python3-pyatspi is installed for."""
import os
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "e2e"))
from a11y import find_app  # noqa: E402


def text_of(acc):
    # A named label's text is its description (its name says what it is).
    return acc.description


def labels(acc, wanted, found):
    if acc.name in wanted and acc.name not in found and acc.getRole() == pyatspi.ROLE_LABEL:
        found[acc.name] = text_of(acc)
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None and child.getRole() not in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM,
                                                         pyatspi.ROLE_TREE, pyatspi.ROLE_LIST):
            labels(child, wanted, found)


def main():
    app = find_app("Pellomir")
    if app is None:
        print("no application Pellomir on the bus")
        return 1
    found = {}
    for _ in range(50):
        try:
            labels(app, set(sys.argv[1:]), found)
        except Exception as error:  # the tree may change while we read
            print("retrying:", error, file=sys.stderr)
        if len(found) == len(sys.argv) - 1:
            break
        time.sleep(0.2)
    for name in sys.argv[1:]:
        print("%s=%s" % (name, found.get(name, "")))
    return 0


sys.exit(main())
