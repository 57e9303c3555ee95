# SPDX-License-Identifier: GPL-3.0-or-later
"""Reading the running Pellomir through the accessibility bus, as a screen reader does: finding
the program and its window, walking its controls, reading and pressing them. Shared by the
end-to-end checks; run with the python3 that python3-pyatspi is installed for.
"""
import time

import pyatspi

# Tree and list rows past this many are not walked: their names are their texts, and reading
# hundreds over the bus would only slow the test.
MAX_ROWS = 40

failures = []


def fail(message):
    print("FAIL:", message)
    failures.append(message)


def wait_for(what, predicate, seconds=10.0):
    end = time.time() + seconds
    while True:
        try:
            value = predicate()
        except Exception:  # the tree changes under us while the program works
            value = None
        if value:
            return value
        if time.time() > end:
            fail("timed out waiting for " + what)
            return None
        time.sleep(0.1)


def find_app(name):
    def look():
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        return None
    return wait_for("the application " + name + " on the bus", look, 20)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def walk(acc, visit, depth=0):
    visit(acc, depth)
    rows = 0
    for child in children(acc):
        if child.getRole() in (pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM):
            rows += 1
            if rows > MAX_ROWS:
                break
        walk(child, visit, depth + 1)


def named(window, role, name):
    found = []

    def visit(acc, depth):
        if acc.getRole() == role and acc.name == name:
            found.append(acc)

    walk(window, visit)
    return found[0] if found else None


def text_of(acc):
    text = acc.queryText()
    return text.getText(0, text.characterCount)


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    index = names.index("Press") if "Press" in names else 0
    return action.doAction(index)


def find_main_window():
    """The program's main window on the bus, or None (with a failure noted) when it is not there."""
    app = find_app("Pellomir")
    if app is None:
        return None
    return wait_for("the window Pellomir1.0",
                    lambda: next((w for w in children(app) if w.name == "Pellomir1.0"), None), 20)
