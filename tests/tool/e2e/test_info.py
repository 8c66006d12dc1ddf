"""plughost info on the built plug-in, as text and as JSON."""

import json

from support import ZANDREL, ToolTest, run

PARAMETER_NAMES = [" Bitstream", "  Dry Mix", "  Wet Mix", " Operator", " 0-Correct", " 1-Stream", "  Master"]
PROGRAM_NAMES = ["Zandrel", "Inverter", "+ve Rectifier", "-ve Rectifier", "-6 dB"]


class Info(ToolTest):
    def test_json_describes_the_record_parameters_and_programs(self):
        document = json.loads(self.assertRan(run("info", ZANDREL, "--json")).stdout)
        self.assertEqual(document["magic"], {"text": "VstP", "hex": "0x56737450", "value": 0x56737450})
        self.assertEqual(document["uniqueID"]["text"], "QR58")
        self.assertEqual(document["uniqueID"]["hex"], "0x51523538")
        counts = {k: document[k] for k in ("numPrograms", "numParams", "numInputs", "numOutputs")}
        self.assertEqual(counts, {"numPrograms": 5, "numParams": 7, "numInputs": 2, "numOutputs": 2})
        self.assertEqual(document["flags"]["names"], ["canMono", "canReplacing"])
        self.assertEqual(document["flags"]["value"], 0x18)
        self.assertEqual(document["vstVersion"], 2)
        self.assertEqual(set(document["canDo"].values()), {0}, "the plug-in answers 0 to every capability")
        self.assertEqual(document["currentProgram"], 0)
        # Texts keep their padding: they are what a host shows.
        self.assertEqual([p["name"] for p in document["parameters"]], PARAMETER_NAMES)
        self.assertEqual([p["index"] for p in document["parameters"]], list(range(7)))
        by_name = {p["name"].strip(): p for p in document["parameters"]}
        self.assertEqual(by_name["Dry Mix"]["value"], 1.0)
        self.assertEqual(by_name["Dry Mix"]["label"], "   dB")
        self.assertEqual(by_name["Wet Mix"]["display"], "  -oo   ")
        self.assertEqual(by_name["Operator"]["display"], "      XOR")
        self.assertEqual([p["name"] for p in document["programs"]], PROGRAM_NAMES)

    def test_text_shows_the_same_in_lines_a_person_reads(self):
        out = self.assertRan(run("info", ZANDREL)).stdout
        for expected in ("VstP (0x56737450)", "QR58 (0x51523538)", "2 in, 2 out", "canMono canReplacing",
                         "parameters (7)", "programs (5, current 0)", "Bitstream", "-ve Rectifier", "-6 dB"):
            self.assertIn(expected, out)
