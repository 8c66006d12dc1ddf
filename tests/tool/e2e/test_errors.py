"""Every failure ends with one line on stderr and the exit code --help names."""

import os

from support import ZANDREL, ToolTest, fixture, run, write_wav

BAD_OPTION, MISSING, NOT_PLUGIN, ENTRY_NULL, BAD_MAGIC, LAYOUT, AUDIO = 2, 3, 4, 5, 6, 7, 8


class Errors(ToolTest):
    def setUp(self):
        super().setUp()
        write_wav(self.path("stereo.wav"), [(0.1, -0.1)] * 100)
        write_wav(self.path("three.wav"), [(0.1, 0.2, 0.3)] * 100)
        with open(self.path("notes.txt"), "w") as f:
            f.write("not a plug-in, not a sound\n")

    def test_each_kind_of_failure_has_its_own_exit_code(self):
        stereo, out = self.path("stereo.wav"), self.path("out.wav")
        cases = [
            (["info"], BAD_OPTION, "missing arguments"),
            (["render", ZANDREL, stereo, out, "--block", "0"], BAD_OPTION, "--block"),
            (["render", ZANDREL, stereo, out, "--param", "7=0.5"], BAD_OPTION, "has parameters 0..6"),
            (["render", ZANDREL, stereo, out, "--program", "5"], BAD_OPTION, "has programs 0..4"),
            (["render", ZANDREL, stereo, out, "--type", "flac", "--encoding", "float"], BAD_OPTION, "cannot write"),
            (["info", self.path("absent.so")], MISSING, "No such file"),
            (["info", self.folder], MISSING, "it is a folder"),
            (["render", ZANDREL, self.path("absent.wav"), out], MISSING, "No such file"),
            (["info", self.path("notes.txt")], NOT_PLUGIN, "is not a plug-in"),
            (["info", fixture("no_entry")], NOT_PLUGIN, "exports neither VSTPluginMain nor main"),
            (["info", fixture("null_entry")], ENTRY_NULL, "created no instance"),
            (["info", fixture("bad_magic")], BAD_MAGIC, "magic is 0x4E6F7065"),
            (["render", ZANDREL, self.path("three.wav"), out], LAYOUT, "3 channels and the plug-in takes 2 inputs"),
            (["render", ZANDREL, self.path("notes.txt"), out], AUDIO, "not a sound file"),
            (["render", ZANDREL, stereo, self.path("no/such/folder/out.wav")], AUDIO, "cannot create"),
        ]
        for args, code, message in cases:
            with self.subTest(args=args[:1] + [os.path.basename(str(a)) for a in args[1:]]):
                self.assertFailedWith(run(*args), code, message)
                self.assertFalse(os.path.exists(out), "a failed render left an output")

    def test_help_lists_the_exit_codes(self):
        help_text = self.assertRan(run("--help")).stdout
        for code in range(0, 10):
            self.assertRegex(help_text, rf"\n  {code}  \S")
