"""One driver per program: how to start it, how to tell it is ready, how to learn that it recorded
a copy (from what it exposes), and how to show and hide its history window."""

import os
import re
import signal
import sqlite3
import subprocess
import threading
import time
from pathlib import Path

from desktop import wait_until

ROOT = Path(__file__).resolve().parents[2]


class Observer:
    """Collects the monotonic times at which the program recorded new entries, from a thread."""

    def __init__(self):
        self._stamps = []
        self._lock = threading.Lock()
        self._stopped = threading.Event()
        self._thread = threading.Thread(target=self._watch, daemon=True)

    def __enter__(self):
        self._begin()
        self._thread.start()
        return self

    def _begin(self):
        """Takes in what was recorded before, so that only later entries count."""

    def __exit__(self, *exc):
        self._stopped.set()
        self._thread.join()

    def _add(self, stamp, how_many=1):
        with self._lock:
            self._stamps.extend([stamp] * how_many)

    def count(self):
        with self._lock:
            return len(self._stamps)

    def time_of(self, index, timeout):
        """The time of the entry recorded after `index` others, once it is there."""

        def stamp():
            with self._lock:
                return self._stamps[index] if len(self._stamps) > index else None

        return wait_until(stamp, timeout)

    def _watch(self):
        raise NotImplementedError


class PollingObserver(Observer):
    """Reads a state of the program's storage every few milliseconds; a change is a new entry."""

    def __init__(self, read_state, interval=0.005):
        super().__init__()
        self._read_state = read_state
        self._interval = interval

    def _begin(self):
        self._last = self._read_state()  # None while the storage is being written

    def _watch(self):
        while not self._stopped.wait(self._interval):
            state = self._read_state()
            if state is None:
                continue
            if self._last is not None and state != self._last:
                self._add(time.monotonic())
            self._last = state


class LogObserver(Observer):
    """Follows the program's log for lines that stamp each entry on the monotonic clock."""

    PATTERN = re.compile(rb"recorded \w+ entry at ([0-9.]+)")

    def __init__(self, log):
        super().__init__()
        self._log = log

    def _begin(self):
        self._file = open(self._log, "rb")
        self._file.seek(0, 2)

    def _watch(self):
        pending = b""
        with self._file:
            while not self._stopped.wait(0.005):
                pending += self._file.read()
                *lines, pending = pending.split(b"\n")
                for line in lines:
                    if match := self.PATTERN.search(line):
                        self._add(float(match.group(1)))


class Program:
    name = label = window_class = ""
    command = []
    helpers = ()  # services the session bus starts for the program, counted as its own
    env = {}
    exposes = ""  # how the benchmark learns that an entry was recorded
    history_window = ""  # how its history window is shown and hidden

    def ready(self, desktop):
        return desktop.run(["xdotool", "search", "--class", self.window_class], check=False)

    def observer(self, desktop, log):
        raise NotImplementedError

    def show_history(self, desktop):
        raise NotImplementedError

    def hide_history(self, desktop):
        desktop.key("Escape")


def bus_name_owned(desktop, name):
    reply = desktop.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
         "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", f"string:{name}"],
        check=False,
    )
    return "boolean true" in reply


class Tessary(Program):
    name, label, window_class = "tessary", "Tessary", "tessary"
    binary = str(os.environ.get("TESSARY_BINARY", ROOT / "build/src/app/tessary"))
    command = [binary]
    env = {"QT_LOGGING_RULES": "tessary.monitor.debug=true", "QT_FORCE_STDERR_LOGGING": "1"}
    exposes = "its log line for each recorded entry (`tessary.monitor`), stamped by the app"
    history_window = "`tessary` launched again opens the panel; Escape closes it"

    def ready(self, desktop):
        return bus_name_owned(desktop, "org.tessary.Tessary")

    def observer(self, desktop, log):
        return LogObserver(log)

    def show_history(self, desktop):
        desktop.run(self.command)


class CopyQ(Program):
    name, label, window_class = "copyq", "CopyQ", "copyq"
    command = ["copyq"]
    exposes = "`count()` of its clipboard tab, polled every 10 ms by a `copyq eval` script"
    history_window = "`copyq show`, `copyq hide`"

    def ready(self, desktop):
        return desktop.run(["copyq", "count"], check=False) != ""

    def observer(self, desktop, log):
        return CopyQObserver(desktop)

    def show_history(self, desktop):
        desktop.run(["copyq", "show"])

    def hide_history(self, desktop):
        desktop.run(["copyq", "hide"])


class CopyQObserver(Observer):
    # The script stamps each new count with the wall clock in ms; one reading of both clocks
    # carries it over to the monotonic one.
    SCRIPT = (
        "var nl = String.fromCharCode(10); var n = count(); print('ready' + nl);"
        "while (true) { var c = count();"
        " if (c > n) { print(Date.now() + ' ' + (c - n) + nl); n = c; } sleep(10); }"
    )

    def __init__(self, desktop):
        super().__init__()
        self._desktop = desktop

    def __enter__(self):
        self._client = subprocess.Popen(
            ["copyq", "eval", self.SCRIPT], env=self._desktop.env(), stdout=subprocess.PIPE
        )
        self._client.stdout.readline()
        return super().__enter__()

    def __exit__(self, *exc):
        # The client ignores SIGTERM (and spins once its server is gone).
        self._client.send_signal(signal.SIGKILL)
        self._client.wait()
        super().__exit__(*exc)

    def _watch(self):
        offset = time.time() - time.monotonic()
        for line in self._client.stdout:
            milliseconds, added = line.split()
            self._add(int(milliseconds) / 1000 - offset, int(added))


class Parcellite(Program):
    name, label, window_class = "parcellite", "Parcellite", "parcellite"
    command = ["parcellite"]
    exposes = "its history file, rewritten on each new entry; polled every 5 ms"
    history_window = "its history hotkey Ctrl+Alt+H opens the history menu; Escape closes it"

    def observer(self, desktop, log):
        history = desktop.home / ".local/share/parcellite/history"

        def newest_entry():
            # A 32-byte header, then records newest first, each led by its own size.
            if not history.exists():
                return b""
            data = history.read_bytes()
            if len(data) < 36:
                return None
            size = int.from_bytes(data[32:36], "little")
            return data[32 : 32 + size] if len(data) >= 32 + size else None

        return PollingObserver(newest_entry)

    def show_history(self, desktop):
        desktop.key("ctrl+alt+h")


class Diodon(Program):
    name, label, window_class = "diodon", "Diodon", "diodon"
    command = ["diodon"]
    helpers = ("zeitgeist-daemon", "zeitgeist-fts")
    exposes = "the Zeitgeist event log it stores entries in (SQLite), polled every 5 ms"
    history_window = "`diodon` launched again opens the history menu; Escape closes it"

    def observer(self, desktop, log):
        database = desktop.home / ".local/share/zeitgeist/activity.sqlite"
        connection = None

        def events():
            nonlocal connection
            if not database.exists():
                return 0
            try:
                # mode=rw: never create the database in Zeitgeist's place.
                connection = connection or sqlite3.connect(
                    f"file:{database}?mode=rw", uri=True, check_same_thread=False
                )
                return connection.execute("SELECT count(*) FROM event").fetchone()[0]
            except sqlite3.Error:
                return None

        return PollingObserver(events)

    def show_history(self, desktop):
        desktop.run(self.command)


ALL = (Tessary(), CopyQ(), Parcellite(), Diodon())
