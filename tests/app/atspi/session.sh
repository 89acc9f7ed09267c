# Sourced by the AT-SPI tests: skips when pyatspi is missing, then starts a private X server with
# Qt's accessibility on and a runtime directory of its own. The processes in $session_pids end,
# and the directory goes, when the test does.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed" >&2; exit 77; }
export XDG_RUNTIME_DIR=$(mktemp -d) && chmod 700 "$XDG_RUNTIME_DIR"
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
session_pids=$!
trap 'kill $session_pids 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
read -r -t 10 display <&3 || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$display QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
