#!/bin/bash
# As a screen reader out of process: copies an entry back (which plays a sound) and presses
# Tessary's "Quit"; the process must end at once with 0, although the sound server it talks to
# never answers. A second launch on the way must end with 0. Own X server and session bus.
# Usage: run_press_quit.sh <tessary binary>
set -u
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed" >&2; exit 77; }
export XDG_RUNTIME_DIR=$(mktemp -d) && chmod 700 "$XDG_RUNTIME_DIR"
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
xvfb=$!
# A sound server that takes connections and never answers.
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/hung-sound-server
/usr/bin/python3 -c '
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(8)
clients = []
while True:
    clients.append(server.accept())
' "${PULSE_SERVER#unix:}" & sound=$!
trap 'kill $xvfb $sound 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
dbus-run-session -- bash -c '
    "$1" & pids=$!
    app=$pids
    trap "kill \$pids 2>/dev/null" EXIT
    sleep 2
    printf copied | xclip -selection clipboard & pids="$pids $!"
    sleep 1.2   # captured on the next tick
    "$1" || { echo "second launch failed" >&2; exit 1; }   # opens the panel
    timeout 30 /usr/bin/python3 "$2/press_button.py" Copy || exit 1
    timeout 30 /usr/bin/python3 "$2/press_button.py" Quit || exit 1
    for i in $(seq 50); do kill -0 $app 2>/dev/null || { wait $app; exit; }; sleep 0.1; done
    echo "Tessary still runs after Quit was pressed" >&2; exit 1
' run "$1" "$(dirname "$0")"
