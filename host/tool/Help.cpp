#include "Help.h"

namespace zandrel::tool {

const char* const kHelpText = R"(plughost: a command-line host for VST 2 plug-ins (Linux .so)

usage:
  plughost info PLUGIN [--json] [--program N] [--param INDEX=VALUE]...
      The record (magic, unique ID, version, channels, flags), category, VST
      version, canDo answers, every parameter (after the settings given) and
      every program name.
  plughost render PLUGIN IN OUT [options]
      IN through the plug-in into OUT (WAV, AIFF, FLAC; PCM or float). A mono
      file feeds every plug-in input. OUT keeps IN's format unless told, and
      appears only once it is complete.
        --program N           select factory program N first
        --param INDEX=VALUE   set a parameter (0 to 1) after that; repeatable
        --block N             block size, 1..1048576 (default 512)
        --random-blocks SEED  block sizes drawn from 1..N by SEED, as hosts vary them
        --sample-rate HZ      the rate the plug-in is told (default: IN's)
        --accumulate          use the accumulating entry instead of the replacing one
        --in-place            the output buffers are the input buffers
        --type wav|aiff|flac  output container
        --encoding pcm16|pcm24|pcm32|float|double
        --quiet               no progress bar
  plughost diff A B [--tolerance X]
      Compares two sound files sample by sample: bit-identical or not, the first
      differing sample, the largest absolute and the RMS difference. They match
      when bit-identical, or with --tolerance when no difference exceeds X.
  plughost bench PLUGIN [options]
      Minimum and median time of repeated runs after a warm-up, ns per sample
      frame and times real-time, per block size.
        --blocks 32,64,512,4096   block sizes
        --seconds S               signal length of one run (default 1)
        --runs N  --warmup N      timed and untimed runs (default 10 and 2)
        --sample-rate HZ  --program N  --param INDEX=VALUE
  plughost plot PLUGIN OUT.svg [options]
      The transfer curve, output against input over -1..1 at every 16-bit step.
        --programs            one panel per factory program
        --program N  --param INDEX=VALUE  --sample-rate HZ

exit codes:
  0  success; diff: the files match
  1  diff: the files differ
  2  bad command line or option value
  3  a file is missing or unreadable
  4  not a plug-in: the library cannot be loaded or exports no entry
  5  the plug-in's entry returned no instance
  6  the entry returned a record with the wrong magic
  7  the plug-in's channels do not fit (e.g. a file with more channels than inputs)
  8  not a sound file we can read, or the output cannot be written
  9  anything else (out of memory, say)
  128+N  stopped by signal N; no output file is left behind
)";

}  // namespace zandrel::tool
