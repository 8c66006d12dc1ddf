"""plughost render through the built plug-in, checked against a model of the
programs computed here, sample by sample."""

import filecmp
import math
import random

from support import (ZANDREL, ToolTest, fixture, float32_bits, read_wav, run, to_float32, wet_integer,
                     wet_program, write_wav)

# Edge values of the conversion to 16 bits: both zeros, the ends of the range,
# beyond it, too small to reach a step, and values that wrap.
EDGE_SAMPLES = [0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 0.25, 1.5, -1.5, 2.0, 1e-30, -1e-5, 32767 / 32768,
                -32767 / 32768, 0.3, -0.7, 65536.0, float("nan"), float("inf")]


class Render(ToolTest):
    def render(self, *args, env=None):
        return self.assertRan(run("render", ZANDREL, *args, "--quiet", env=env))

    def test_the_inverter_turns_every_16_bit_sample_into_its_complement_on_both_channels(self):
        # Mono in, stereo out: one file channel feeds both plug-in inputs.
        samples = list(range(-32768, 32768))
        write_wav(self.path("in.wav"), [(s,) for s in samples], rate=22050, encoding="pcm16")
        self.render(self.path("in.wav"), self.path("out.wav"), "--program", "1")
        rate, encoding, frames = read_wav(self.path("out.wav"))
        self.assertEqual((rate, encoding, len(frames)), (22050, "pcm16", len(samples)))
        for s, frame in zip(samples, frames):
            expected = 0 if s == 0 else -s - 1
            if frame != (expected, expected):
                self.fail(f"input {s}: got {frame}, expected {expected} on both channels")

    def test_each_wet_program_matches_the_model_on_float_samples(self):
        frames = [(x, -x) for x in EDGE_SAMPLES]
        write_wav(self.path("in.wav"), frames)
        for program in (1, 2, 3, 4):
            with self.subTest(program=program):
                out = self.path(f"out{program}.wav")
                self.render(self.path("in.wav"), out, "--program", str(program))
                _, encoding, got = read_wav(out)
                self.assertEqual(encoding, "float")
                for frame_in, frame_out in zip(frames, got):
                    for x, y in zip(frame_in, frame_out):
                        expected = wet_program(program, to_float32(x))
                        if math.isnan(expected):  # which NaN is the processor's choice
                            self.assertTrue(math.isnan(y), f"input {x!r} gave {y!r}")
                        else:
                            self.assertEqual(float32_bits(y), float32_bits(expected), f"input {x!r}")

    def test_the_initial_state_passes_float_samples_through_unclipped_but_zeroes_nan_and_negative_zero(self):
        frames = [(x, x) for x in EDGE_SAMPLES if math.isfinite(x)] + [(float("nan"), -0.0)]
        write_wav(self.path("in.wav"), frames)
        self.render(self.path("in.wav"), self.path("out.wav"))
        _, _, got = read_wav(self.path("out.wav"))
        for frame_in, frame_out in zip(frames, got):
            for x, y in zip(frame_in, frame_out):
                expected = 0.0 if x == 0 or math.isnan(x) else x
                self.assertEqual(float32_bits(y), float32_bits(expected), f"input {x!r}")

    def test_parameters_after_a_program_mix_wet_dry_and_master_as_described(self):
        dry, wet, master = 0.25, 0.5, 0.75
        frames = [(x, x / 3) for x in EDGE_SAMPLES if math.isfinite(x)]
        write_wav(self.path("in.wav"), frames)
        self.render(self.path("in.wav"), self.path("out.wav"), "--program", "1", "--param", f"1={dry}",
                    "--param", f"2={wet}", "--param", f"6={master}")
        _, _, got = read_wav(self.path("out.wav"))
        for frame_in, frame_out in zip(frames, got):
            for x, y in zip(frame_in, frame_out):
                x = to_float32(x)
                expected = 0.0 if x == 0 else to_float32(((wet_integer(1, x) * 2 ** -15) * wet + dry * x) * master)
                self.assertEqual(float32_bits(y), float32_bits(expected), f"input {x!r}")

    def test_the_output_keeps_the_input_format_unless_told_otherwise(self):
        write_wav(self.path("in16.wav"), [(s, -s) for s in range(-300, 300)], rate=48000, encoding="pcm16")
        write_wav(self.path("in24.wav"), [(s * 256, s) for s in range(-300, 300)], rate=48000, encoding="pcm24")
        cases = [
            ("in16.wav", [], b"RIFF", "pcm16"),
            ("in24.wav", [], b"RIFF", "pcm24"),
            ("in16.wav", ["--sample-rate", "96000"], b"RIFF", "pcm16"),
            ("in16.wav", ["--encoding", "float"], b"RIFF", "float"),
            ("in24.wav", ["--type", "flac"], b"fLaC", None),
            ("in16.wav", ["--type", "aiff"], b"FORM", None),
        ]
        for name, options, magic, encoding in cases:
            with self.subTest(input=name, options=options):
                out = self.path("out")
                self.render(self.path(name), out, "--program", "1", *options)
                with open(out, "rb") as f:
                    self.assertEqual(f.read(4), magic)
                if encoding:
                    rate, got, _ = read_wav(out)
                    self.assertEqual((rate, got), (48000, encoding))
                # The samples are the same whatever holds them.
                self.render(self.path(name), self.path("reference.wav"), "--program", "1", "--encoding", "float")
                self.assertRan(run("diff", out, self.path("reference.wav")))


