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
cd "$root"
cycles=${1:-1000}
sh scripts/deps.sh && sh scripts/build.sh >/dev/null || exit 1
echo "== building the menu, native (debug build with sanitizers)"
build/native/benchmarks --benchmark_filter=Menu --benchmark_min_time=0.5 2>/dev/null | grep BM_

tree=$(sh scripts/wine-tree.sh)
wine_run="$root/$tree/wine-run.sh"
probe="$root/$tree/probe.exe"
work=$(mktemp -d /tmp/vantrel-benchmenu.XXXXXX)
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
export FAKEDEV_TREE="$root/tests/data/full.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
Xvfb -displayfd 3 -screen 0 800x600x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
"$wine_run" wineserver -k >/dev/null 2>&1  # a wineserver on a display now gone
"$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
"$wine_run" reg delete 'HKCU\Software\HALCYRA' /f >/dev/null 2>&1
"$wine_run" "$probe" keep 3600 >/dev/null 2>&1 &
sleep 2
items=1093
icon="789 589"  # the only icon of the notification area

median() { sed -n 's/.*median \([0-9.]*\) ms.*/\1/p'; }
start_program() {
  (cd "$work" && "$wine_run" vantrel.exe >/dev/null 2>&1 &)
  "$wine_run" "$probe" wait-window 30
  sleep 2
}
stop_program() {
  "$wine_run" "$probe" command 0x8013
  "$wine_run" "$probe" wait-gone 20
}

echo "== press to menu on screen, full table ($tree, display $DISPLAY)"
echo "   three rounds, each 20 presses on vantrel.exe then 20 on the floor ($items plain items)"
ratios=""
for round in 1 2 3; do
  start_program
  "$wine_run" "$probe" press-time $icon 3 >/dev/null  # first menus load fonts and bitmaps
  program=$("$wine_run" "$probe" press-time $icon 20)
  stop_program
  "$wine_run" "$probe" floor-menu "$items" >/dev/null 2>&1 &
  sleep 3
  "$wine_run" "$probe" press-time $icon 3 >/dev/null
  floor=$("$wine_run" "$probe" press-time $icon 20)
  "$wine_run" "$probe" floor-stop
  sleep 1
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
# This run's process: other programs of the same name may run beside it.
pid=""
for p in $(pgrep -f 'vantrel\.exe'); do
  { tr '\0' '\n' < "/proc/$p/environ"; } 2>/dev/null | grep -qxF "FAKEDEV_EJECT_LOG=$FAKEDEV_EJECT_LOG" && pid=$p
done
rss() { sed -n 's/^VmRSS: *//p' "/proc/$pid/status" | tr -d ' \t'; }
objects() {
  o=$("$wine_run" "$probe" gui-objects)
  [ "$o" = "gdi 0 user 0" ] && o="$o (this Wine does not count them)"
  echo "$o"
}
"$wine_run" "$probe" press-time $icon 3 >/dev/null
echo "after 3 menus:        RSS $(rss), $(objects)"
"$wine_run" "$probe" press-time $icon "$cycles" >/dev/null
echo "after $((cycles + 3)) menus:     RSS $(rss), $(objects)"
"$wine_run" "$probe" press-time $icon "$cycles" >/dev/null
echo "after $((2 * cycles + 3)) menus:     RSS $(rss), $(objects)"
stop_program
[ -s "$work/eject.log" ] && echo "note: a press chose a device: $(head -1 "$work/eject.log")"

"$wine_run" wineserver -k >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
rm -rf "$work"
