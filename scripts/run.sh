#!/bin/sh
# Runs vantrel.exe under Wine with the fake device stack.
#   scripts/run.sh                  resident mode on the sample desk: the
#                                   tray icon, saved as a screenshot
#   scripts/run.sh LIST [TREE]      batch mode on a list file (a Linux path),
#                                   printing the eject requests it made
# TREE is a device tree file (see tests/README.md); the default is
# tests/data/sample.tree. Builds first if needed; uses Xvfb when there is
# no display.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/deps.sh
sh scripts/build.sh >/dev/null
tree=$(sh scripts/wine-tree.sh)
[ "$tree" = build/win ] || echo "note: this host runs 64-bit user code only; running the 64-bit build ($tree)"
wine_run="$root/$tree/wine-run.sh"
work=$(mktemp -d /tmp/vantrel-run.XXXXXX)
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
export FAKEDEV_TREE="${2:-$root/tests/data/sample.tree}"
export FAKEDEV_EJECT_LOG="$work/eject.log"
export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
[ -f "$FAKEDEV_TREE" ] || { echo "no device tree $FAKEDEV_TREE" >&2; exit 1; }
: > "$FAKEDEV_EJECT_LOG"

if [ $# -ge 1 ]; then
  [ -f "$1" ] || { echo "no list file $1" >&2; exit 1; }
  list=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  winlist=$("$wine_run" winepath -w "$list" 2>/dev/null)
  (cd "$work" && "$wine_run" "$root/$tree/probe.exe" run vantrel.exe "\"$winlist\"") && rc=0 || rc=$?
  printf 'vantrel.exe "%s" exited with %s; eject requests:\n' "$winlist" "$rc"
  sed 's/^/  /' "$FAKEDEV_EJECT_LOG"
  [ -s "$FAKEDEV_EJECT_LOG" ] || echo "  (none)"
  "$wine_run" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
  exit 0
fi

xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  "$wine_run" wineserver -k >/dev/null 2>&1 || true  # a wineserver on a display now gone
  export DISPLAY=":$(( ($$ % 300) + 700 ))"
  Xvfb "$DISPLAY" -screen 0 800x600x24 >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
fi
"$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
(cd "$work" && WINEDEBUG=-all,warn+debugstr "$wine_run" vantrel.exe 2>"$work/trace" &)
"$wine_run" "$root/$tree/probe.exe" wait-window 30
sleep 3
mkdir -p build/screenshots
import -window root build/screenshots/desktop.png
import -window root -crop 160x24+640+576 build/screenshots/tray.png
echo "vantrel.exe is resident on $DISPLAY; it said:"
sed -n 's/.*OutputDebugStringA "\(.*\)\\n"/  \1/p' "$work/trace"
echo "screenshots: build/screenshots/desktop.png, build/screenshots/tray.png"
if [ -n "$xvfb" ]; then
  "$wine_run" "$root/$tree/probe.exe" command 0x8013
  "$wine_run" "$root/$tree/probe.exe" wait-gone 20 || true
  "$wine_run" wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" 2>/dev/null || true
  echo "(headless: stopped it again)"
fi
rm -rf "$work"
