"""cmake --install: the plug-in where Linux hosts look, plughost on the path."""

import os
import subprocess

from support import ToolTest

BUILD = os.environ["BUILD_DIR"]
CONFIGURED_PREFIX = os.environ["INSTALL_PREFIX"]
CONFIGURED_VST_DIR = os.environ["VST_INSTALL_DIR"]


class Install(ToolTest):
    def install(self, *args, destdir=None):
        env = dict(os.environ)
        env.pop("DESTDIR", None)
        if destdir:
            env["DESTDIR"] = destdir
        result = subprocess.run(["cmake", "--install", BUILD, *args], capture_output=True, text=True, env=env)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_a_prefix_given_at_install_time_takes_both(self):
        prefix = self.path("prefix")
        self.install("--prefix", prefix)
        self.assertTrue(os.access(os.path.join(prefix, "bin", "plughost"), os.X_OK))
        self.assertTrue(os.path.isfile(os.path.join(prefix, "lib", "vst", "Zandrel.so")))

    def test_the_configured_places_are_used_otherwise(self):
        # DESTDIR stages the install, so the configured places can be checked without writing to them.
        stage = self.path("stage")
        self.install(destdir=stage)
        vst_dir = CONFIGURED_VST_DIR if os.path.isabs(CONFIGURED_VST_DIR) else os.path.join(CONFIGURED_PREFIX,
                                                                                             CONFIGURED_VST_DIR)
        self.assertTrue(os.path.isfile(stage + os.path.join(vst_dir, "Zandrel.so")))
        self.assertTrue(os.access(stage + os.path.join(CONFIGURED_PREFIX, "bin", "plughost"), os.X_OK))
