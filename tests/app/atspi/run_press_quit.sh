#!/bin/bash
# As a screen reader out of process: presses Tessary's "Quit" over AT-SPI and expects the process
# to end at once with 0. A second launch on the way must end with 0. Own X server and session bus.
# Usage: run_press_quit.sh <tessary binary>
set -u
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed" >&2; exit 77; }
export XDG_RUNTIME_DIR=$(mktemp -d) && chmod 700 "$XDG_RUNTIME_DIR"
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
dbus-run-session -- bash -c '
    "$1" & app=$!
    trap "kill $app 2>/dev/null" EXIT
    sleep 2
    "$1" || { echo "second launch failed" >&2; exit 1; }
    timeout 30 /usr/bin/python3 "$2/press_button.py" Quit || exit 1
    for i in $(seq 50); do kill -0 $app 2>/dev/null || { wait $app; exit; }; sleep 0.1; done
    echo "Tessary still runs after Quit was pressed" >&2; exit 1
' run "$1" "$(dirname "$0")"
