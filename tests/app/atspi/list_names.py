#!/usr/bin/python3
# Waits until the running Tessary's history list, read over AT-SPI as a screen reader reads it,
# names exactly the given entries in that order, and no hidden text is exposed beside it.
# Usage: list_names.py ENTRY... ; with no entry, waits for the empty history's invitation.
import sys
import time

import pyatspi

INVITATION = "Copy something to get started"


def tessary():
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.name == "tessary":
            return app
    return None


def names(node, role):
    found = pyatspi.findAllDescendants(node, lambda n: n.getRole() == role)
    return [n.name for n in found]


wanted = sys.argv[1:]
seen = None
for attempt in range(60):
    try:
        app = tessary()
        if app:
            lists = pyatspi.findAllDescendants(
                app, lambda n: n.getRole() == pyatspi.ROLE_LIST and n.name == "Clipboard history")
            entries = [child.name for child in lists[0]] if lists else []
            invitation = INVITATION in names(app, pyatspi.ROLE_STATIC) + names(app, pyatspi.ROLE_LABEL)
            seen = (entries, invitation)
            if seen == (wanted, not wanted):
                sys.exit(0)
    except Exception as error:
        seen = error
    time.sleep(0.5)
sys.exit("wanted %s, the invitation %s; saw %s" % (wanted, "shown" if not wanted else "hidden", seen))
