#!/bin/sh
# Builds every target, then runs the main job: the host renders audio through
# the plug-in.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in native win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
build/native/bin/plughost-mini build/native/bin/Zandrel.so
