#!/usr/bin/env python3
"""Checks the committed pictures and sound against what the program needs,
and that the generators still reproduce them exactly.

    python3 tools/assets/test_assets.py
"""

import os
import shutil
import struct
import sys
import tempfile
import unittest
import wave
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True

import chime  # noqa: E402
import common  # noqa: E402
import decorations  # noqa: E402
import icon  # noqa: E402
import splash  # noqa: E402


def image(name):
    return common.read_png(os.path.join(common.IMAGES, name))


def luminance(rows, channels, x0, y0, x1, y1):
    vals = []
    for y in range(y0, y1):
        row = rows[y]
        for x in range(x0, x1):
            r, g, b = row[x * channels:x * channels + 3]
            vals.append(0.299 * r + 0.587 * g + 0.114 * b)
    return vals


class SplashTest(unittest.TestCase):
    def test_sizes_and_no_alpha(self):
        for name, scale in (("splash.png", 1), ("splash@2x.png", 2)):
            w, h, channels, _ = image(name)
            self.assertEqual((w, h, channels), (325 * scale, 227 * scale, 3), name)

    def test_version_corner_is_plain_and_dark(self):
        # The program writes a light version label there; it must stay legible.
        for name, scale in (("splash.png", 1), ("splash@2x.png", 2)):
            _, _, channels, rows = image(name)
            x0, y0, x1, y1 = (v * scale for v in splash.VERSION_BOX)
            # Stay inside the frame line that runs round the picture.
            lum = luminance(rows, channels, x0, y0, x1 - 8 * scale, y1 - 8 * scale)
            self.assertLess(max(lum) - min(lum), 12, name)
            self.assertLess(max(lum), 60, name)


class DecorationTest(unittest.TestCase):
    def test_eleven_transparent_ornaments_at_both_scales(self):
        self.assertEqual(len(decorations.ORNAMENTS), 11)
        for n in range(1, 12):
            for suffix, size in (("", 17), ("@2x", 34)):
                name = f"deco{n:02d}{suffix}.png"
                w, h, channels, rows = image(name)
                self.assertEqual((w, h, channels), (size, size, 4), name)
                corners = [rows[y][x * 4 + 3] for x in (0, size - 1) for y in (0, size - 1)]
                self.assertEqual(corners, [0, 0, 0, 0], name)
                opaque = sum(1 for row in rows for a in row[3::4] if a > 128)
                self.assertGreater(opaque, size * size // 5, name)

    def test_2x_matches_1x_shape(self):
        # Same drawing at both scales: alpha coverage averaged over 2x2 blocks
        # stays close to the 1x coverage.
        for n in range(1, 12):
            _, _, _, small = image(f"deco{n:02d}.png")
            _, _, _, large = image(f"deco{n:02d}@2x.png")
            diff = 0
            for y in range(17):
                for x in range(17):
                    a2 = sum(large[2 * y + dy][(2 * x + dx) * 4 + 3] for dy in (0, 1) for dx in (0, 1)) / 4
                    diff += abs(a2 - small[y][x * 4 + 3])
            self.assertLess(diff / (17 * 17), 12, f"deco{n:02d}")


class IconTest(unittest.TestCase):
    def test_png_sizes(self):
        for size in icon.SIZES:
            w, h, channels, rows = image(f"torvela-{size}.png")
            self.assertEqual((w, h, channels), (size, size, 4))
            # Opaque tile in the middle, rounded (transparent) corner.
            self.assertEqual(rows[size // 2][(size // 2) * 4 + 3], 255)
            self.assertLess(rows[0][3], 64)

    def test_svg_master(self):
        root = ET.parse(os.path.join(common.IMAGES, "torvela.svg")).getroot()
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        self.assertEqual(root.get("viewBox"), "0 0 256 256")


class ChimeTest(unittest.TestCase):
    def setUp(self):
        with wave.open(os.path.join(common.SOUNDS, "notify.wav"), "rb") as w:
            self.params = w.getparams()
            n = w.getnframes()
            self.data = struct.unpack(f"<{n}h", w.readframes(n))

    def test_format(self):
        p = self.params
        self.assertEqual((p.nchannels, p.sampwidth, p.framerate, p.comptype), (1, 2, 44100, "NONE"))
        self.assertLessEqual(p.nframes / p.framerate, 0.6)

    def test_soft_edges_and_modest_level(self):
        d, rate = self.data, self.params.framerate
        self.assertEqual((d[0], d[-1]), (0, 0))
        peak = max(abs(v) for v in d)
        self.assertTrue(32767 * 0.125 < peak < 32767 * 0.5, peak)  # -18 .. -6 dBFS
        # No click: the first and last millisecond stay far below the peak.
        ms = rate // 1000
        self.assertLess(max(abs(v) for v in d[:ms]), peak / 10)
        self.assertLess(max(abs(v) for v in d[-ms:]), peak / 100)


@unittest.skipIf(shutil.which("rsvg-convert") is None, "rsvg-convert not installed")
class ReproducibleTest(unittest.TestCase):
    def test_generators_reproduce_committed_files(self):
        images, sounds = common.IMAGES, common.SOUNDS
        with tempfile.TemporaryDirectory() as tmp:
            common.IMAGES = common.SOUNDS = tmp
            try:
                for make in (splash.make, decorations.make, icon.make, chime.make):
                    make()
            finally:
                common.IMAGES, common.SOUNDS = images, sounds
            for name in sorted(os.listdir(tmp)):
                committed = os.path.join(sounds if name.endswith(".wav") else images, name)
                with open(os.path.join(tmp, name), "rb") as a, open(committed, "rb") as b:
                    self.assertEqual(a.read(), b.read(), f"{name} is stale: rerun make_assets.py")


if __name__ == "__main__":
    unittest.main()
