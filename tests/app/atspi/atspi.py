#!/usr/bin/python3
# The running Tessary as a screen reader finds it over AT-SPI, tried again while it comes up.
#   atspi.py press NAME      presses the button of that name
#   atspi.py list [ENTRY...] waits until the history list names exactly these entries, in this
#                            order, and the empty history's invitation is exposed only without any
import sys
import time

import pyatspi

INVITATION = "Copy something to get started"


def tessary():
    for app in pyatspi.Registry.getDesktop(0):
        if app and app.name == "tessary":
            return app
    return None


def named(node, role, name=None):
    return pyatspi.findAllDescendants(
        node, lambda n: n.getRole() == role and (name is None or n.name == name))


def press(app, name):
    buttons = named(app, pyatspi.ROLE_PUSH_BUTTON, name)
    if not buttons:
        return "no button named " + name
    action = buttons[0].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)
    return True


def reads(app, wanted):
    lists = named(app, pyatspi.ROLE_LIST, "Clipboard history")
    entries = [child.name for child in lists[0]] if lists else []
    texts = [n.name for role in (pyatspi.ROLE_STATIC, pyatspi.ROLE_LABEL) for n in named(app, role)]
    seen = (entries, INVITATION in texts)
    return True if seen == (wanted, not wanted) else "entries %s, the invitation %s" % seen


command, arguments = sys.argv[1], sys.argv[2:]
seen = "no tessary"
for attempt in range(60):
    try:
        app = tessary()
        if app:
            seen = press(app, arguments[0]) if command == "press" else reads(app, arguments)
            if seen is True:
                sys.exit(0)
    except Exception as error:
        seen = error
    time.sleep(0.5)
sys.exit("%s %s: saw %s" % (command, arguments, seen))
