"""Checks that the comparison measures what it claims: the copies it makes are what they say, and
Tessary, driven the way the benchmark drives every program, is seen to record each copy."""

import copy
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

import compare
import procstats
import programs
import report
import workload
from desktop import Desktop, wait_until

MiB = 1024 * 1024


def png_chunks(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    position, chunks = 8, []
    while position < len(data):
        (length,) = struct.unpack(">I", data[position : position + 4])
        kind = data[position + 4 : position + 8]
        body = data[position + 8 : position + 8 + length]
        (crc,) = struct.unpack(">I", data[position + 8 + length : position + 12 + length])
        assert crc == zlib.crc32(kind + body), kind
        chunks.append((kind, body))
        position += 12 + length
    return chunks


class CopiesTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.directory = Path(self.scratch.name)

    def tearDown(self):
        self.scratch.cleanup()

    def _copies_in(self, name):
        (self.directory / name).mkdir()
        return workload.mixed_copies(self.directory / name, count=10)

    def test_images_are_valid_pngs_of_the_size_asked_that_barely_compress(self):
        path = self.directory / "image.png"
        width, height = workload.write_png(path, 1_500_000, seed=3)
        chunks = dict(png_chunks(path.read_bytes()))
        self.assertEqual(struct.unpack(">II", chunks[b"IHDR"][:8]), (width, height))
        pixels = zlib.decompress(chunks[b"IDAT"])
        self.assertEqual(len(pixels), height * (1 + 3 * width))
        self.assertAlmostEqual(path.stat().st_size / 1_500_000, 1, delta=0.05)
        self.assertGreater(path.stat().st_size / len(pixels), 0.6)

    def test_every_run_makes_the_same_mix_of_copies(self):
        first, second = (self._copies_in(name) for name in "ab")
        self.assertEqual([c.kind for c in first], ["text", "text", "image", "text", "files"] * 2)
        for one, other in zip(first, second):
            if one.kind != "files":  # lists name files in their own directory
                self.assertEqual(one.path.read_bytes(), other.path.read_bytes())
        self.assertTrue(all(c.size > 0 for c in first))


class ProcStatsTest(unittest.TestCase):
    """The sampler, checked on a program whose costs are known: it holds 24 MiB, briefly takes
    48 MiB more, has a thread that sleeps 20 times and one that ends, and starts a child."""

    PROGRAM = """
import subprocess, sys, threading, time
held = bytearray(b"\\1") * (24 << 20)
go, slept = threading.Event(), threading.Event()
def napper():
    go.wait()
    for _ in range(20):
        time.sleep(0.01)
    slept.set()
    threading.Event().wait()
threading.Thread(target=napper, daemon=True).start()
short = threading.Thread(target=go.wait)
short.start()
child = subprocess.Popen(["sleep", "60"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print("ready", flush=True)
sys.stdin.readline()
go.set()
burst = bytearray(b"\\1") * (48 << 20)
del burst
short.join()
slept.wait()
print("done", flush=True)
sys.stdin.readline()
"""

    def test_memory_peaks_wakeups_and_children_of_a_marked_program(self):
        marker = f"sampler-{os.getpid()}"
        with subprocess.Popen([sys.executable, "-c", self.PROGRAM], text=True,
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              env={**os.environ, "BENCH_PROGRAM": marker}) as program:
            try:
                self._measure(program, marker)
            finally:
                compare.stop(procstats.processes(marker))

    def _measure(self, program, marker):
        self.assertEqual(program.stdout.readline(), "ready\n")
        pids = procstats.processes(marker)
        self.assertEqual(sorted(procstats.names(pids)), sorted([Path(sys.executable).name, "sleep"]))
        self.assertIn(program.pid, pids)
        held = procstats.memory(pids)
        self.assertGreater(held["private"] * 1024, 24 * MiB)

        procstats.reset_peaks(pids)
        before = procstats.activity(pids)
        program.stdin.write("go\n")
        program.stdin.flush()
        self.assertEqual(program.stdout.readline(), "done\n")
        between = procstats.activity_between(before, procstats.activity(pids))

        self.assertGreater((procstats.peak_rss(pids) - held["rss"]) * 1024, 40 * MiB)
        # Python 3.11 leaves its threads' names as the process's: the napper is the busiest.
        self.assertGreaterEqual(between["threads"][0][1], 20)
        self.assertEqual(between["threads_ended"], 1)
        self.assertGreater(between["cpu"], 0)


def measured(**changes):
    """A program's measurements, with `changes` given as "key.key": value."""
    memory = {"rss": 100 * 1024, "pss": 80 * 1024, "private": 60 * 1024, "private_clean": 9 * 1024}
    result = {
        "memory": {"start": memory, "copies": memory, "shown": memory},
        "latencies": [("text", 0.2), ("image", 0.4)], "missed": {},
        "window": {"shown": True, "hidden": True},
        "idle": {"seconds": 60, "cpu": 0.01, "wakeups": 2, "involuntary": 0,
                 "threads": [("main", 2)], "threads_ended": 0},
        "large": {"seconds": 0.3, "peak_rss": 120 * 1024, "rss_before": 90 * 1024, "timeout": 30},
        "hung": {"seconds": 0.4, "timeout": 40}, "processes": ["main"],
    }
    result = copy.deepcopy(result)
    for path, value in changes.items():
        *parents, key = path.split(".")
        target = result
        for parent in parents:
            target = target[parent]
        target[key] = value
    return result


class ReportTest(unittest.TestCase):
    """The report comes at the end of a long run: every outcome must render, and a missing
    measurement never meets a target."""

    def render(self, tessary, copyq):
        results = {
            "mode": "full", "date": "today", "load_before": ["1", "1", "1"],
            "load_after": ["1", "1", "1"], "minutes": 10, "versions": {"tessary": "1"},
            "workload": {"copies": [("text", 10), ("image", 2_000_000)], "payload_bytes": 2_000_010,
                         "large_bytes": 36_000_000, "large_pixels": (4000, 3000)},
            "programs": {"tessary": tessary, "copyq": copyq},
        }
        return report.render(results, [programs.Tessary(), programs.CopyQ()])

    def test_outcomes_and_verdicts(self):
        slow_copyq = measured(**{"large.seconds": 9.0, "large.peak_rss": 400 * 1024,
                                 "memory.shown.private": 300 * 1024})
        cases = [
            ("all met", measured(**{"memory.shown.private": 12 * 1024}), slow_copyq,
             ["**met**: the large PNG captured in 0.30 s; 30.0× faster", "**met**: its peak RSS"],
             "MISSED"),
            ("CopyQ never records the large PNG", measured(), measured(**{"large.seconds": None}),
             ["did not record it within 30 s: more than 100×", "not recorded within 30 s"], None),
            ("Tessary records neither the large PNG nor the copy after a hung owner",
             measured(**{"large.seconds": None, "hung.seconds": None}), slow_copyq,
             ["**MISSED**: Tessary did not record the large PNG",
              "**MISSED**: after a hung owner the next copy was recorded not at all"], None),
            ("nothing recorded, no window", measured(**{"latencies": [], "window.shown": False}),
             measured(**{"missed": {"image": 1}}),
             ["nothing recorded", "**no window appeared**", "1 of 2 (missed 1 of 1 image)"], None),
            ("wakeups beyond the tick", measured(**{"idle.wakeups": 121}), slow_copyq,
             ["**MISSED**: idle wakeups 121"], None),
        ]
        for name, tessary, copyq, expected, absent in cases:
            with self.subTest(name):
                text = self.render(tessary, copyq)
                for part in expected:
                    self.assertIn(part, text)
                if absent:
                    self.assertNotIn(absent, text)


class TessaryDrivenLikeAPeerTest(unittest.TestCase):
    """The benchmark learns of each entry from Tessary's log; a silent change to it would leave
    every latency unmeasured."""

    def setUp(self):
        # Time limits of a benchmark, not of this test: a loaded machine may be slow.
        timeouts = {"COPY_TIMEOUT": 30, "WINDOW_TIMEOUT": 30}
        self.addCleanup(vars(compare).update, {name: getattr(compare, name) for name in timeouts})
        vars(compare).update(timeouts)

    def test_each_copy_is_seen_recorded_and_the_history_window_shows_and_hides(self):
        scratch_directory = tempfile.TemporaryDirectory()
        self.addCleanup(scratch_directory.cleanup)
        scratch = Path(scratch_directory.name)
        (scratch / "copies").mkdir()
        copies = workload.idle_copies(scratch / "copies")
        tessary = programs.Tessary()
        desktop = Desktop(scratch, tessary.name)
        try:
            log = desktop.root / "program.log"
            with open(log, "wb") as out:
                desktop.start(tessary.command, out, tessary.env)
            self.assertTrue(wait_until(lambda: tessary.ready(desktop), 30, step=0.2))
            pids = procstats.processes(tessary.name)
            self.assertEqual(procstats.names(pids), ["tessary"])
            self.assertGreater(procstats.memory(pids)["private"], 0)
            with tessary.observer(desktop, log) as seen:
                latencies, missed = compare.copy_each(desktop, seen, copies)
                after_hung = compare.after_hung_owner(
                    desktop, seen, workload.single_text(scratch / "copies", "after", "after")
                )
            self.assertEqual(missed, {})
            self.assertEqual([kind for kind, _ in latencies], ["text", "image", "files"])
            self.assertTrue(all(seconds > 0 for _, seconds in latencies))
            self.assertIsNotNone(after_hung["seconds"])
            self.assertEqual(compare.show_and_hide(tessary, desktop), {"shown": True, "hidden": True})
        finally:
            compare.stop(procstats.processes(tessary.name))
            compare.stop(procstats.bus_processes(tessary.name))
            desktop.close()


if __name__ == "__main__":
    sys.exit(unittest.main())
