#!/usr/bin/python3
# Presses the named button of the running Tessary over AT-SPI, as a screen reader would.
import sys
import time

import pyatspi

for attempt in range(50):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            button = app.name == "tessary" and pyatspi.findDescendant(
                app, lambda n: n.name == sys.argv[1] and n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
            if button:
                action = button.queryAction()
                names = [action.getName(i) for i in range(action.nActions)]
                action.doAction(names.index("Press") if "Press" in names else 0)
                sys.exit(0)
        except Exception:
            pass
    time.sleep(0.3)
sys.exit("no button named " + sys.argv[1])
