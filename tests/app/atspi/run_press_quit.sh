#!/bin/bash
# As a screen reader out of process: copies an entry back (which plays a sound) and presses
# Tessary's "Quit"; the process must end at once with 0, although the sound server it talks to
# never answers. A second launch on the way must end with 0. Own X server and session bus.
# Usage: run_press_quit.sh <tessary binary>
set -u
source "$(dirname "$0")/session.sh"
# A sound server that lets connections wait and never answers.
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/hung-sound-server
/usr/bin/python3 -c 'import socket, sys, time
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen(8)
time.sleep(3600)' "${PULSE_SERVER#unix:}" & session_pids="$session_pids $!"
dbus-run-session -- bash -c '
    "$1" & pids=$!
    app=$pids
    trap "kill \$pids 2>/dev/null" EXIT
    sleep 2
    printf copied | xclip -selection clipboard & pids="$pids $!"
    sleep 1.2   # captured on the next tick
    "$1" || { echo "second launch failed" >&2; exit 1; }   # opens the panel
    timeout 40 /usr/bin/python3 "$2/atspi.py" press Copy || exit 1
    timeout 40 /usr/bin/python3 "$2/atspi.py" press Quit || exit 1
    for i in $(seq 50); do kill -0 $app 2>/dev/null || { wait $app; exit; }; sleep 0.1; done
    echo "Tessary still runs after Quit was pressed" >&2; exit 1
' run "$1" "$(dirname "$0")"
