"""A private desktop for one program: its own X server, session bus, window manager and empty
home, so that each program starts in its default configuration and nothing of the user's is
touched. Copies are made with xclip, as a user's programs would."""

import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent


def wait_until(condition, timeout, step=0.001):
    """Polls `condition` until it returns something true; returns that, or None on timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value or None
        time.sleep(step)


class Desktop:
    def __init__(self, scratch, program):
        self.program = program
        self.root = Path(scratch) / program
        self.home = self.root / "home"
        runtime = self.root / "runtime"
        for path in (self.home, runtime):
            path.mkdir(parents=True)
        runtime.chmod(0o700)
        self._spawned = []
        self._copies = 0
        # A clean environment: none of the caller's desktop, toolkit or locale settings.
        self.base_env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "LANG": "C.UTF-8",
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.home / ".config"),
            "XDG_DATA_HOME": str(self.home / ".local/share"),
            "XDG_CACHE_HOME": str(self.home / ".cache"),
            "XDG_STATE_HOME": str(self.home / ".local/state"),
            "XDG_RUNTIME_DIR": str(runtime),
        }
        self.base_env["DISPLAY"] = ":" + self._start_x_server()
        bus = f"unix:path={runtime}/bus"
        self._spawn(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--address={bus}"],
            env={**self.base_env, "BENCH_BUS": program},
        )
        self.base_env["DBUS_SESSION_BUS_ADDRESS"] = bus
        wait_until(lambda: (runtime / "bus").exists(), 10)
        self.window_manager = self._spawn(["openbox"])
        wait_until(lambda: self.run(["xdotool", "search", "--class", "openbox"], check=False), 10)

    def _start_x_server(self):
        read_end, write_end = os.pipe()
        self._spawn(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
            pass_fds=(write_end,),
        )
        os.close(write_end)
        with os.fdopen(read_end) as displayfd:
            return displayfd.readline().strip()

    def env(self, program=False):
        """The environment for a command; the program's own carries the marker by which its
        processes are found."""
        return {**self.base_env, "BENCH_PROGRAM": self.program} if program else dict(self.base_env)

    def _spawn(self, args, program=False, env=None, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        kwargs.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(args, env=env or self.env(program), **kwargs)
        self._spawned.append(process)
        return process

    def start(self, args, log, env):
        """Starts the program under test with `env` added, its output going to `log`."""
        return self._spawn(args, env={**self.env(program=True), **env}, stdout=log, stderr=subprocess.STDOUT)

    def run(self, args, check=True, timeout=30):
        """Runs a helper command (not counted as the program's) and returns its output."""
        done = subprocess.run(
            args, env=self.env(), capture_output=True, text=True, timeout=timeout, check=check
        )
        return done.stdout.strip()

    def copy(self, path, target):
        """Puts a file on the clipboard with xclip; returns the monotonic time at which xclip
        owned the clipboard (it says so on stderr right after taking it)."""
        self._copies += 1
        log = self.root / f"xclip-{self._copies}.log"
        with open(log, "wb") as out:
            self._spawn(
                ["xclip", "-verbose", "-selection", "clipboard", "-t", target, "-i", str(path)],
                stderr=out,
            )
        if not wait_until(lambda: b"Waiting for selection requests" in log.read_bytes(), 30):
            raise RuntimeError(f"xclip did not take the clipboard for {path}")
        owned = time.monotonic()
        self._reap()
        return owned

    def hang_clipboard(self):
        """Starts an owner of the clipboard that never answers; returns it once it owns it."""
        owner = self._spawn(
            [sys.executable, str(HERE / "hungowner.py")], stdout=subprocess.PIPE
        )
        owner.stdout.readline()
        owner.stdout.close()
        return owner

    def key(self, keys):
        self.run(["xdotool", "key", keys])

    def visible_windows(self, window_class):
        found = self.run(["xdotool", "search", "--onlyvisible", "--class", window_class], check=False)
        return len(found.split())

    def _reap(self):
        # xclip quits when it loses the clipboard to the next copy.
        self._spawned = [p for p in self._spawned if p.poll() is None]

    def close(self):
        for process in reversed(self._spawned):
            process.terminate()
        for process in reversed(self._spawned):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self.root, ignore_errors=True)
