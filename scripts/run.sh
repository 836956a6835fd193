#!/bin/sh
# Runs vantrel.exe under Wine with the fake device stack.
#   scripts/run.sh                  resident mode on a Windows 10 desk: the
#                                   tray icon and its menu, saved as
#                                   screenshots
#   scripts/run.sh LIST [TREE]      batch mode on a list file (a Linux path),
#                                   printing the eject requests it made
# TREE is a device tree file (see tests/README.md); the default is
# tests/data/win10.tree. Installs and builds first if needed (not when
# VANTREL_SKIP_BUILD=1); uses Xvfb when there is no display.
root=$(cd "$(dirname "$0")/.." && pwd)
die() { echo "run.sh: $*" >&2; exit 1; }
absolute() { [ -f "$1" ] && echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
if [ $# -ge 1 ]; then
  list=$(absolute "$1") || die "no list file $1"
fi
devices=$(absolute "${2:-$root/tests/data/win10.tree}") || die "no device tree $2"
cd "$root" || exit 1

if [ "${VANTREL_SKIP_BUILD:-}" != 1 ]; then
  sh scripts/deps.sh || die "installing the packages failed; run this as root on Debian, or install what scripts/deps.sh lists"
  mkdir -p build
  sh scripts/build.sh > build/build.log 2>&1 ||
    { tail -n 30 build/build.log >&2; die "the build failed (full log: build/build.log)"; }
fi
tree=$(sh scripts/wine-tree.sh)
[ "$tree" = build/win ] || echo "note: this host runs 64-bit user code only; running the 64-bit build ($tree)"
[ -f "$tree/vantrel.exe" ] || die "no $tree/vantrel.exe; build it with: sh scripts/build.sh"

. scripts/winedesk.sh
desk_ids . || exit 1
work=$(mktemp -d /tmp/vantrel-run.XXXXXX)
desk_trap 'rm -rf "$work"'
mode=any
[ $# -ge 1 ] && mode=own  # batch mode shows nothing; keep it off the user's screen
desk_begin "$tree" "$mode" || die "could not start Wine (see above)"
export WINEDLLOVERRIDES="$DESK_OVERRIDES"
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
# A copy: an eject rewrites the tree it was given.
cp "$devices" "$work/devices.tree"
export FAKEDEV_TREE="$work/devices.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
: > "$FAKEDEV_EJECT_LOG"
traces() { sed -n 's/.*OutputDebugStringA "\(.*\)\\n"/  \1/p' "$work/trace"; }

if [ $# -ge 1 ]; then
  winlist=$("$WINE_RUN" winepath -w "$list" 2>/dev/null)
  [ -n "$winlist" ] || die "Wine could not name $list"
  (cd "$work" && WINEDEBUG=-all,warn+debugstr "$WINE_RUN" "$PROBE_EXE" run vantrel.exe "\"$winlist\"" \
     2>"$work/trace") && rc=0 || rc=$?
  printf 'vantrel.exe "%s" exited with %s; eject requests:\n' "$winlist" "$rc"
  sed 's/^/  /' "$FAKEDEV_EJECT_LOG"
  [ -s "$FAKEDEV_EJECT_LOG" ] || echo "  (none)"
  traces
  case $rc in 0) ;; 125) die "Wine could not start vantrel.exe" ;; *) die "vantrel.exe failed ($rc)" ;; esac
  exit 0
fi

shots=build/screenshots
mkdir -p "$shots"
shot() { import -window root "$@" 2>/dev/null; }
# The notification area, until two captures in a row are alike and differ
# from the empty one (the icon is drawn after the program's request).
tray_area() { shot -crop 160x24+640+576 +repage "$work/$1.png"; }
differs() { ! compare -metric AE "$1" "$2" null: 2>/dev/null; }
tray_changed() { tray_area now && differs "$work/empty.png" "$work/now.png"; }
tray_steady() { cp "$work/now.png" "$work/last.png"; tray_area now && ! differs "$work/last.png" "$work/now.png"; }

# The whole screen, until two captures in a row are alike.
steady() { shot "$work/a.png" && poll 3 steady_step; }
steady_step() {
  shot "$work/b.png" || return 1
  differs "$work/a.png" "$work/b.png" || return 0
  mv "$work/b.png" "$work/a.png"
  return 1
}

steady
tray_area empty
(cd "$work" && WINEDEBUG=-all,warn+debugstr "$WINE_RUN" vantrel.exe >/dev/null 2>"$work/trace" &)
"$WINE_RUN" "$PROBE_EXE" wait-window 30 || { traces; die "vantrel.exe did not start (its window did not appear)"; }
poll 10 grep -q 'VANTREL:' "$work/trace" || echo "note: no trace line from vantrel.exe yet"
poll 10 tray_changed || echo "note: no tray icon drawn in 10 s"
poll 5 tray_steady
shot "$shots/desktop.png" && cp "$work/now.png" "$shots/tray.png" || die "could not take a screenshot (imagemagick)"

# The icon's menu: a click on the icon, and a click on an empty spot of
# the desktop to close it again. A menu reaches higher than the icon's
# tooltip does.
above() { shot -crop 800x550+0+0 +repage "$work/$1.png"; }
above before
xdotool mousemove 789 589 click 1
menu_open() { above now && differs "$work/before.png" "$work/now.png"; }
poll 3 menu_open && steady || echo "note: no menu appeared on a click on the icon"
shot "$shots/menu.png"
xdotool mousemove 400 200 click 1
xdotool mousemove 0 0

echo "vantrel.exe is resident on $DISPLAY; it said:"
traces
echo "screenshots:"
for f in desktop tray menu; do echo "  $root/$shots/$f.png"; done
if [ -n "$DESK_XVFB" ]; then
  "$WINE_RUN" "$PROBE_EXE" command $ID_EXIT >/dev/null 2>&1
  "$WINE_RUN" "$PROBE_EXE" wait-gone 20 || echo "note: vantrel.exe did not end on its exit command"
  echo "(headless: stopped it again)"
else
  DESK_WINESERVER=""  # leave it running on the user's display
  echo "It stays running; end it with: $tree/wine-run.sh wineserver -k"
fi
