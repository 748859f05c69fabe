#!/usr/bin/python3
"""Walks the running program over AT-SPI, as a screen reader does.

Usage: walk.py <application name> [--select ITEM] [--open NAME ...] [--expect TEXT ...]
Prints every control a user reaches that has no accessible name, opens the dialogs through
their menu items or buttons (--open NAME), walks them too and closes them with Escape, and
fails when a control is unnamed, a dialog stays open, or an expected text (--expect TEXT, a
German menu title, say) is not found in any name.
"""
import re
import subprocess
import sys
import time

import pyatspi

# roles a user reaches and hears by name
NAMED_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_MENU, pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM, pyatspi.ROLE_SCROLL_BAR,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_PROGRESS_BAR,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME,
}
# a group box is a panel in AT-SPI; one that takes the focus (a cam panel) needs a name
FOCUSABLE_PANEL = pyatspi.ROLE_PANEL


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.5)
    sys.exit(f"no application named {name!r} on the accessibility bus")


def walk(node, path, unnamed, names, depth=0):
    if node is None or depth > 40:
        return
    try:
        role = node.getRole()
        name = node.name or ""
        states = node.getState()
    except Exception:
        return
    if not states.contains(pyatspi.STATE_SHOWING) and role != pyatspi.ROLE_MENU_ITEM:
        return
    names.add(name)
    here = f"{path}/{node.getRoleName()}[{name}]"
    needs_name = role in NAMED_ROLES or (
        role == FOCUSABLE_PANEL and states.contains(pyatspi.STATE_FOCUSABLE))
    if needs_name and not name.strip():
        unnamed.append(here)
    for index in range(node.childCount):
        walk(node.getChildAtIndex(index), here, unnamed, names, depth + 1)


def windows(app):
    return [app.getChildAtIndex(i) for i in range(app.childCount)]


def press(app, label):
    """Presses the menu item or button whose name is `label` (its first action)."""
    stack = windows(app)
    while stack:
        node = stack.pop()
        if node is None:
            continue
        try:
            if node.name == label and node.getRole() in (
                    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PUSH_BUTTON):
                node.queryAction().doAction(0)
                return True
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    return False


def select(app, label):
    """Selects the list item whose name is `label`, as a click would."""
    stack = windows(app)
    while stack:
        node = stack.pop()
        try:
            if node.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE):
                for index in range(node.childCount):
                    item = node.getChildAtIndex(index)
                    if item.name == label:  # clicked: the list's selection is read-only
                        box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                        x, y = box.x + box.width // 2, box.y + box.height // 2
                        return subprocess.run(["xdotool", "mousemove", str(x), str(y), "click",
                                               "1"], timeout=20).returncode == 0
            stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))
        except Exception:
            continue
    return False


def shown_windows(app):
    shown = []
    for window in windows(app):
        try:
            if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
                shown.append(window)
        except Exception:
            continue
    return shown


def press_escape(title):
    """Escape, typed into the window of that title, given the keyboard's focus first (no window
    manager runs here to give it)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                            "^" + re.escape(title) + "$"],
                           capture_output=True, text=True, timeout=20).stdout.split()
    for window in found:
        if subprocess.run(["xdotool", "windowfocus", "--sync", window], capture_output=True,
                          timeout=20).returncode == 0:
            break
    subprocess.run(["xdotool", "key", "Escape"], capture_output=True, timeout=20)


def wait_for(condition, seconds=8):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return False


def main():
    app_name = sys.argv[1]
    args = sys.argv[2:]
    steps = list(zip(args[0::2], args[1::2]))  # in order: --select ITEM, --open NAME
    expected = [value for flag, value in steps if flag == "--expect"]
    app = find_application(app_name)
    time.sleep(2)
    unnamed, names = [], set()
    for window in shown_windows(app):
        walk(window, "", unnamed, names)
    for flag, item in steps:
        if flag == "--select" and not select(app, item):
            unnamed.append(f"(no list item {item!r} to select)")
        if flag != "--open":
            continue
        # a dialog, opened by its menu item or button, walked, and closed by Escape
        before = {w.name for w in shown_windows(app)}
        if not press(app, item):
            unnamed.append(f"(nothing named {item!r} to open a dialog)")
            continue
        new = lambda: [w for w in shown_windows(app) if w.name not in before]
        if not wait_for(new):
            unnamed.append(f"(no window opened by {item!r})")
            continue
        time.sleep(1)
        for window in new():
            walk(window, "", unnamed, names)
        for window in new():
            press_escape(window.name)
        if not wait_for(lambda: not new()):
            unnamed.append(f"(the window opened by {item!r} stays open on Escape)")
    unnamed = list(dict.fromkeys(unnamed))
    for line in unnamed:
        print("unnamed:", line)
    missing = [text for text in expected if not any(text in name for name in names)]
    for text in missing:
        print("not found:", text)
    print(f"{len(names)} names, {len(unnamed)} problems, {len(missing)} expected texts missing")
    sys.exit(1 if unnamed or missing else 0)


if __name__ == "__main__":
    main()
