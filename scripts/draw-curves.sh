#!/bin/sh
# Redraws the transfer curves of the factory programs that the README shows,
# with the plughost and the plug-in of a native build (default build/native).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/native}
mkdir -p docs
for program in 0 1 2 3 4; do
    "$build/bin/plughost" plot "$build/bin/Zandrel.so" "docs/program$program.svg" --program "$program"
done
