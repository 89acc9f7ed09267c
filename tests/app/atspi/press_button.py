#!/usr/bin/python3
"""Presses a named button of the running Tessary over AT-SPI, as a screen reader would.

Usage: press_button.py <button name>. Exits 0 once the button was found and pressed."""
import sys
import time

import pyatspi


def find(node, name, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if node.name == name and node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), name, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def main():
    name = sys.argv[1]
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "tessary":
                button = find(app, name)
                if button is not None:
                    action = button.queryAction()
                    names = [action.getName(i) for i in range(action.nActions)]
                    index = names.index("Press") if "Press" in names else 0
                    action.doAction(index)
                    print("pressed", name, names)
                    return 0
        time.sleep(0.3)
    print("no button named", name, file=sys.stderr)
    return 1


sys.exit(main())
