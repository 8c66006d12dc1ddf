"""What the end-to-end tests of plughost share: the paths under test, running
the tool, a WAV reader and writer of our own (so the expected outputs do not
go through libsndfile), and a sample-by-sample model of the factory programs."""

import math
import os
import struct
import subprocess
import tempfile
import unittest

PLUGHOST = os.environ["PLUGHOST"]
ZANDREL = os.environ["ZANDREL_PLUGIN"]
FIXTURES = os.environ.get("FIXTURE_DIR", "")


def fixture(kind):
    return os.path.join(FIXTURES, f"fixture_{kind}.so")


def run(*args, env=None):
    """plughost with these arguments; the completed process, text decoded."""
    full_env = dict(os.environ, **(env or {}))
    return subprocess.run([PLUGHOST, *map(str, args)], capture_output=True, text=True, env=full_env, timeout=300)


class ToolTest(unittest.TestCase):
    """A fresh folder per test; helpers that check how a run ended."""

    def setUp(self):
        self._folder = tempfile.TemporaryDirectory(prefix="plughost-test-")
        self.folder = self._folder.name

    def tearDown(self):
        self._folder.cleanup()

    def path(self, name):
        return os.path.join(self.folder, name)

    def assertRan(self, result):
        self.assertEqual(result.returncode, 0, f"stdout: {result.stdout}\nstderr: {result.stderr}")
        return result

    def assertFailedWith(self, result, code, message):
        self.assertEqual(result.returncode, code, result.stderr)
        lines = result.stderr.splitlines()
        self.assertEqual(len(lines), 1, f"one line of error expected: {result.stderr!r}")
        self.assertTrue(lines[0].startswith("plughost: "), lines[0])
        self.assertIn(message, lines[0])

    def assertFolderHolds(self, *names):
        """Nothing else, in particular no temporary file left behind."""
        self.assertEqual(sorted(os.listdir(self.folder)), sorted(names))


# WAV files: PCM 16 and 24 bits and 32-bit float, any number of channels.

def write_wav(path, frames, rate=44100, encoding="float"):
    """frames: a list of tuples, one value per channel (floats, or ints for PCM)."""
    channels = len(frames[0])
    bits, tag, pack = {"pcm16": (16, 1, "<h"), "pcm24": (24, 1, None), "float": (32, 3, "<f")}[encoding]
    data = bytearray()
    for frame in frames:
        for value in frame:
            data += value.to_bytes(3, "little", signed=True) if bits == 24 else struct.pack(pack, value)
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read_wav(path):
    """(rate, encoding, frames) with PCM as ints and float as floats."""
    with open(path, "rb") as f:
        raw = f.read()
    assert raw[:4] == b"RIFF" and raw[8:12] == b"WAVE", f"{path} is not a WAV file"
    position, fmt, data = 12, None, None
    while position + 8 <= len(raw):
        kind, size = raw[position:position + 4], struct.unpack("<I", raw[position + 4:position + 8])[0]
        body = raw[position + 8:position + 8 + size]
        if kind == b"fmt ":
            fmt = body
        elif kind == b"data":
            data = body
        position += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = struct.unpack("<HHIIHH", fmt[:16])
    if tag == 0xFFFE:  # the extensible form names the real tag in its sub-format
        tag = struct.unpack("<H", fmt[24:26])[0]
    width = bits // 8
    values = []
    for i in range(0, len(data), width):
        chunk = data[i:i + width]
        if tag == 3 and bits == 32:
            values.append(struct.unpack("<f", chunk)[0])
        elif tag == 1:
            values.append(int.from_bytes(chunk, "little", signed=bits > 8))
        else:
            raise ValueError(f"{path}: format tag {tag} with {bits} bits")
    encoding = {(1, 16): "pcm16", (1, 24): "pcm24", (3, 32): "float"}.get((tag, bits), f"tag{tag}/{bits}")
    frames = [tuple(values[i:i + channels]) for i in range(0, len(values), channels)]
    return rate, encoding, frames


def to_float32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def float32_bits(x):
    return struct.pack("<f", x)


# The factory programs, one sample at a time, written from their description:
# the sample as a 16-bit integer, one bit operation, wet only.

def sample_integer(x):
    """x times 32768, cut toward zero, kept to 16 bits as a signed value."""
    if not math.isfinite(x) or abs(x) >= 2 ** 24:
        return 0
    n = int(x * 32768.0)
    return (n + 32768) % 65536 - 32768


def signed16(u):
    u &= 0xFFFF
    return u - 65536 if u >= 32768 else u


PROGRAM_OPERATIONS = {
    1: lambda s: signed16(s ^ 0xFFFF),         # Inverter
    2: lambda s: signed16(s & 0x7FFF),         # +ve Rectifier
    3: lambda s: signed16(s | 0x8000),         # -ve Rectifier
    4: lambda s: s >> 1,                       # -6 dB: Python's >> keeps the sign
}


def wet_integer(program, x):
    """The bit operation's result v for input x, the zero gate included."""
    if x == 0 or math.isnan(x):
        return 0
    return PROGRAM_OPERATIONS[program](sample_integer(x))


def wet_program(program, x):
    """The output of a wet-only factory program: wet 1, dry 0, master 1. The dry
    path still multiplies, so an infinite input gives NaN."""
    if x == 0 or math.isnan(x):
        return 0.0
    return to_float32((wet_integer(program, x) * 2 ** -15 * 1.0 + 0.0 * x) * 1.0)
