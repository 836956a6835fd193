#!/bin/sh
# Figures, not pass/fail: the cost of a refresh on the full table (native,
# with the fake's call counters), start-up time beside a yardstick that does
# what the program does up to its first trace line, the resident process's memory under Wine after
# start and after thousands of refreshes, and batch mode's wall time beside
# Wine starting a trivial program.
#   scripts/bench.sh [PAIRS]    PAIRS: start-up runs of each program (15)
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
mkdir -p build
{ sh scripts/deps.sh && sh scripts/build.sh && cmake --build "$(sh scripts/wine-tree.sh)" --target minimal_tray; } \
  > build/build.log 2>&1 || { tail -n 30 build/build.log; echo "bench.sh: the build failed (build/build.log)"; exit 1; }
tree=$(sh scripts/wine-tree.sh)
echo "== refresh, native (debug build with sanitizers: compare calls, not time)"
build/native/benchmarks --benchmark_min_time=0.5 2>/dev/null | grep BM_

. scripts/winedesk.sh
desk_ids . || exit 1
work=$(mktemp -d /tmp/vantrel-bench.XXXXXX)
desk_trap 'rm -rf "$work"'
desk_begin "$tree" own || { echo "bench.sh: could not start Wine (see above)"; exit 1; }
export WINEDLLOVERRIDES="$DESK_OVERRIDES"
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$tree/minimal_tray.exe" "$work/"
probe() { "$WINE_RUN" "$PROBE_EXE" "$@"; }

# Milliseconds from launch to the program's first trace line. Each run
# starts on a quiet system: a start right after another program's exit
# shares the machine with Wine tidying up after it.
startup_ms() {
  rm -f "$work/ms"
  t0=$(date +%s%N)
  ( (cd "$work" && WINEDEBUG=-all,warn+debugstr "$WINE_RUN" "$1" 2>&1 >/dev/null) | {
      while IFS= read -r line; do
        case $line in *OutputDebugStringA*) echo $(( ($(date +%s%N) - t0) / 1000000 )) > "$work/ms"; break ;; esac
      done
      cat >/dev/null; } ) &
  job=$!
  poll 30 test -s "$work/ms" || echo "no trace line from $1" >&2
  probe command $ID_EXIT >/dev/null  # both stay resident until told to exit
  wait "$job"
  sleep 0.5
  cat "$work/ms" 2>/dev/null
}
# median and least of numbers on stdin
stats() { sort -n | awk '{v[NR] = $1} END {printf "%d %d", v[int((NR + 1) / 2)], v[1]}'; }

pairs=${1:-15}
for desk in win10 full; do
  cp "$root/tests/data/$desk.tree" "$work/devices.tree"  # an eject rewrites it
  export FAKEDEV_TREE="$work/devices.tree"
  : > "$work/v"; : > "$work/m"
  for k in $(seq 1 "$pairs"); do  # alternating, each first every other time
    if [ $((k % 2)) -eq 1 ]; then
      startup_ms vantrel.exe >> "$work/v"; startup_ms minimal_tray.exe >> "$work/m"
    else
      startup_ms minimal_tray.exe >> "$work/m"; startup_ms vantrel.exe >> "$work/v"
    fi
  done
  set -- $(stats < "$work/v") $(stats < "$work/m")
  echo "== start-up to the first trace line, $desk.tree, $pairs runs each ($tree)"
  echo "vantrel.exe:   median $1 ms, least $2 ms"
  echo "minimal_tray:  median $3 ms, least $4 ms"
  echo "ratio: $(awk "BEGIN {printf \"%.2f (median), %.2f (least)\", $1 / $3, $2 / $4}")"
done

cp "$root/tests/data/full.tree" "$work/devices.tree"
export FAKEDEV_TREE="$work/devices.tree" FAKEDEV_COUNTS="$work/counts"
echo "== resident on the full table ($tree)"
(cd "$work" && WINEDEBUG=-all,warn+debugstr "$WINE_RUN" vantrel.exe >/dev/null 2>"$work/trace" &)
probe wait-window 30
poll 10 grep -q VANTREL "$work/trace"
pid=$(desk_leftovers | sed -n 's/ vantrel\.exe$//p')
rss() { sed -n 's/^VmRSS:[[:space:]]*//p' "/proc/$pid/status"; }
echo "after start:            RSS $(rss)"
probe resume-times 1000
echo "after 1,000 refreshes:  RSS $(rss)"
probe resume-times 1000
echo "after 2,000 refreshes:  RSS $(rss)"
probe command $ID_EXIT
probe wait-gone 20
poll 10 desk_gone "$pid"
echo "device calls in the whole run (2,001 refreshes):"
sed 's/^/  /' "$work/counts"
unset FAKEDEV_COUNTS

echo "== batch mode wall time, 10 runs each"
printf '[VANTRL]\n00=Removable Device 31\n' > "$work/list.ini"
winlist=$("$WINE_RUN" winepath -w "$work/list.ini" 2>/dev/null)
time10() {
  start=$(date +%s%N)
  for _ in 1 2 3 4 5 6 7 8 9 10; do (cd "$work" && "$WINE_RUN" "$@" >/dev/null 2>&1); done
  echo "$(( ($(date +%s%N) - start) / 10000000 )) ms per run"
}
echo "trivial exe:  $(time10 "$PROBE_EXE" keep 0)"
echo "batch mode:   $(time10 vantrel.exe "$winlist")"
