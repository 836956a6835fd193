#!/bin/sh
# Makes the user guide's pictures (docs/images/*.png) from the real program:
# vantrel.exe resident under Wine on a private Xvfb display, on the sample
# desk of devices (tests/data/sample.tree) through the fake device stack,
# with a few hide-list entries and otherwise default settings.
#   tray.png    the notification area with the icon
#   menu.png    the device menu, opened by a click on the icon
#   setup.png   the Setup dialog (command ID_SETUP)
#   editor.png  the hide-entry editor (a double-click on a hide-list line)
#   about.png   the About box (command ID_ABOUT)
# Each picture is cut to what appeared on screen. A picture that shows
# nothing new is not written; the script then names it and exits 1.
# Uses its own Wine prefix (build/pictures/prefix), so test settings stay.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
sh scripts/deps.sh || exit 1
sh scripts/build.sh >/dev/null || exit 1
tree=$(sh scripts/wine-tree.sh)
[ "$tree" = build/win ] || echo "note: this host runs 64-bit user code only; the pictures show the 64-bit build ($tree)"
wine_run="$root/$tree/wine-run.sh"
probe() { "$wine_run" "$root/$tree/probe.exe" "$@"; }
export WINEPREFIX="$root/build/pictures/prefix"
out="$root/docs/images"
work=$(mktemp -d /tmp/vantrel-pictures.XXXXXX)
mkdir -p "$out" "$(dirname "$WINEPREFIX")"
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
finish() {
  "$wine_run" wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# A new prefix boots without the fake device stack's override.
[ -d "$WINEPREFIX" ] || "$wine_run" wineboot -i >/dev/null 2>&1
export WINEDLLOVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
export FAKEDEV_TREE="$root/tests/data/sample.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f
reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 800x600 /f
reg delete 'HKCU\Software\HALCYRA' /f
k=0
for prefix in "USB Input Device" "Bluetooth Radio" "Internal Card Reader"; do
  reg add 'HKCU\Software\HALCYRA\VANTREL\Disbale' /v "0$k" /d "$prefix" /f
  k=$((k + 1))
done
probe keep 600 >/dev/null 2>&1 &  # Wine closes a desktop with no process on it
sleep 2
(cd "$work" && "$wine_run" vantrel.exe >/dev/null 2>&1 &)
probe wait-window 30 || { echo "vantrel.exe did not start" >&2; exit 1; }
sleep 3

missing=""
shot() { import -window root "$work/$1.png"; }
# The smallest box holding two WxH+X+Y boxes.
union() {
  echo "$1 $2" | tr 'x+' '  ' | awk '{
    l = $3 < $7 ? $3 : $7; t = $4 < $8 ? $4 : $8
    r = $3 + $1 > $7 + $5 ? $3 + $1 : $7 + $5; b = $4 + $2 > $8 + $6 ? $4 + $2 : $8 + $6
    printf "%dx%d+%d+%d\n", r - l, b - t, l, t }'
}
# Saves what differs between two screenshots, cut to its bounding box, or
# to the box that also holds a given one; the taskbar's bottom rows are left
# out unless asked for (a dialog adds a taskbar button there).
save_diff() {  # name before after [full | WxH+X+Y]
  height=568
  [ "${4:-}" = full ] && height=600
  box=$(convert "$work/$2.png" "$work/$3.png" -compose difference -composite \
          -crop "800x$height+0+0" +repage -threshold 0 -format '%@' info: 2>/dev/null)
  w=${box%%x*}; rest=${box#*x}; h=${rest%%+*}
  if [ -z "$box" ] || [ "$w" -lt 40 ] || [ "$h" -lt 20 ] || [ "$w" -ge 800 ]; then
    echo "$1: nothing appeared; not saved"
    missing="$missing $1"
    return 1
  fi
  case ${4:-} in *x*+*+*) box=$(union "$box" "$4") ;; esac
  convert "$work/$3.png" -crop "$box" +repage -strip "$out/$1.png"
  echo "$1: $out/$1.png ($box)"
  geometry=$box
}

shot base
convert "$work/base.png" -crop 160x24+640+576 +repage -strip "$out/tray.png"
echo "tray: $out/tray.png"

xdotool mousemove 789 589 click 1
sleep 1
xdotool mousemove 400 300  # off the icon, so that its tip goes
sleep 2
shot menu
save_diff menu base menu full
xdotool mousemove 300 200 click 1  # a click elsewhere closes the menu
sleep 1
shot base

probe command 0x8011 >/dev/null
sleep 2
shot setup
if save_diff setup base setup; then
  # Line 1 of the hide list: the list sits at 76 to 152 of the dialog's 179
  # units of height, lines are about 8 units high; the caption is ~20 px.
  setup_box=$geometry
  x=${geometry#*+}; y=${x#*+}; x=${x%%+*}
  client_h=$((h - 22))
  cx=$((x + w * 60 / 191))
  cy=$((y + h - client_h + client_h * 88 / 179))
  # Select the line first, so that the double-click only opens the editor.
  # The editor opens centred over the Setup dialog; its picture shows both.
  xdotool mousemove "$cx" "$cy" click 1
  sleep 1
  shot selected
  xdotool click --repeat 2 --delay 120 1
  sleep 2
  shot editor
  save_diff editor selected editor "$setup_box"
  xdotool key Escape
  sleep 1
  xdotool key Escape
  sleep 1
else
  missing="$missing editor"
fi

shot base
probe command 0x8012 >/dev/null
sleep 2
shot about
save_diff about base about
xdotool key Return
sleep 1

probe command 0x8013 >/dev/null
probe wait-gone 20 >/dev/null || echo "note: vantrel.exe did not end; stopping Wine"
[ -z "$missing" ] || { echo "not made:$missing" >&2; exit 1; }
