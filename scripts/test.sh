#!/bin/sh
# Runs every test: installs what is missing, builds, then the native unit
# tests, the shape of the shipped exe, and under Wine (on a private Xvfb
# display) the Win32 tests and the end-to-end scripts. Exit status 0 only
# when all pass.
cd "$(dirname "$0")/.."
root=$PWD
sh scripts/deps.sh || exit 1
sh scripts/build.sh || exit 1

status=0
summary=""
layer() {
  name=$1 dir=$2; shift 2
  echo "== $name"
  log="$root/build/$name.log"
  (cd "$dir" && ctest --output-on-failure "$@") > "$log" 2>&1 || status=1
  grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|tests failed|^FAIL' "$log" | tail -n 40
  line=$(grep -E 'tests passed' "$log" | tail -1)
  # A layer that found no tests has not passed.
  [ -n "$line" ] || { line="ran no tests"; status=1; }
  summary="$summary
$name: $line"
}

layer native build/native -j2
sh scripts/fuzz.sh build >"$root/build/fuzz-build.log" 2>&1; layer fuzz build/fuzz -j2  # libFuzzer, ~20 s a target
layer exe build/win -R '^exe\.'

tree=$(sh scripts/wine-tree.sh)
if [ "$tree" != build/win ]; then
  echo "note: this host runs 64-bit user code only; the Wine layers run the 64-bit build"
  echo "      of the same sources ($tree). The shipped program is build/win/vantrel.exe."
fi

# One display and one desktop for the whole Wine run.
display=$(( ($$ % 300) + 300 ))
Xvfb ":$display" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
wine_run="$root/$tree/wine-run.sh"
"$wine_run" wineserver -k >/dev/null 2>&1  # a wineserver left over from another display
"$wine_run" wineboot -i >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
# The Win32 tests link the program's device calls; they go to the fake
# stack beside the test exe (Wine's own services keep the real one).
"$wine_run" reg add 'HKCU\Software\Wine\AppDefaults\win32_tests.exe\DllOverrides' \
  /v setupapi /d native /f >/dev/null 2>&1
# Wine closes a desktop when its last process ends; keep one alive.
"$wine_run" "$root/$tree/probe.exe" keep 3600 >/dev/null 2>&1 &
sleep 2

layer wine "$tree" -E '^exe\.'

"$wine_run" wineserver -k >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
echo "== summary$summary"
total=$(printf '%s\n' "$summary" | sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)/\1 \2/p' |
        awk '{f += $1; n += $2} END {print n - f " passed, " f " failed"}')
echo "$total"
[ $status -eq 0 ] && echo "all tests passed" || echo "SOME TESTS FAILED"
exit $status
