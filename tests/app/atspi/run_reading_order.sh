#!/bin/bash
# As a screen reader out of process: the history list reads in the order shown, newest first,
# also for entries copied while the panel is open; the empty history's invitation is read only
# while it is shown. Own X server and session bus; xclip copies.
# Usage: run_reading_order.sh <tessary binary>
set -u
source "$(dirname "$0")/session.sh"
dbus-run-session -- bash -c '
    "$1" & pids=$!
    trap "kill \$pids 2>/dev/null" EXIT
    sleep 2
    "$1" || { echo "second launch failed" >&2; exit 1; }   # opens the panel
    list="timeout 60 /usr/bin/python3 $2/atspi.py list"
    $list || exit 1
    for text in first second third; do
        printf %s "$text" | xclip -selection clipboard & pids="$pids $!"
        sleep 1.2   # captured on the next tick
    done
    $list third second first
' run "$1" "$(dirname "$0")"
