"""plughost on a third-party Linux plug-in from Debian's packages, as a black
box: a flat three-band equaliser (dpf-plugins-vst) leaves a signal as it was."""

import json
import math
import os
import sys
import unittest

from support import ToolTest, read_wav, run, write_wav

THIRD_PARTY = os.environ.get("THIRD_PARTY_PLUGIN", "/usr/lib/vst/3BandEQ-vst.so")
SKIP = 77  # CTest's SKIP_RETURN_CODE for this test


class ThirdParty(ToolTest):
    def test_info_and_render_give_sane_results(self):
        document = json.loads(self.assertRan(run("info", THIRD_PARTY, "--json")).stdout)
        self.assertEqual(document["magic"]["text"], "VstP")
        self.assertEqual((document["numInputs"], document["numOutputs"]), (2, 2))
        self.assertGreater(document["numParams"], 0)
        self.assertTrue(all(p["name"].strip() for p in document["parameters"]), "every parameter has a name")
        self.assertTrue(all(0.0 <= p["value"] <= 1.0 for p in document["parameters"]))

        frames = [(0.5 * math.sin(2 * math.pi * 440 * i / 44100), 0.25 * math.sin(2 * math.pi * 1000 * i / 44100))
                  for i in range(44100)]
        write_wav(self.path("in.wav"), frames)
        self.assertRan(run("render", THIRD_PARTY, self.path("in.wav"), self.path("out.wav"), "--random-blocks", "5"))
        rate, encoding, got = read_wav(self.path("out.wav"))
        self.assertEqual((rate, encoding, len(got)), (44100, "float", len(frames)))
        for channel in (0, 1):
            with self.subTest(channel=channel):
                samples = [f[channel] for f in got]
                self.assertTrue(all(math.isfinite(s) for s in samples))
                rms_in = math.sqrt(sum(f[channel] ** 2 for f in frames) / len(frames))
                rms_out = math.sqrt(sum(s * s for s in samples) / len(samples))
                self.assertAlmostEqual(rms_out / rms_in, 1.0, delta=0.1, msg="a flat equaliser keeps the level")


if __name__ == "__main__":
    if not os.path.exists(THIRD_PARTY):
        print(f"skipped: {THIRD_PARTY} is not installed (scripts/setup.sh installs dpf-plugins-vst)")
        sys.exit(SKIP)
    unittest.main()