class Blocks(ToolTest):
    def test_any_block_size_sequence_gives_the_bits_of_one_big_block(self):
        generator = random.Random(2024)
        frames = [(generator.uniform(-1.2, 1.2), generator.choice([0.0, generator.gauss(0, 0.3)]))
                  for _ in range(20000)]
        write_wav(self.path("in.wav"), frames)
        settings = ["--program", "1", "--param", "1=0.3", "--param", "2=0.6", "--param", "6=0.9"]
        whole = self.path("whole.wav")
        self.assertRan(run("render", ZANDREL, self.path("in.wav"), whole, *settings, "--block", "20000"))
        variants = [["--block", "1"], ["--block", "441"], ["--accumulate"], ["--in-place"],
                    ["--accumulate", "--block", "999"]]
        variants += [["--random-blocks", str(seed), "--block", "700"] for seed in (1, 2, 3)]
        for options in variants:
            with self.subTest(options=options):
                out = self.path("variant.wav")
                self.assertRan(run("render", ZANDREL, self.path("in.wav"), out, *settings, *options))
                self.assertTrue(filecmp.cmp(whole, out, shallow=False), "differs from one big block")


class FailedRender(ToolTest):
    def setUp(self):
        super().setUp()
        write_wav(self.path("in.wav"), [(0.5, 0.25)] * 1000)

    def test_a_failed_render_leaves_an_existing_output_as_it_was(self):
        write_wav(self.path("three.wav"), [(0.1, 0.2, 0.3)] * 10)
        with open(self.path("out.wav"), "w") as f:
            f.write("the previous take")
        for args in ([self.path("three.wav"), self.path("out.wav")],
                     [self.path("in.wav"), self.path("out.wav"), "--param", "9=0.5"]):
            result = run("render", ZANDREL, *args)
            self.assertNotEqual(result.returncode, 0)
            with open(self.path("out.wav")) as f:
                self.assertEqual(f.read(), "the previous take")
        self.assertFolderHolds("in.wav", "three.wav", "out.wav")

    def test_damage_in_the_middle_of_the_input_fails_the_render_instead_of_cutting_it_short(self):
        frames = [(math.sin(i / 7), math.cos(i / 11)) for i in range(20000)]
        write_wav(self.path("long.wav"), frames)
        self.assertRan(run("render", ZANDREL, self.path("long.wav"), self.path("long.flac"), "--type", "flac",
                           "--encoding", "pcm16"))
        with open(self.path("long.flac"), "r+b") as f:
            f.seek(f.seek(0, 2) // 2)
            f.write(bytes(512))
        self.assertFailedWith(run("render", ZANDREL, self.path("long.flac"), self.path("out.wav")), 8, "cannot read")
        self.assertFolderHolds("in.wav", "long.wav", "long.flac")

    def test_a_render_that_dies_midway_leaves_no_file_at_all(self):
        # The fixture stops the process in its third block: by SIGTERM, or by aborting.
        for how, signal in (("term", 15), ("abort", 6)):
            with self.subTest(how=how):
                result = run("render", fixture("dies_in_process"), self.path("in.wav"), self.path("out.wav"),
                             "--block", "100", env={"ZANDREL_FIXTURE_SIGNAL": how})
                self.assertEqual(result.returncode, -signal, result.stderr)
                self.assertFolderHolds("in.wav")
