#!/bin/sh
# Runs the host-call fuzzer under ASan and UBSan for a set time (default 600 s).
# New inputs collect in build/fuzz/corpus; the checked-in fuzz/corpus is only
# read. With --merge, fuzz/corpus is replaced by a small set of inputs, old
# and new, that reaches every edge they reach together.
#   scripts/fuzz.sh [SECONDS] [--merge]
set -eu
cd "$(dirname "$0")/.."
seconds=600
merge=no
for arg in "$@"; do
    case "$arg" in
    --merge) merge=yes ;;
    *[!0-9]* | "") echo "usage: scripts/fuzz.sh [SECONDS] [--merge]" >&2; exit 2 ;;
    *) seconds=$arg ;;
    esac
done
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
fuzzer=build/fuzz/bin/fuzz-host-calls
work=build/fuzz/corpus
artifacts=build/fuzz/artifacts
mkdir -p "$work" "$artifacts"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" fuzz/corpus
if [ "$merge" = yes ]; then
    merged=build/fuzz/merged
    rm -rf "$merged"
    mkdir -p "$merged"
    # Edges only, not hit counts: a small corpus that still reaches every edge.
    "$fuzzer" -merge=1 -use_counters=0 "$merged" fuzz/corpus "$work"
    rm -f fuzz/corpus/*
    cp "$merged"/* fuzz/corpus/
fi
