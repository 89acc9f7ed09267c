"""Turns the measurements into bench/results/: a Markdown table with Tessary's targets checked,
the numbers as JSON, and a chart drawn by gnuplot."""

import json
import math
import os
import subprocess
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
RESULTS = ROOT / "bench/results"
README = ROOT / "README.md"
MiB = 1024 * 1024
KINDS = ("text", "image", "files")

# Tessary's targets, checked against CopyQ and against itself in the same run.
MEMORY_SHARE_OF_COPYQ = 0.3
MEMORY_OVER_PAYLOAD_MIB = 12
LARGE_SPEEDUP = 20
LARGE_PEAK_SHARE = 1 / 3
TICK_SECONDS = 0.5
HUNG_LIMIT_SECONDS = 2.5


def describe_workload(work, large_size):
    if "idle_copies" in work:
        return {"copies": [(c.kind, c.size) for c in work["idle_copies"]]}
    copies = work["copies"]
    return {
        "copies": [(c.kind, c.size) for c in copies],
        "payload_bytes": sum(c.size for c in copies),
        "large_bytes": work["large"].size,
        "large_pixels": large_size,
    }


def versions():
    def package(name):
        done = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", name], capture_output=True, text=True)
        return done.stdout or "?"

    def git(*args):
        return subprocess.run(["git", "-C", str(ROOT), *args], capture_output=True, text=True).stdout.strip()

    # Only changes to the app's sources matter, not the results this run writes.
    commit = git("rev-parse", "--short", "HEAD") + ("-dirty" if git("status", "--porcelain", "--", "src") else "")
    return {"tessary": commit, **{p: package(p) for p in ("copyq", "parcellite", "diodon", "xclip")}}


def percentile(values, share):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share * len(ordered)) - 1)]


def _mib(kib):
    return kib / 1024


def _memory_cell(memory):
    return "{:.0f} / {:.0f} / **{:.0f}**".format(*(_mib(memory[k]) for k in ("rss", "pss", "private")))


def _processes_cell(names):
    return ", ".join(name + (f" ×{names.count(name)}" if names.count(name) > 1 else "")
                     for name in sorted(set(names)))


def _recorded_cell(result, copies):
    offered = {kind: sum(1 for k, _ in copies if k == kind) for kind in KINDS}
    missed = result["missed"]
    cell = f"{len(copies) - sum(missed.values())} of {len(copies)}"
    lost = [f"{missed[k]} of {offered[k]} {k}" for k in KINDS if missed.get(k)]
    return cell + (f" (missed {', '.join(lost)})" if lost else "")


def _latency_cell(result):
    values = [seconds * 1000 for _, seconds in result["latencies"]]
    if not values:
        return "nothing recorded"
    return f"{percentile(values, 0.5):.0f} / {percentile(values, 0.99):.0f}"


def _idle_cell(result):
    idle = result["idle"]
    return (f"{idle['cpu'] * 1000:.0f} ms CPU, {idle['wakeups']} wakeup{'s' * (idle['wakeups'] != 1)} "
            f"({idle['wakeups'] / idle['seconds']:.1f}/s; {idle['involuntary']} involuntary)")


def _threads_cell(result):
    idle = result["idle"]
    threads = ", ".join(f"{name} {n}" for name, n in idle["threads"]) or "none"
    return threads + (f"; {idle['threads_ended']} threads ended" if idle["threads_ended"] else "")


def _large_cell(result):
    large = result["large"]
    took = _seconds(large["seconds"]) if large["seconds"] is not None else f"not recorded within {large['timeout']} s"
    return f"{took}; peak RSS {_mib(large['peak_rss']):.0f} MiB (+{_mib(large['peak_rss'] - large['rss_before']):.0f})"


def _hung_cell(result):
    hung = result["hung"]
    if hung["seconds"] is None:
        return f"**not recorded** within {hung['timeout']} s"
    return f"recorded after {_seconds(hung['seconds'])}"


def _window_cell(program, result):
    window = result["window"]
    state = "shown and hidden" if window["shown"] and window["hidden"] else (
        "shown, not hidden" if window["shown"] else "**no window appeared**")
    return f"{state}: {program.history_window}"


