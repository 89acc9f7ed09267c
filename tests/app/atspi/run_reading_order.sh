#!/bin/bash
# As a screen reader out of process: the history list reads in the order shown, newest first,
# also for entries copied while the panel is open; the empty history's invitation is read only
# while it is shown. Own X server and session bus; xclip copies.
# Usage: run_reading_order.sh <tessary binary>
set -u
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed" >&2; exit 77; }
export XDG_RUNTIME_DIR=$(mktemp -d) && chmod 700 "$XDG_RUNTIME_DIR"
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
dbus-run-session -- bash -c '
    "$1" & pids=$!
    trap "kill \$pids 2>/dev/null" EXIT
    sleep 2
    "$1" || { echo "second launch failed" >&2; exit 1; }   # opens the panel
    list="timeout 60 /usr/bin/python3 $2/list_names.py"
    $list || exit 1
    for text in first second third; do
        printf %s "$text" | xclip -selection clipboard & pids="$pids $!"
        sleep 1.2   # captured on the next tick
    done
    $list third second first
' run "$1" "$(dirname "$0")"
