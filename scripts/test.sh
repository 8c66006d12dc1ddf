#!/bin/sh
# Builds every target and runs every test: native, under the sanitizers, and
# the 32-bit and 64-bit Windows builds under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in native asan tsan win32 win64; do
    echo "== $preset" >&2
    cmake --workflow --preset "$preset"
done
