#!/bin/sh
# Installs what building and testing need on Debian 12, as root: the MinGW-w64
# cross compilers, Wine (with the i386 architecture), the libraries used by the
# host tool, the tests and the benchmarks, and a third-party plug-in the host's
# tests load. Does nothing when all is present.
set -eu
packages="cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev libsndfile1-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 clang-14 libclang-rt-14-dev espeak-ng sox valgrind clang-format-14
  python3 dpf-plugins-vst"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "setup: installing$missing" >&2
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
dpkg --print-foreign-architectures | grep -q i386 || $SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
