#!/bin/sh
# Figures, not pass/fail: the cost of a refresh on the full table (native,
# with the fake's call counters), the resident process's memory under Wine
# after start and after 1,000 refreshes, and batch mode's wall time beside
# Wine starting a trivial program.
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/deps.sh && sh scripts/build.sh >/dev/null || exit 1
echo "== refresh, native (debug build with sanitizers: compare calls, not time)"
build/native/benchmarks --benchmark_min_time=0.5 2>/dev/null | grep BM_

tree=$(sh scripts/wine-tree.sh)
wine_run="$root/$tree/wine-run.sh"
probe="$root/$tree/probe.exe"
work=$(mktemp -d /tmp/vantrel-bench.XXXXXX)
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
export FAKEDEV_TREE="$root/tests/data/full.tree" FAKEDEV_COUNTS="$work/counts"
export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
export DISPLAY=":$(( ($$ % 300) + 1100 ))"
Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
"$wine_run" "$probe" keep 600 >/dev/null 2>&1 &
sleep 2

echo "== resident on the full table ($tree)"
(cd "$work" && "$wine_run" vantrel.exe >/dev/null 2>&1 &)
"$wine_run" "$probe" wait-window 30
sleep 2
pid=$(pgrep -n -f 'vantrel\.exe$')
rss() { sed -n 's/^VmRSS: *//p' "/proc/$pid/status"; }
echo "after start:            RSS $(rss)"
"$wine_run" "$probe" resume-times 1000
echo "after 1,000 refreshes:  RSS $(rss)"
"$wine_run" "$probe" resume-times 1000
echo "after 2,000 refreshes:  RSS $(rss)"
"$wine_run" "$probe" command 0x8013
"$wine_run" "$probe" wait-gone 20
sleep 1
echo "device calls in the whole run (2,001 refreshes):"
sed 's/^/  /' "$work/counts"

echo "== batch mode wall time, 10 runs each"
printf '[VANTRL]\n00=Removable Device 31\n' > "$work/list.ini"
winlist=$("$wine_run" winepath -w "$work/list.ini" 2>/dev/null)
time10() {
  start=$(date +%s%N)
  for _ in 1 2 3 4 5 6 7 8 9 10; do (cd "$work" && "$wine_run" "$@" >/dev/null 2>&1); done
  echo "$(( ($(date +%s%N) - start) / 10000000 )) ms per run"
}
echo "trivial exe:  $(time10 "$probe" keep 0)"
echo "batch mode:   $(time10 vantrel.exe "$winlist")"

"$wine_run" wineserver -k >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
rm -rf "$work"
