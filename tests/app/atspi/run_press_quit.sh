#!/bin/bash
# Out of process, as a screen reader: presses Tessary's "Quit" over AT-SPI and expects the
# process to end at once with status 0. Runs its own X server and session bus.
# Usage: run_press_quit.sh <tessary binary>
set -u
tessary=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "python3-pyatspi is not installed" >&2
    exit 77
fi

exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }

export DISPLAY=:$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- bash -c '
    "$1" & app=$!
    sleep 2
    "$1" || { echo "second launch failed" >&2; kill $app; exit 1; }
    timeout 30 "$2" "$3/press_button.py" Quit || { kill $app; exit 1; }
    for i in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
    if kill -0 $app 2>/dev/null; then
        echo "Tessary still runs after Quit was pressed" >&2
        kill $app
        exit 1
    fi
    wait $app
' run "$tessary" "$python" "$here"
status=$?
rm -rf "$XDG_RUNTIME_DIR"
exit $status
