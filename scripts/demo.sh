#!/bin/sh
# Builds every target, then runs the main job: a spoken sentence and a strummed
# chord through each factory program of the plug-in, the programs' transfer
# curves, and the Windows release archive. Prints where the files went.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in native win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

plughost=build/native/bin/plughost
plugin=build/native/bin/Zandrel.so
out=build/demo
mkdir -p "$out"
espeak-ng -w "$out/speech.wav" "Every sample becomes sixteen bits, and every bit can be flipped, masked or shifted."
sox -n -r 44100 -b 16 "$out/chord.wav" synth 3 pl G2 pl B2 pl D3 pl G3 pl D4 pl G4 \
    delay 0 .05 .1 .15 .2 .25 remix - fade 0 3 .1 norm -1

"$plughost" info "$plugin"
echo
for sound in speech chord; do
    for program in 0 1 2 3 4; do
        "$plughost" render "$plugin" "$out/$sound.wav" "$out/$sound-program$program.wav" --program "$program"
    done
done
"$plughost" plot "$plugin" "$out/programs.svg" --programs
cmake --build build/native --target package-windows >/dev/null

echo "demo: the sources, $out/speech.wav and $out/chord.wav (mono, fed to both inputs)"
for program in 0 1 2 3 4; do
    echo "demo: program $program: $out/speech-program$program.wav $out/chord-program$program.wav"
done
echo "demo: transfer curves of the programs: $out/programs.svg"
echo "demo: Windows release archive: $(ls build/native/Zandrel-*-windows.zip)"
