"""plughost diff: what it reports and the exit status scripts rely on."""

from support import ToolTest, run, write_wav

SAME, DIFFERENT = 0, 1


class Diff(ToolTest):
    def setUp(self):
        super().setUp()
        self.frames = [(i / 100, -i / 100) for i in range(10)]
        write_wav(self.path("a.wav"), self.frames)

    def variant(self, name, change):
        frames = [list(f) for f in self.frames]
        change(frames)
        write_wav(self.path(name), [tuple(f) for f in frames])
        return self.path(name)

    def test_reports_identity_or_the_first_and_largest_difference(self):
        def one_sample(frames):
            frames[5][1] += 0.25

        def signed_zero(frames):
            frames[0][0] = -0.0

        cases = [
            (self.path("a.wav"), [], SAME, "identical: 20 samples"),
            (self.variant("b.wav", one_sample), [], DIFFERENT, "first at frame 5 channel 1; max abs difference 0.25"),
            (self.variant("c.wav", signed_zero), [], DIFFERENT, "first at frame 0 channel 0; max abs difference 0,"),
            (self.variant("d.wav", one_sample), ["--tolerance", "0.3"], SAME, "within tolerance 0.3"),
            (self.variant("e.wav", one_sample), ["--tolerance", "0.2"], DIFFERENT, "max abs difference 0.25"),
        ]
        for other, options, status, message in cases:
            with self.subTest(message=message):
                result = run("diff", self.path("a.wav"), other, *options)
                self.assertEqual(result.returncode, status, result.stdout + result.stderr)
                self.assertIn(message, result.stdout)

    def test_files_of_another_shape_differ(self):
        write_wav(self.path("short.wav"), self.frames[:-1])
        write_wav(self.path("mono.wav"), [(x,) for x, _ in self.frames] * 2)
        for other in ("short.wav", "mono.wav"):
            with self.subTest(other=other):
                result = run("diff", self.path("a.wav"), self.path(other))
                self.assertEqual(result.returncode, DIFFERENT)
                self.assertIn("different shape", result.stdout)
