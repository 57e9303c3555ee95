# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running Pellomir through the accessibility bus, as a screen reader does.

Checks that the skin's buttons are there as focusable buttons named by their captions, that
every showing control has a name, that every control taking input is named by its label (not by
what it holds: a combo box by "餐次：早餐", never by "早餐" alone), and presses the section
buttons through the bus (the press action), checking that each opens its section, and the pages
of 饮食记录. Ends by pressing 关闭.
Run with the python3 that python3-pyatspi is installed for. Exit status 0 when all passed.
"""
import re
import sys
import time

import pyatspi

from a11y import fail, failures, find_main_window, named, press, showing, text_of, wait_for, walk

SKIN_BUTTONS = ["瘦身食谱", "有氧运动", "热量计算", "瘦身心得", "瘦身日记", "访问主页", "最小化", "关闭"]
# Added with the food log; pressed and walked when the skin has it.
OPTIONAL_BUTTONS = ["饮食记录"]
NOTEBOOK_SECTIONS = ["瘦身食谱", "有氧运动", "瘦身心得", "瘦身日记"]
# Parts of other controls that carry no name of their own: a text area's scroll bars and the
# unnamed boxes that hold them.
UNNAMED_PARTS = {pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_FILLER}


FIGURE = re.compile(r"\d+(?:\.\d+)?")


def check_names(window, when):
    """Every showing object has a name, and a label showing a figure says it in its name or
    description, so a screen reader that reads those reads the figure too."""
    unnamed = []
    hidden_figures = []
    counted = [0]

    def visit(acc, depth):
        if not showing(acc):
            return
        counted[0] += 1
        if acc.getRole() == pyatspi.ROLE_LABEL:
            try:
                shown = text_of(acc)
            except Exception:
                shown = ""
            said = acc.name + " " + (acc.description or "")
            for figure in FIGURE.findall(shown):
                if figure not in said:
                    hidden_figures.append("%s (%s)" % (acc.name or "unnamed label", shown))
                    break
        if acc.name.strip():
            return
        if acc.getRole() in UNNAMED_PARTS and not acc.getState().contains(pyatspi.STATE_FOCUSABLE):
            return
        unnamed.append("%s at depth %d" % (acc.getRoleName(), depth))

    walk(window, visit)
    if unnamed:
        fail("%s: showing controls without a name: %s" % (when, ", ".join(unnamed)))
    else:
        print("ok: %s: all %d showing objects named" % (when, counted[0]))
    if hidden_figures:
        fail("%s: labels whose figure is not read out: %s" % (when, ", ".join(hidden_figures)))


# Controls that take what the user types or chooses.
INPUT_ROLES = {pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON,
               pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON}


def held(acc):
    """What an input control holds, as far as the bus tells: its text, and for a combo box the
    names of its choices."""
    values = set()
    try:
        values.add(text_of(acc).strip())
    except Exception:
        pass
    if acc.getRole() == pyatspi.ROLE_COMBO_BOX:
        def choices(node, depth):
            if node is not acc and node.name:
                values.add(node.name.strip())
        walk(acc, choices)
    values.discard("")
    return values


def check_input_labels(window, when):
    """Every showing control that takes input has a label in its name: a name of its own, not
    what it holds."""
    unlabelled = []
    counted = [0]

    def visit(acc, depth):
        if not showing(acc) or acc.getRole() not in INPUT_ROLES:
            return
        counted[0] += 1
        name = acc.name.strip()
        if not name or name in held(acc):
            unlabelled.append("%s named %r" % (acc.getRoleName(), name))

    walk(window, visit)
    if unlabelled:
        fail("%s: controls heard by their value, not a label: %s" % (when, ", ".join(unlabelled)))
    else:
        print("ok: %s: all %d input controls named by a label" % (when, counted[0]))


def check_log_pages(window):
    """Each page of 饮食记录, chosen through the bus, is named and labelled throughout."""
    tabs = wait_for("the pages of 饮食记录", lambda: named(window, pyatspi.ROLE_PAGE_TAB_LIST, "饮食记录的内容")
                    or next((t for t in [find_role(window, pyatspi.ROLE_PAGE_TAB_LIST)] if t is not None), None))
    if tabs is None:
        return
    for i in range(tabs.childCount):
        tab = tabs.getChildAtIndex(i)
        if tab is None or tab.getRole() != pyatspi.ROLE_PAGE_TAB:
            continue
        if not press(tab):
            fail("the page " + tab.name + " could not be chosen through the bus")
            continue
        time.sleep(0.4)
        check_names(window, "the page " + tab.name)
        check_input_labels(window, "the page " + tab.name)


def find_role(window, role):
    found = []

    def visit(acc, depth):
        if acc.getRole() == role and showing(acc):
            found.append(acc)

    walk(window, visit)
    return found[0] if found else None


def main():
    window = find_main_window()
    if window is None:
        return 1
    if window.getRole() != pyatspi.ROLE_FRAME:
        fail("the window is a %s, not a frame" % window.getRoleName())

    buttons = {}
    for caption in SKIN_BUTTONS + OPTIONAL_BUTTONS:
        button = named(window, pyatspi.ROLE_PUSH_BUTTON, caption)
        if button is None:
            if caption not in OPTIONAL_BUTTONS:
                fail("no button named " + caption)
            continue
        state = button.getState()
        if not (state.contains(pyatspi.STATE_FOCUSABLE) and showing(button)):
            fail(caption + " is not a focusable button on show")
        buttons[caption] = button
    print("ok: buttons found:", " ".join(buttons))

    check_names(window, "start state")

    for caption in ["瘦身食谱", "有氧运动", "热量计算", "瘦身心得", "瘦身日记"] + \
            [c for c in OPTIONAL_BUTTONS if c in buttons]:
        if caption not in buttons:
            continue
        if not press(buttons[caption]):
            fail("the press action of " + caption + " was refused")
            continue
        if caption in NOTEBOOK_SECTIONS:
            # The caller put one record in each section whose body names the section.
            expected = caption + "的第一条"
            body = wait_for(caption + " on show",
                            lambda: (showing(named(window, pyatspi.ROLE_PUSH_BUTTON, "下一条资料"))
                                     and text_of(named(window, pyatspi.ROLE_TEXT, "资料内容")) == expected))
            if body:
                print("ok: %s opened and shows its record" % caption)
        elif caption == "热量计算":
            tree = wait_for("the food tree on show",
                            lambda: next((t for t in [named(window, pyatspi.ROLE_TREE, "食物分类")
                                                      or named(window, pyatspi.ROLE_TREE_TABLE, "食物分类")]
                                          if t is not None and showing(t)), None))
            if tree is not None:
                print("ok: 热量计算 shows the food tree")
        else:
            time.sleep(0.5)
        check_names(window, "after " + caption)
        check_input_labels(window, "after " + caption)
        if caption == "饮食记录":
            check_log_pages(window)

    # Closing through the bus ends the program (the caller checks its exit status).
    press(buttons["关闭"])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
