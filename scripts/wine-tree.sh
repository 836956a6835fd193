#!/bin/sh
# Prints the build tree whose programs run under Wine on this machine.
# The shipped program is 32-bit (build/win). Some hosts run 64-bit user code
# only; there the same sources are built for 64-bit Windows (build/win64)
# and that build stands in for it under Wine.
cd "$(dirname "$0")/.."
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo build/win
else
  echo build/win64
fi
