#!/bin/sh
# Builds the 32-bit and 64-bit Windows plug-ins and packs both, with the README,
# into the release archive build/native/Zandrel-VERSION-windows.zip.
set -eu
cd "$(dirname "$0")/.."
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Zandrel
done
cmake --preset native >/dev/null
cmake --build build/native --target package-windows
