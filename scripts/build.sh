#!/bin/sh
# Builds build/native (logic, unit tests, tools) and build/win (vantrel.exe,
# the fake setupapi.dll, the Win32 tests); also build/win64 when this host
# cannot run 32-bit programs (see wine-tree.sh).
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
[ -f build/native/CMakeCache.txt ] || cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
wintree() {  # tree toolchain
  [ -f "$1/CMakeCache.txt" ] || cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$2.cmake" -DPESTAMP="$PWD/build/native/pestamp" >/dev/null
  cmake --build "$1" -j"$jobs"
}
wintree build/win mingw-i686
[ "$(scripts/wine-tree.sh)" = build/win ] || wintree build/win64 mingw-x86_64
