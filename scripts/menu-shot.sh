#!/bin/sh
# Makes docs/images/menu.png, the picture at the top of the README: the
# device menu open on the sample desk (tests/data/sample.tree), with devices
# that report a problem shown (greyed), under Wine on an Xvfb display.
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sh scripts/deps.sh && sh scripts/build.sh >/dev/null || exit 1
tree=$(sh scripts/wine-tree.sh)
wine_run="$root/$tree/wine-run.sh"
probe="$root/$tree/probe.exe"
work=$(mktemp -d /tmp/vantrel-shot.XXXXXX)
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
export FAKEDEV_TREE="$root/tests/data/sample.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
Xvfb -displayfd 3 -screen 0 800x600x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
"$wine_run" wineserver -k >/dev/null 2>&1  # a wineserver on a display now gone
"$wine_run" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f >/dev/null 2>&1
"$wine_run" reg delete 'HKCU\Software\HALCYRA' /f >/dev/null 2>&1
"$wine_run" reg add 'HKCU\Software\HALCYRA\VANTREL' /v HideInvalid /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$wine_run" "$probe" keep 600 >/dev/null 2>&1 &
sleep 2

(cd "$work" && "$wine_run" vantrel.exe >/dev/null 2>&1 &)
"$wine_run" "$probe" wait-window 30
sleep 2
status=1
for _ in 1 2 3; do
  xdotool mousemove 789 589 click 1
  if "$wine_run" "$probe" menu-wait 10; then
    sleep 1
    mkdir -p docs/images
    # The menu, the notification area and a strip of the desktop beside it.
    import -window root -crop 300x520+500+80 +repage docs/images/menu.png && status=0
    "$wine_run" "$probe" menu-keys escape
    break
  fi
done
"$wine_run" "$probe" command 0x8013
"$wine_run" "$probe" wait-gone 20
"$wine_run" reg delete 'HKCU\Software\HALCYRA' /f >/dev/null 2>&1
"$wine_run" wineserver -k >/dev/null 2>&1
kill "$xvfb" 2>/dev/null
rm -rf "$work"
[ $status -eq 0 ] && echo "docs/images/menu.png" || echo "no menu appeared" >&2
exit $status
