"""What a program costs, read from /proc: its processes, their memory, CPU time and wakeups."""

import os

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def _read(path):
    # Processes come and go while we look: a vanished one reads as nothing.
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def _fields(text):
    """`Key:   123 kB` lines as {key: first number}."""
    result = {}
    for line in text.decode().splitlines():
        key, _, value = line.partition(":")
        parts = value.split()
        if parts and parts[0].isdigit():
            result[key] = int(parts[0])
    return result


def _marked(variable, value):
    """{pid: executable name} of the processes whose environment has variable=value."""
    wanted = f"{variable}={value}".encode()
    found = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit() and wanted in (_read(f"/proc/{entry}/environ") or b"").split(b"\0"):
            found[int(entry)] = _name(entry)
    return found


def _name(pid):
    """The executable's name as started (comm is cut at 15 characters); None once it ended."""
    argv0 = (_read(f"/proc/{pid}/cmdline") or b"").split(b"\0")[0]
    return os.path.basename(argv0.decode(errors="replace")) or None


def processes(program, helpers=()):
    """PIDs started as `program` (the desktop marks its environment, which its children
    inherit), plus the services named in `helpers` that the session bus started for it."""
    own = _marked("BENCH_PROGRAM", program)
    services = _marked("BENCH_BUS", program)
    return sorted(set(own) | {pid for pid, name in services.items() if name in helpers})


def bus_processes(program):
    """The program's session bus and every service it started."""
    return sorted(_marked("BENCH_BUS", program))


def alive(pid):
    # A process that ended but was not waited for yet shows an empty environment.
    return bool(_read(f"/proc/{pid}/environ"))


def names(pids):
    return [name for name in map(_name, pids) if name]


def memory(pids):
    """RSS, PSS and private memory (and the clean part of it) in kB, summed over the processes."""
    total = {"rss": 0, "pss": 0, "private": 0, "private_clean": 0}
    for pid in pids:
        rollup = _read(f"/proc/{pid}/smaps_rollup")
        if rollup is None:
            continue
        fields = _fields(rollup)
        total["rss"] += fields.get("Rss", 0)
        total["pss"] += fields.get("Pss", 0)
        total["private"] += fields.get("Private_Clean", 0) + fields.get("Private_Dirty", 0)
        # Mostly pages of libraries that no other running process has mapped.
        total["private_clean"] += fields.get("Private_Clean", 0)
    return total


def reset_peaks(pids):
    # Writing 5 to clear_refs resets the peak RSS (VmHWM) to the current RSS.
    for pid in pids:
        try:
            with open(f"/proc/{pid}/clear_refs", "w") as f:
                f.write("5")
        except OSError:
            pass


def peak_rss(pids):
    """The sum of each process's peak RSS since reset_peaks, in kB."""
    statuses = (_read(f"/proc/{pid}/status") for pid in pids)
    return sum(_fields(status).get("VmHWM", 0) for status in statuses if status)


def activity(pids):
    """CPU seconds of each process, and the voluntary and involuntary context switches of each
    of its threads, keyed so that two readings can be subtracted."""
    cpu, switches = {}, {}
    for pid in pids:
        stat = _read(f"/proc/{pid}/stat")
        if stat is None:
            continue
        # Fields after the parenthesised name; utime and stime are the 14th and 15th.
        after_name = stat[stat.rindex(b")") + 2 :].split()
        cpu[pid] = (int(after_name[11]) + int(after_name[12])) / CLOCK_TICKS
        for tid in os.listdir(f"/proc/{pid}/task") if os.path.isdir(f"/proc/{pid}/task") else []:
            status = _read(f"/proc/{pid}/task/{tid}/status")
            if status is None:
                continue
            fields = _fields(status)
            name = (_read(f"/proc/{pid}/task/{tid}/comm") or b"?").decode().strip()
            switches[(pid, int(tid), name)] = (
                fields.get("voluntary_ctxt_switches", 0),
                fields.get("nonvoluntary_ctxt_switches", 0),
            )
    return cpu, switches


def activity_between(before, after):
    """Between two readings of `activity`: CPU seconds; wakeups (context switches of every
    kind); how many were involuntary (preemptions, which other load on the machine adds); the
    threads that woke, busiest first; and how many threads ended meanwhile (their switches are
    lost with them)."""
    cpu_before, switches_before = before
    cpu_after, switches_after = after
    per_thread = {}
    for key, (voluntary, involuntary) in switches_after.items():
        was_voluntary, was_involuntary = switches_before.get(key, (0, 0))
        per_thread[key] = (voluntary - was_voluntary, involuntary - was_involuntary)
    busiest = sorted(((sum(n), key[2]) for key, n in per_thread.items() if sum(n)), reverse=True)
    return {
        "cpu": sum(value - cpu_before.get(pid, 0) for pid, value in cpu_after.items()),
        "wakeups": sum(map(sum, per_thread.values())),
        "involuntary": sum(involuntary for _, involuntary in per_thread.values()),
        "threads": [(name, n) for n, name in busiest],
        "threads_ended": len(switches_before.keys() - switches_after.keys()),
    }
