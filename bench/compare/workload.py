"""The copies every program is given, made the same on every run: texts of many sizes and
scripts, photo-like PNGs that do not compress much, and lists of files."""

import math
import random
import struct
import zlib
from dataclasses import dataclass
from pathlib import Path

MB = 1_000_000
WORDS = (
    "clipboard history panel window copy paste entry image file text card preview the of and "
    "to in is that for it with as was on be at by this have from or one had word but not what "
    "all were when we there can an your which their said if do will each about how up out them"
).split()
SCRIPTS = ("Grüße aus Köln", "naïve café", "東京の天気", "Привет, мир", "😀 👍 ✨", "سلام")
TEXT_SIZES = (12, 60, 200, 900, 3_000, 12_000, 40_000)


@dataclass
class Copy:
    kind: str  # "text", "image" or "files"
    path: Path
    target: str  # the type xclip offers

    @property
    def size(self):
        return self.path.stat().st_size


def _text(rnd, index, size):
    words, length = [], 0
    while length < size:
        words.append(rnd.choice(WORDS))
        length += len(words[-1]) + 1
    text = f"copy {index}: " + " ".join(words)
    if index % 3 == 0:
        text += " " + rnd.choice(SCRIPTS)
    if index % 4 == 1:
        text = f"https://example.org/{index}/{'/'.join(words[:3])}?q={index}\n" + text
    return text


def write_png(path, target_bytes, seed):
    """A 4:3 RGB image of smooth bands overlaid with 6-bit noise: deflate cannot shrink it much
    (to about three quarters), as with a photo, so the file is about `target_bytes`."""
    raw_bytes = target_bytes / 0.757
    height = int(math.sqrt(raw_bytes / 3 / (4 / 3)))
    width = int(height * 4 / 3)
    rnd = random.Random(seed)
    tables = {}
    compressor = zlib.compressobj(6)
    parts = []
    for y in range(height):
        band = int(100 + 60 * math.sin(seed + 6 * y / height))
        if band not in tables:
            tables[band] = bytes(min(255, band + (n >> 2)) for n in range(256))
        parts.append(compressor.compress(b"\0" + rnd.randbytes(width * 3).translate(tables[band])))
    parts.append(compressor.flush())

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    path.write_bytes(
        b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", b"".join(parts)) + chunk(b"IEND", b"")
    )
    return width, height


def _file_list(directory, rnd, index):
    files = []
    for n in range(1 + index // 5 % 5):
        file = directory / f"document {index}-{n}.txt"
        file.write_text(" ".join(rnd.choice(WORDS) for _ in range(20)))
        files.append(file.as_uri())
    return "\r\n".join(files) + "\r\n"


def _copy_of(directory, kind, index, rnd, png_bytes=0):
    if kind == "image":
        path = directory / f"copy-{index}.png"
        write_png(path, png_bytes, seed=index)
        return Copy("image", path, "image/png")
    if kind == "files":
        path = directory / f"copy-{index}.uris"
        path.write_text(_file_list(directory, rnd, index))
        return Copy("files", path, "text/uri-list")
    path = directory / f"copy-{index}.txt"
    path.write_text(_text(rnd, index, TEXT_SIZES[index % len(TEXT_SIZES)]))
    return Copy("text", path, "UTF8_STRING")


def mixed_copies(directory, count=50):
    """Every fifth copy, starting at the third, an image of 2 to 5 MB; every fifth, starting at
    the fifth, a list of files; texts between."""
    rnd = random.Random(16)
    images = count // 5
    copies = []
    for index in range(count):
        kind = {2: "image", 4: "files"}.get(index % 5, "text")
        png_bytes = int((2 + 3 * (index // 5) / max(1, images - 1)) * MB)
        copies.append(_copy_of(directory, kind, index, rnd, png_bytes))
    return copies


def idle_copies(directory):
    rnd = random.Random(18)
    return [_copy_of(directory, kind, i, rnd, 2 * MB) for i, kind in enumerate(("text", "image", "files"))]


def single_text(directory, name, text):
    path = directory / f"{name}.txt"
    path.write_text(text)
    return Copy("text", path, "UTF8_STRING")


def large_image(directory):
    path = directory / "large.png"
    width, height = write_png(path, 36 * MB, seed=36)
    return Copy("image", path, "image/png"), (width, height)
