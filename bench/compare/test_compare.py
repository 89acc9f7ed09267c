"""Checks that the comparison measures what it claims: the copies it makes are what they say, and
Tessary, driven the way the benchmark drives every program, is seen to record each copy."""

import struct
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

import compare
import procstats
import programs
import workload
from desktop import Desktop, wait_until


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


class TessaryDrivenLikeAPeerTest(unittest.TestCase):
    """The benchmark learns of each entry from Tessary's log; a silent change to it would leave
    every latency unmeasured."""

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
