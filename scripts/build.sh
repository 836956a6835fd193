#!/bin/sh
# Builds both trees: build/native (logic, unit tests, tools) and build/win
# (vantrel.exe, the fake setupapi.dll, the Win32 tests).
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
[ -f build/native/CMakeCache.txt ] || cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
[ -f build/win/CMakeCache.txt ] || cmake -S . -B build/win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" -DPESTAMP="$PWD/build/native/pestamp" >/dev/null
cmake --build build/win -j"$jobs"
