"""plughost bench and plot on the built plug-in."""

import re
import xml.etree.ElementTree as ElementTree

from support import ZANDREL, ToolTest, run

SVG = "{http://www.w3.org/2000/svg}"


class Bench(ToolTest):
    def test_reports_a_timing_row_per_block_size(self):
        out = self.assertRan(run("bench", ZANDREL, "--seconds", "0.05", "--runs", "3", "--warmup", "1")).stdout
        rows = [line.split() for line in out.splitlines() if re.match(r"\s+\d+\s", line)]
        self.assertEqual([int(r[0]) for r in rows], [32, 64, 512, 4096])
        for block, minimum, median, per_sample, realtime in rows:
            with self.subTest(block=block):
                self.assertGreater(float(minimum), 0)
                self.assertLessEqual(float(minimum), float(median))
                self.assertGreater(float(per_sample), 0)
                self.assertGreater(float(realtime), 1, "a bit operation per sample runs faster than real time")


class Plot(ToolTest):
    def panels(self, path):
        """Title and the curve in signal units, for each panel of the picture."""
        root = ElementTree.parse(path).getroot()
        elements = list(root)
        panels = []
        for i, element in enumerate(elements):
            if element.tag == SVG + "text" and element.get("font-weight") == "bold":
                frame = elements[i + 1]
                left, top, size = (float(frame.get(k)) for k in ("x", "y", "width"))
                # The top y tick label is the output range: the first right-aligned text after the frame.
                ticks = [e for e in elements[i + 1:] if e.tag == SVG + "text" and e.get("text-anchor") == "end"]
                top_value = max(float(t.text) for t in ticks[:5])
                vertices = []
                for e in elements[i + 1:]:
                    if e.tag == SVG + "text" and e.get("font-weight") == "bold":
                        break
                    if e.tag == SVG + "polyline":
                        pairs = (p.split(",") for p in e.get("points").split())
                        vertices += [((float(x) - left) / size * 2 - 1,
                                      top_value - (float(y) - top) / size * 2 * top_value) for x, y in pairs]
                panels.append((element.text, vertices))
        return panels

    @staticmethod
    def along(vertices, steps=50):
        """Points on the drawn line, not only its corners."""
        for (x0, y0), (x1, y1) in zip(vertices, vertices[1:]):
            for k in range(steps + 1):
                yield x0 + (x1 - x0) * k / steps, y0 + (y1 - y0) * k / steps

    def test_one_panel_per_program_each_showing_its_curve(self):
        self.assertRan(run("plot", ZANDREL, self.path("programs.svg"), "--programs"))
        panels = self.panels(self.path("programs.svg"))
        self.assertEqual([title for title, _ in panels],
                         ["0: Zandrel", "1: Inverter", "2: +ve Rectifier", "3: -ve Rectifier", "4: -6 dB"])
        expected = {
            "0: Zandrel": lambda x: x,
            "1: Inverter": lambda x: -x,
            "2: +ve Rectifier": lambda x: x if x >= 0 else x + 1,
            "3: -ve Rectifier": lambda x: x if x < 0 else x - 1,
            "4: -6 dB": lambda x: x / 2,
        }
        for title, vertices in panels:
            with self.subTest(title=title):
                # Away from the jumps at 0 and at +1 (where +1.0 wraps to -32768), the drawn line is the curve.
                inner = [(x, y) for x, y in self.along(vertices) if 0.02 < abs(x) < 0.98]
                self.assertGreater(len(inner), 0)
                for x, y in inner:
                    self.assertAlmostEqual(y, expected[title](x), delta=0.02, msg=f"at {x}")

    def test_bit_structure_shows_and_the_file_stays_small(self):
        # XOR with the mask 0x199B (parameter 0 at 0.6), wet only: a staircase of many steps.
        self.assertRan(run("plot", ZANDREL, self.path("xor.svg"), "--param", "0=0.6", "--param", "1=0",
                           "--param", "2=1"))
        (title, points), = self.panels(self.path("xor.svg"))
        self.assertIn("changed", title)
        turns = sum(1 for a, b, c in zip(points, points[1:], points[2:]) if (b[1] - a[1]) * (c[1] - b[1]) < 0)
        self.assertGreater(turns, 30, "the steps of the mask's bits are drawn")
        with open(self.path("xor.svg"), "rb") as f:
            self.assertLess(len(f.read()), 64 * 1024)