def table(results, chosen):
    copies = results["workload"]["copies"]
    names = [p.name for p in chosen]
    rows = [("processes counted", lambda p, r: _processes_cell(r["processes"]))]
    if results["mode"] == "full":
        rows += [
            ("memory after start: RSS / PSS / **private** (MiB)", lambda p, r: _memory_cell(r["memory"]["start"])),
            (f"… after the {len(copies)} copies", lambda p, r: _memory_cell(r["memory"]["copies"])),
            ("… after its history window was shown and hidden", lambda p, r: _memory_cell(r["memory"]["shown"])),
            ("… of that private memory, clean pages (MiB)",
             lambda p, r: f"{_mib(r['memory']['shown']['private_clean']):.0f}"),
        ]
    else:
        rows += [("memory after the copies: RSS / PSS / **private** (MiB)",
                  lambda p, r: _memory_cell(r["memory"]["copies"]))]
    rows += [
        ("copies recorded", lambda p, r: _recorded_cell(r, copies)),
        ("capture latency p50 / p99 (ms)", lambda p, r: _latency_cell(r)),
        ("over 60 idle seconds", lambda p, r: _idle_cell(r)),
        ("… wakeups by thread", lambda p, r: _threads_cell(r)),
    ]
    if results["mode"] == "full":
        large_mb = results["workload"]["large_bytes"] / 1e6
        rows += [
            (f"{large_mb:.0f} MB PNG: time to capture; peak RSS (rise)", lambda p, r: _large_cell(r)),
            ("a hung owner, then a copy", lambda p, r: _hung_cell(r)),
            ("history window", _window_cell),
        ]
    rows += [("how an entry is seen to be recorded", lambda p, r: p.exposes)]
    lines = ["| | " + " | ".join(p.label for p in chosen) + " |", "|---" * (len(chosen) + 1) + "|"]
    for title, cell in rows:
        lines.append(f"| {title} | " + " | ".join(cell(p, results["programs"][p.name]) for p in chosen) + " |")
    return "\n".join(lines)


def _verdict(met, text):
    return f"- **{'met' if met else 'MISSED'}**: {text}"


def targets(results):
    """Tessary's targets as met/missed lines with their ratios."""
    programs = results["programs"]
    tessary, copyq = programs.get("tessary"), programs.get("copyq")
    if not tessary:
        return []
    lines = []
    idle = tessary["idle"]
    allowed = idle["seconds"] / TICK_SECONDS
    lines.append(_verdict(idle["wakeups"] <= allowed,
        f"idle wakeups {idle['wakeups']} ({idle['involuntary']} involuntary) in {idle['seconds']} s = "
        f"{idle['wakeups'] / allowed:.2f}× the "
        f"{allowed:.0f} of a {TICK_SECONDS} s tick (target ≤ 1×; CopyQ: "
        + (f"{copyq['idle']['wakeups']})" if copyq else "not run)")))
    if results["mode"] != "full":
        return lines
    private = _mib(tessary["memory"]["shown"]["private"])
    clean = _mib(tessary["memory"]["shown"]["private_clean"])
    dirty = _dirty_mib(tessary)
    if copyq:
        share = private / _mib(copyq["memory"]["shown"]["private"])
        lines.append(_verdict(share <= MEMORY_SHARE_OF_COPYQ,
            f"private memory with the panel closed after one open {private:.1f} MiB = {share:.2f}× CopyQ's "
            f"(target ≤ {MEMORY_SHARE_OF_COPYQ}×); its dirty part alone "
            f"{dirty:.1f} MiB = {dirty / _dirty_mib(copyq):.2f}× CopyQ's"))
    budget = results["workload"]["payload_bytes"] / MiB + MEMORY_OVER_PAYLOAD_MIB
    lines.append(_verdict(private <= budget,
        f"the same {private:.1f} MiB = {private / budget:.2f}× the payload held plus "
        f"{MEMORY_OVER_PAYLOAD_MIB} MiB ({budget:.1f} MiB; target ≤ 1×); {clean:.1f} MiB of it are "
        "clean pages, mostly of libraries no other running process maps, which the kernel drops under "
        f"pressure; the dirty part alone {dirty:.1f} MiB = {dirty / budget:.2f}×"))
    if copyq:
        lines += _large_targets(tessary["large"], copyq["large"])
    hung = tessary["hung"]["seconds"]
    lines.append(_verdict(hung is not None and hung <= HUNG_LIMIT_SECONDS,
        f"after a hung owner the next copy was recorded "
        + (f"in {_seconds(hung)} = {hung / HUNG_LIMIT_SECONDS:.2f}× the {HUNG_LIMIT_SECONDS} s limit" if hung is not None
           else "not at all")))
    return lines


def _dirty_mib(program):
    shown = program["memory"]["shown"]
    return _mib(shown["private"] - shown["private_clean"])


def _rise(large):
    return large["peak_rss"] - large["rss_before"]


