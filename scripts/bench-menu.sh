#!/bin/sh
# Figures, not pass/fail, for the device menu under Wine on the full table
# (32 devices, chains of 32: a menu of 1,093 items):
# - time from a press on the tray icon to the menu on screen, median of 20,
#   beside a floor: a minimal program whose tray icon opens a plain text
#   menu of the same size, with no bitmaps and no device calls;
# - the resident process's memory and its USER and GDI objects over 1,000
#   menu open/close cycles.
# Optional argument: the number of cycles (default 1000).
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
cycles=${1:-1000}
sh scripts/deps.sh && sh scripts/build.sh >/dev/null || exit 1
echo "== building the menu, native (debug build with sanitizers)"
build/native/benchmarks --benchmark_filter=Menu --benchmark_min_time=0.5 2>/dev/null | grep BM_

tree=$(sh scripts/wine-tree.sh)
. scripts/winedesk.sh
desk_ids . || exit 1
work=$(mktemp -d /tmp/vantrel-benchmenu.XXXXXX)
# The programs' own waiting shells end with the desk, before their folder goes.
desk_trap 'desk_end; wait; rm -rf "$work"'
desk_begin "$tree" own || { echo "bench-menu.sh: could not start Wine (see above)" >&2; exit 1; }
export WINEDLLOVERRIDES="$DESK_OVERRIDES"
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
cp "$root/tests/data/full.tree" "$work/devices.tree"  # an eject rewrites it
export FAKEDEV_TREE="$work/devices.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
probe() { "$WINE_RUN" "$PROBE_EXE" "$@"; }
"$WINE_RUN" reg delete 'HKCU\Software\HALCYRA' /f >/dev/null 2>&1
items=1093
icon="789 589"  # the only icon of the notification area

median() { sed -n 's/.*median \([0-9.]*\) ms.*/\1/p'; }
# A program runs with its tray calls traced to $work/NAME.err and its exit
# code written to $work/NAME.rc; it is ready once its icon is added.
launch() {  # name command...
  name=$1; shift
  rm -f "$work/$name.rc"
  (cd "$work" && WINEDEBUG=-all,trace+systray "$WINE_RUN" "$@" >/dev/null 2>"$work/$name.err"
   echo $? > "$work/$name.rc") &
  poll 30 grep -q 'Shell_NotifyIconW dwMessage = 0' "$work/$name.err" ||
    { echo "bench-menu.sh: $name put no icon into the notification area" >&2; exit 1; }
}
ended() {  # name
  poll 20 test -s "$work/$1.rc" || { echo "bench-menu.sh: $1 did not end" >&2; exit 1; }
}
start_program() {
  launch vantrel vantrel.exe
  probe wait-window 30 || { echo "bench-menu.sh: vantrel.exe did not start" >&2; exit 1; }
}
stop_program() {
  probe command $ID_EXIT
  probe wait-gone 20
  ended vantrel
}

echo "== press to menu on screen, full table ($tree, display $DISPLAY)"
echo "   three rounds, each 20 presses on vantrel.exe then 20 on the floor ($items plain items)"
ratios=""
for round in 1 2 3; do
  start_program
  probe press-time $icon 3 >/dev/null  # first menus load fonts and bitmaps
  program=$(probe press-time $icon 20)
  stop_program
  launch floor "$PROBE_EXE" floor-menu "$items"
  probe press-time $icon 3 >/dev/null
  floor=$(probe press-time $icon 20)
  probe floor-stop
  ended floor
  p=$(echo "$program" | median) f=$(echo "$floor" | median)
  ratio=$(echo "$p $f" | awk '$2 > 0 {printf "%.2f", $1 / $2}')
  ratios="$ratios $ratio"
  echo "round $round: vantrel.exe $program"
  echo "         floor       $floor"
  echo "         ratio $ratio"
done
echo "median ratio to the floor: $(echo $ratios | tr ' ' '\n' | sort -n | sed -n 2p) (goal: 1.2 at most)"

echo "== $cycles menu open/close cycles, full table"
start_program
pid=$(desk_leftovers | sed -n 's/ vantrel\.exe$//p')
rss() { sed -n 's/^VmRSS: *//p' "/proc/$pid/status" | tr -d ' \t'; }
objects() {
  o=$(probe gui-objects)
  [ "$o" = "gdi 0 user 0" ] && o="$o (this Wine does not count them)"
  echo "$o"
}
probe press-time $icon 3 >/dev/null
echo "after 3 menus:        RSS $(rss), $(objects)"
probe press-time $icon "$cycles" >/dev/null
echo "after $((cycles + 3)) menus:     RSS $(rss), $(objects)"
probe press-time $icon "$cycles" >/dev/null
echo "after $((2 * cycles + 3)) menus:     RSS $(rss), $(objects)"
stop_program
if [ -s "$work/eject.log" ]; then
  echo "note: a press chose a device: $(head -1 "$work/eject.log")"
fi
