#!/bin/sh
# Runs every test: installs what is missing, builds, checks the program
# code's format (scripts/format.sh), then each layer by its CTest label:
# unit (native, with sanitizers), exe (the shipped exe's shape),
# and under Wine, on one Wine desk (a private Xvfb display, one booted prefix,
# one desktop), win32 and e2e. Exit status 0 only when all pass and no Wine
# or Xvfb process of the run is left.
cd "$(dirname "$0")/.." || exit 1
sh scripts/deps.sh && sh scripts/build.sh || { echo "test.sh: installing or building failed (see above)"; exit 1; }
tree=$(sh scripts/wine-tree.sh)
[ "$tree" = build/win ] || echo "note: this host runs 64-bit user code only; the Wine layers run
      the 64-bit build of the same sources ($tree). The shipped program is build/win/vantrel.exe."

status=0 passed=0 failed=0 skipped=0 summary="" running=""
. scripts/winedesk.sh
desk_trap '[ -z "$running" ] || desk_kill_tree "$running"'
layer() {  # label tree [ctest options]
  name=$1 dir=$2 log=build/$1.log
  shift 2
  echo "== $name"
  (cd "$dir" && exec ctest -L "^$name\$" --no-tests=error --output-on-failure "$@") > "$log" 2>&1 &
  running=$!  # waited for in the background, so that a Ctrl-C ends the run at once
  wait "$running" || status=1
  running=""
  grep -E '^ *[0-9]+/[0-9]+ Test|^FAIL|No tests were found' "$log" | tail -n 40
  line=$(grep -E 'tests passed' "$log" | tail -1)
  set -- $(echo "$line" | sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)/\1 \2/p') 0 0
  # CTest counts a skipped test among the passed ones; here it is neither.
  skips=$(grep -c '\*\*\*Skipped' "$log")
  failed=$((failed + $1)) passed=$((passed + $2 - $1 - skips)) skipped=$((skipped + skips))
  summary="$summary
$name: ${line:-ran no tests}$([ "$skips" -eq 0 ] || echo ", $skips skipped")"
}

echo "== format"
if fmt=$(sh scripts/format.sh --check); then passed=$((passed + 1)); else failed=$((failed + 1)) status=1; fi
echo "$fmt"
summary="$summary
$fmt"
layer unit build/native -j2
sh scripts/fuzz.sh build >build/fuzz-build.log 2>&1  # libFuzzer, ~20 s a target
layer fuzz build/fuzz -j2
layer exe build/win

# The Win32 tests link the program's device calls; they go to the fake
# stack beside the test exe (Wine's own services keep the real one).
DESK_REG='[HKEY_CURRENT_USER\Software\Wine\AppDefaults\win32_tests.exe\DllOverrides]
"setupapi"="native"'
desk_begin "$tree" own || { echo "test.sh: could not start Wine (see above)"; exit 1; }
layer win32 "$tree"
layer e2e "$tree"
desk_end
left=$(desk_leftovers)
[ -z "$left" ] || { echo "left running:" $left; status=1; }

echo "== summary$summary"
[ "$skipped" -eq 0 ] || echo "$skipped skipped (see the layer logs in build/ for why)"
echo "$passed passed, $failed failed"
[ $status -eq 0 ] && echo "all tests passed" || echo "SOME TESTS FAILED"
exit $status
