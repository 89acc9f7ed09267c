"""Runs Tessary and the clipboard managers users choose today one after the other, each on a
private desktop of its own, gives each the same copies through xclip and measures what each
costs. Started by `bench/compare/run`, which installs and builds what this needs."""

import argparse
import os
import random
import shutil
import signal
import tempfile
import time
from collections import Counter
from pathlib import Path

import procstats
import programs
import report
import workload
from desktop import Desktop, wait_until

SETTLE = 5  # seconds a program is left alone after it started
QUIET = 3  # after copies and windows, before memory is read
IDLE = 60
COPY_TIMEOUT = 3
WINDOW_TIMEOUT = 5
LARGE_TIMEOUT = 30
HUNG_HOLD = 1  # seconds the hung owner holds the clipboard before the next copy
HUNG_TIMEOUT = 40  # GTK gives up on an owner after 30 s


def copy_each(desktop, seen, copies):
    """Copies one after the other; returns each recorded copy's (kind, seconds to record) and
    how many of each kind were not recorded within COPY_TIMEOUT."""
    phases = random.Random(5)
    latencies, missed = [], Counter()
    for copy in copies:
        # Copies come at any moment of a poller's cycle, as a user's do.
        time.sleep(phases.uniform(0, 0.5))
        before = seen.count()
        copied = desktop.copy(copy.path, copy.target)
        recorded = seen.time_of(before, COPY_TIMEOUT)
        if recorded is None:
            missed[copy.kind] += 1
        else:
            latencies.append((copy.kind, recorded - copied))
    return latencies, dict(missed)


def show_and_hide(program, desktop):
    windows = lambda: desktop.visible_windows(program.window_class)
    before = windows()
    program.show_history(desktop)
    shown = wait_until(lambda: windows() > before, WINDOW_TIMEOUT, step=0.1)
    time.sleep(1)  # drawn and settled, as a user would look at it
    program.hide_history(desktop)
    hidden = wait_until(lambda: windows() <= before, WINDOW_TIMEOUT, step=0.1)
    return {"shown": bool(shown), "hidden": bool(hidden)}


def idle(pids):
    first = procstats.activity(pids())
    time.sleep(IDLE)
    idled = procstats.activity_between(first, procstats.activity(pids()))
    return {**idled, "seconds": IDLE, "threads": idled["threads"][:4]}


def capture_large(desktop, seen, pids, copy):
    rss = procstats.memory(pids())["rss"]
    procstats.reset_peaks(pids())
    before = seen.count()
    copied = desktop.copy(copy.path, copy.target)
    recorded = seen.time_of(before, LARGE_TIMEOUT)
    time.sleep(QUIET)  # what a program does after recording (previews, saving) counts too
    return {
        "seconds": recorded - copied if recorded else None,
        "peak_rss": procstats.peak_rss(pids()),
        "rss_before": rss,
        "timeout": LARGE_TIMEOUT,
    }


def after_hung_owner(desktop, seen, copy):
    owner = desktop.hang_clipboard()
    time.sleep(HUNG_HOLD)
    before = seen.count()
    copied = desktop.copy(copy.path, copy.target)
    recorded = seen.time_of(before, HUNG_TIMEOUT)
    owner.kill()
    return {"seconds": recorded - copied if recorded else None, "timeout": HUNG_TIMEOUT}


def measure_all(program, desktop, log, work):
    pids = lambda: procstats.processes(program.name, program.helpers)
    memory = {"start": procstats.memory(pids())}
    with program.observer(desktop, log) as seen:
        latencies, missed = copy_each(desktop, seen, work["copies"])
    time.sleep(QUIET)
    memory["copies"] = procstats.memory(pids())
    window = show_and_hide(program, desktop)
    time.sleep(QUIET)
    memory["shown"] = procstats.memory(pids())
    idled = idle(pids)
    with program.observer(desktop, log) as seen:
        large = capture_large(desktop, seen, pids, work["large"])
        hung = after_hung_owner(desktop, seen, work["after_hung"])
    return {
        "memory": memory, "latencies": latencies, "missed": missed, "window": window,
        "idle": idled, "large": large, "hung": hung, "processes": procstats.names(pids()),
    }


def measure_idle(program, desktop, log, work):
    pids = lambda: procstats.processes(program.name, program.helpers)
    with program.observer(desktop, log) as seen:
        latencies, missed = copy_each(desktop, seen, work["idle_copies"])
    time.sleep(QUIET)
    return {
        "memory": {"copies": procstats.memory(pids())}, "latencies": latencies, "missed": missed,
        "idle": idle(pids), "processes": procstats.names(pids()),
    }


def stop(pids):
    for sent in (signal.SIGTERM, signal.SIGKILL):
        for pid in pids:
            try:
                os.kill(pid, sent)
            except ProcessLookupError:
                pass
        if wait_until(lambda: not any(map(procstats.alive, pids)), 5, step=0.1):
            return


def run_program(program, scratch, measure, work):
    print(f"{program.label}: starting", flush=True)
    desktop = Desktop(scratch, program.name)
    try:
        log = desktop.root / "program.log"
        with open(log, "wb") as out:
            process = desktop.start(program.command, out, program.env)
        if not wait_until(lambda: program.ready(desktop), 30, step=0.2):
            raise RuntimeError(f"{program.label} did not start; its output: {log.read_text()}")
        time.sleep(SETTLE)
        result = measure(program, desktop, log, work)
        result["running_at_end"] = process.poll() is None
        return result
    finally:
        stop(procstats.processes(program.name, program.helpers))
        stop(procstats.bus_processes(program.name))
        desktop.close()


def load_average():
    return Path("/proc/loadavg").read_text().split()[:3]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--idle", action="store_true",
                        help="Tessary and CopyQ only: three copies, then 60 idle seconds")
    parser.add_argument("--only", nargs="+", choices=[p.name for p in programs.ALL],
                        help="run only these programs (results are not written to bench/results)")
    args = parser.parse_args()
    chosen = [p for p in programs.ALL if p.name in (args.only or [p.name for p in programs.ALL])]
    if args.idle:
        chosen = [p for p in chosen if p.name in ("tessary", "copyq")]
    signal.signal(signal.SIGTERM, lambda *_: exit(1))  # run the clean-up below

    started = time.monotonic()
    scratch = Path(tempfile.mkdtemp(prefix="tessary-compare-"))
    try:
        copies = scratch / "copies"
        copies.mkdir()
        print("Writing the copies to", copies, flush=True)
        if args.idle:
            work = {"idle_copies": workload.idle_copies(copies)}
        else:
            large, size = workload.large_image(copies)
            work = {
                "copies": workload.mixed_copies(copies),
                "large": large,
                "after_hung": workload.single_text(copies, "after-hung", "copied after a hung owner"),
            }
        results = {
            "mode": "idle" if args.idle else "full",
            "date": time.strftime("%Y-%m-%d %H:%M %Z"),
            "load_before": load_average(),
            "workload": report.describe_workload(work, size if not args.idle else None),
            "versions": report.versions(),
            "programs": {},
        }
        measure = measure_idle if args.idle else measure_all
        for program in chosen:
            results["programs"][program.name] = run_program(program, scratch, measure, work)
        results["load_after"] = load_average()
        results["minutes"] = (time.monotonic() - started) / 60
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    report.write(results, chosen, update_readme=not args.only)


if __name__ == "__main__":
    main()
