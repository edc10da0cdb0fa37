#!/usr/bin/env bash
# Builds the native tools and tests (build/native) and the Windows programs (build/win);
# the installer ends up at build/TermikaSetUp.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DFORMC="$root/build/native/formc" >/dev/null
cmake --build build/win -j"$jobs"
cp build/win/TermikaSetUp.exe build/TermikaSetUp.exe
