#!/usr/bin/python3
"""Walks the running program over AT-SPI, as a screen reader does.

Usage: walk.py <application name> [--select ITEM | --open NAME | --expect TEXT] ...
Walks the shown windows; in order, clicks a list item (--select) or presses a button or menu
item and walks the dialog it opens, then closes it with Escape (--open). Fails when a control a
user reaches has no name, a dialog stays open, or no name holds an expected text (--expect).
"""
import re
import subprocess
import sys
import time

import pyatspi

# roles a user reaches and hears by name; a panel needs one when it takes the focus (a cam's)
NAMED_ROLES = {getattr(pyatspi, "ROLE_" + role) for role in (
    "PUSH_BUTTON TOGGLE_BUTTON CHECK_BOX RADIO_BUTTON COMBO_BOX TEXT ENTRY LIST LIST_BOX MENU "
    "MENU_ITEM CHECK_MENU_ITEM RADIO_MENU_ITEM SCROLL_BAR SLIDER SPIN_BUTTON PROGRESS_BAR "
    "PAGE_TAB DIALOG FRAME").split()}


def wait_for(condition, seconds=10):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(0.2)
    return None


def windows(app):
    children = (app.getChildAtIndex(i) for i in range(app.childCount))
    return [w for w in children if w and w.getState().contains(pyatspi.STATE_SHOWING)]


def nodes(node, depth=0):
    """The node and everything below it (menu items also while their menu is closed)."""
    if node is None or depth > 40:
        return
    yield node
    for index in range(node.childCount):
        yield from nodes(node.getChildAtIndex(index), depth + 1)


def walk(window, unnamed, names):
    for node in nodes(window):
        try:
            role, name, states = node.getRole(), node.name or "", node.getState()
        except Exception:
            continue
        if not states.contains(pyatspi.STATE_SHOWING):
            continue
        names.add(name)
        focusable_panel = role == pyatspi.ROLE_PANEL and states.contains(pyatspi.STATE_FOCUSABLE)
        if (role in NAMED_ROLES or focusable_panel) and not name.strip():
            unnamed.append(f"{window.name}: {node.getRoleName()} in {node.parent.name!r}")


def find(app, name, roles):
    for node in (n for i in range(app.childCount) for n in nodes(app.getChildAtIndex(i))):
        try:
            if node.name == name and node.getRole() in roles:
                return node
        except Exception:
            continue
    return None


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=20)


def press_escape(title):
    """Escape, typed into the window of that title once it has the keyboard's focus (no
    window manager runs here to give it)."""
    found = xdotool("search", "--onlyvisible", "--name", f"^{re.escape(title)}$").stdout.split()
    for window in found:
        if xdotool("windowfocus", "--sync", window).returncode == 0:
            break
    xdotool("key", "Escape")


def main():
    app_name, args = sys.argv[1], sys.argv[2:]
    steps = list(zip(args[0::2], args[1::2]))
    app = wait_for(lambda: next((a for a in pyatspi.Registry.getDesktop(0)
                                 if a is not None and a.name == app_name), None), 20)
    if app is None:
        sys.exit(f"no application named {app_name!r} on the accessibility bus")
    time.sleep(2)
    problems, names = [], set()
    for window in windows(app):
        walk(window, problems, names)
    for flag, item in steps:
        if flag == "--select":  # clicked: the list's selection cannot be set from outside
            node = find(app, item, {pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL})
            if node is None:
                problems.append(f"(no list item {item!r})")
                continue
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2),
                    "click", "1")
        elif flag == "--open":
            before = {w.name for w in windows(app)}
            node = find(app, item, {pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_PUSH_BUTTON})
            if node is None:
                problems.append(f"(nothing named {item!r} opens a dialog)")
                continue
            node.queryAction().doAction(0)
            opened = lambda: [w for w in windows(app) if w.name not in before]
            if not wait_for(opened):
                problems.append(f"(no window opened by {item!r})")
                continue
            time.sleep(1)
            for window in opened():
                walk(window, problems, names)
                press_escape(window.name)
            if not wait_for(lambda: not opened()):
                problems.append(f"(the window opened by {item!r} stays open on Escape)")
    problems = list(dict.fromkeys(problems))
    missing = [text for flag, text in steps if flag == "--expect"
               and not any(text in name for name in names)]
    for line in problems + [f"not found: {text}" for text in missing]:
        print(line)
    print(f"{len(names)} names, {len(problems)} problems, {len(missing)} expected texts missing")
    sys.exit(1 if problems or missing else 0)


if __name__ == "__main__":
    main()