def _large_targets(ours, theirs):
    if ours["seconds"] is None:
        return [_verdict(False, "Tessary did not record the large PNG")]
    if theirs["seconds"] is None:
        # CopyQ never recorded it: its time is beyond the wait, the ratio at least this.
        speedup = theirs["timeout"] / ours["seconds"]
        compared = f"CopyQ did not record it within {theirs['timeout']} s: more than {speedup:.0f}×"
    else:
        speedup = theirs["seconds"] / ours["seconds"]
        compared = f"{speedup:.1f}× faster than CopyQ's {theirs['seconds']:.2f} s"
    peak = ours["peak_rss"] / theirs["peak_rss"]
    return [
        _verdict(speedup >= LARGE_SPEEDUP, f"the large PNG captured in {ours['seconds']:.2f} s; "
                 f"{compared} (target ≥ {LARGE_SPEEDUP}×)"),
        _verdict(peak <= LARGE_PEAK_SHARE, f"its peak RSS {_mib(ours['peak_rss']):.0f} MiB = {peak:.2f}× "
                 f"CopyQ's {_mib(theirs['peak_rss']):.0f} MiB (target ≤ {LARGE_PEAK_SHARE:.2f}×); the rise "
                 f"alone {_rise(ours) / _rise(theirs):.2f}× CopyQ's"),
    ]


def _range(sizes):
    low, high = min(sizes) / 1e6, max(sizes) / 1e6
    return f"{low:.1f}" if f"{low:.1f}" == f"{high:.1f}" else f"{low:.1f}–{high:.1f}"


def _seconds(value):
    return f"{value * 1000:.0f} ms" if value < 1 else f"{value:.2f} s"


def notes(results):
    versions = ", ".join(f"{name} {version}" for name, version in results["versions"].items())
    workload = results["workload"]
    kinds = {kind: [size for k, size in workload["copies"] if k == kind] for kind in KINDS}
    described = ", ".join(
        f"{len(sizes)} {kind} ({_range(sizes)} MB)" if kind == "image"
        else f"{len(sizes)} {kind}" for kind, sizes in kinds.items() if sizes)
    lines = [
        f"Run {results['date']}, {results['minutes']:.1f} minutes; load average "
        f"{' '.join(results['load_before'])} before, {' '.join(results['load_after'])} after "
        f"(on {os.cpu_count()} cores). Versions: {versions}.",
        f"Copies, one after the other through xclip: {described}",
    ]
    if "payload_bytes" in workload:
        width, height = workload["large_pixels"]
        lines[-1] += (f"; they hold {workload['payload_bytes'] / MiB:.1f} MiB. The large PNG is "
                      f"{workload['large_bytes'] / 1e6:.1f} MB, {width}×{height}.")
    return lines


def chart(results, chosen, output):
    with tempfile.TemporaryDirectory() as data:
        total = len(results["workload"]["copies"])
        for program in chosen:
            values = sorted(s * 1000 for _, s in results["programs"][program.name]["latencies"])
            lines = [f"{ms:.2f} {(i + 1) / total:.4f}" for i, ms in enumerate(values)]
            Path(data, f"latency-{program.name}.dat").write_text("\n".join(lines or ["nan nan"]) + "\n")
        memory = [f"{p.label} " + " ".join(
            f"{_mib(results['programs'][p.name]['memory'][point][kind]):.1f}"
            for kind in ("private", "rss") for point in ("start", "copies", "shown")) for p in chosen]
        Path(data, "memory.dat").write_text("\n".join(memory) + "\n")
        subprocess.run(["gnuplot", "-e",
                        f"data='{data}'; output='{output}'; "
                        f"programs='{' '.join(p.name for p in chosen)}'; "
                        f"labels='{' '.join(p.label for p in chosen)}'; copies={total}; "
                        f"title='{results['date']}, load average {' '.join(results['load_before'])}'",
                        str(HERE / "chart.gp")], check=True)


def render(results, chosen):
    """The table, Tessary's targets and the run's circumstances, as Markdown."""
    body = [table(results, chosen), ""]
    checked = targets(results)
    if checked:
        body += ["Tessary's targets, in the same run:", "", *checked, ""]
    body += notes(results)
    return "\n".join(body) + "\n"


def write(results, chosen, update_readme):
    text = render(results, chosen)
    print("\n" + text)
    if not update_readme:
        return
    RESULTS.mkdir(exist_ok=True)
    name = "idle" if results["mode"] == "idle" else "compare"
    heading = ("# Idle cost: Tessary and CopyQ\n\n`bench/compare/run --idle`\n\n" if name == "idle"
               else "# Tessary side by side with CopyQ, Parcellite and Diodon\n\n`bench/compare/run`\n\n"
                    "![Latency and memory](compare.png)\n\n")
    (RESULTS / f"{name}.md").write_text(heading + text)
    (RESULTS / f"{name}.json").write_text(json.dumps(results, indent=1, ensure_ascii=False) + "\n")
    if name == "compare":
        chart(results, chosen, RESULTS / "compare.png")
        _update_readme(text)


def _update_readme(text):
    begin, end = "<!-- bench/compare: begin -->", "<!-- bench/compare: end -->"
    readme = README.read_text()
    if begin in readme and end in readme:
        head, rest = readme.split(begin, 1)
        README.write_text(head + begin + "\n" + text + end + rest.split(end, 1)[1])
