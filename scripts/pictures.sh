#!/bin/sh
# Makes the pictures of the README and the user guide (docs/images/*.png)
# from the real program: vantrel.exe resident under Wine on the desk of
# scripts/winedesk.sh, on a Windows 10 desk of devices (tests/data/win10.tree)
# through the fake device stack, with three hide-list entries.
#   tray.png    the notification area with the icon
#   menu.png    the device menu, opened by a click on the icon, with the
#               notification area and a strip of desktop beside it; devices
#               that report a problem are shown (greyed) for it: the card
#               reader, ejected and still plugged in
#   setup.png   the Setup dialog (command ID_SETUP), default options
#   editor.png  the hide-entry editor over Setup, its list dropped down
#   about.png   the About box (command ID_ABOUT)
#   menu-144dpi.png  the device menu as menu.png, on a display set to 144 dpi
# Each picture is cut to what appeared on screen. A picture that shows
# nothing new is not written; the script then names it and exits 1.
# Uses its own Wine prefix (build/pictures/prefix), so test settings stay.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
die() { echo "pictures.sh: $*" >&2; exit 1; }
sh scripts/deps.sh || exit 1
sh scripts/build.sh >/dev/null || die "the build failed"
tree=$(sh scripts/wine-tree.sh)
[ "$tree" = build/win ] || echo "note: this host runs 64-bit user code only; the pictures show the 64-bit build ($tree)"

. scripts/winedesk.sh
desk_ids . || exit 1
export WINEPREFIX="$root/build/pictures/prefix"
out="$root/docs/images"
work=$(mktemp -d /tmp/vantrel-pictures.XXXXXX)
# The program's own waiting shell ends with the desk, before its folder goes.
desk_trap 'desk_end; wait; rm -rf "$work"'
mkdir -p "$out" "$(dirname "$WINEPREFIX")"
desk_begin "$tree" own || die "could not start Wine (see above)"
export WINEDLLOVERRIDES="$DESK_OVERRIDES"
cp "$tree/vantrel.exe" "$tree/setupapi.dll" "$work/"
cp "$root/tests/data/win10.tree" "$work/devices.tree"  # an eject rewrites it
export FAKEDEV_TREE="$work/devices.tree" FAKEDEV_EJECT_LOG="$work/eject.log"
probe() { "$WINE_RUN" "$PROBE_EXE" "$@"; }
dlg() { "$WINE_RUN" "$(dirname "$PROBE_EXE")/dlgprobe.exe" "$@"; }
reg() { "$WINE_RUN" reg "$@" >/dev/null 2>&1; }

shot() { import -window root "$work/$1.png"; }
differs() { ! compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>/dev/null; }
# Waits until the screen differs from picture $1, then until two captures
# in a row are alike, and keeps the last as picture $2.
changed() { shot "$2" && differs "$1" "$2"; }
steady() { cp "$work/$1.png" "$work/last.png" && shot "$1" && ! differs last "$1"; }
await() {  # before after
  poll 10 changed "$1" "$2" && poll 5 steady "$2"
}

tray_icon() { grep -q 'Shell_NotifyIconW dwMessage = 0' "$work/trace"; }
start_program() {
  rm -f "$work/rc"
  (cd "$work" && WINEDEBUG=-all,trace+systray "$WINE_RUN" vantrel.exe >/dev/null 2>"$work/trace"
   echo $? > "$work/rc") &
  probe wait-window 30 || die "vantrel.exe did not start"
  poll 10 tray_icon || die "vantrel.exe put no icon into the notification area"
}
stop_program() {
  probe command $ID_EXIT >/dev/null
  probe wait-gone 20 || die "vantrel.exe did not end on its exit command"
  poll 20 test -s "$work/rc" || die "vantrel.exe did not end"
}

# The smallest box holding two WxH+X+Y boxes.
union() {
  echo "$1 $2" | tr 'x+' '  ' | awk '{
    l = $3 < $7 ? $3 : $7; t = $4 < $8 ? $4 : $8
    r = $3 + $1 > $7 + $5 ? $3 + $1 : $7 + $5; b = $4 + $2 > $8 + $6 ? $4 + $2 : $8 + $6
    printf "%dx%d+%d+%d\n", r - l, b - t, l, t }'
}
# The box of what differs between two pictures, above the taskbar (a
# dialog adds a taskbar button there), or nothing when too little does.
diff_box() {  # before after
  box=$(convert "$work/$1.png" "$work/$2.png" -compose difference -composite \
          -crop 800x568+0+0 +repage -threshold 0 -format '%@' info: 2>/dev/null)
  w=${box%%x*}; rest=${box#*x}; h=${rest%%+*}
  [ -n "$box" ] && [ "$w" -ge 40 ] && [ "$h" -ge 20 ] && [ "$w" -lt 800 ] && echo "$box"
}
missing=""
# Saves picture $3 cut to box $4 as $1.png; a box that is empty names it.
save() {  # name box picture
  if [ -z "$2" ]; then
    echo "$1: nothing appeared; not saved"
    missing="$missing $1"
    return 1
  fi
  convert "$work/$3.png" -crop "$2" +repage -strip "$out/$1.png"
  echo "$1: $out/$1.png ($2)"
}

# The notification area's only icon sits at the bottom right of the desktop.
# A press too soon after the last click counts as a double-click, which
# opens nothing: try again once the double-click time has passed.
open_menu() {
  for _ in 1 2 3; do
    xdotool mousemove 789 589 click 1
    probe menu-wait 3 && return 0
    sleep 0.6
  done
  return 1
}

# Settings: three hide-list entries; for the menu, problem devices shown.
reg delete 'HKCU\Software\HALCYRA' /f
k=0
for prefix in "USB Input Device" "Bluetooth Radio" "Internal Card Reader"; do
  reg add 'HKCU\Software\HALCYRA\VANTREL\Disbale' /v "0$k" /d "$prefix" /f
  k=$((k + 1))
done
reg add 'HKCU\Software\HALCYRA\VANTREL' /v HideInvalid /t REG_DWORD /d 0 /f

xdotool mousemove 100 300
shot empty
start_program
await empty base || die "the tray icon did not appear"
save tray 160x24+640+576 base

# menu_picture NAME: opens the menu and saves it from a little left of and
# above it to the screen's corner.
menu_picture() {
  if ! open_menu; then
    echo "$1: a click on the tray icon opened no menu"
    missing="$missing $1"
    return
  fi
  xdotool mousemove 100 300  # off the icon, so that its tip goes
  await base menu
  box=$(diff_box base menu)
  if [ -n "$box" ]; then
    box=$(echo "$box" | tr 'x+' '  ' | awk '{
      l = $3 > 24 ? $3 - 24 : 0; t = $4 > 24 ? $4 - 24 : 0
      printf "%dx%d+%d+%d\n", 800 - l, 600 - t, l, t }')
  fi
  save "$1" "$box" menu
  probe menu-keys escape
  probe menu-gone 5 || die "the menu did not close"
}

# Windows keeps an ejected device, held, until it is pulled out, and tells
# the program the tree changed; the refresh modifies the icon.
probe command $((ID_DEVICE_BASE + 2)) >/dev/null
probe send 0x219 7 0 >/dev/null
poll 10 grep -q 'Shell_NotifyIconW dwMessage = 1' "$work/trace" || die "no refresh after the eject"
menu_picture menu
stop_program

# The dialogs with the default options.
reg delete 'HKCU\Software\HALCYRA\VANTREL' /v HideInvalid /f
start_program
poll 10 steady base

probe command $ID_SETUP >/dev/null
dlg wait Setup 20 && await base setup
setup_box=$(diff_box base setup)
if save setup "$setup_box" setup; then
  # The editor opens centred over the Setup dialog; its picture shows both.
  dlg dblclick Setup 1010 0 >/dev/null
  dlg wait "Hide device" 10 || die "the editor did not open"
  await setup editor_closed
  dlg dropdown "Hide device" 1010 >/dev/null
  await editor_closed editor
  box=$(diff_box setup editor)
  save editor "${box:+$(union "$box" "$setup_box")}" editor
  dlg click "Hide device" 2 >/dev/null
  dlg gone "Hide device" 10 || die "the editor did not close"
else
  missing="$missing editor"
fi
dlg click Setup 2 >/dev/null
dlg gone Setup 10 || die "Setup did not close"

poll 10 steady base
probe command $ID_ABOUT >/dev/null
dlg wait "About..." 20 && await base about
save about "$(diff_box base about)" about
dlg click "About..." 1 >/dev/null
dlg gone "About..." 10 || die "the About box did not close"

stop_program

# The menu at 144 dpi (150 %), which a program reads as it starts; the
# taskbar, started before, keeps its size.
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
reg add 'HKCU\Software\HALCYRA\VANTREL' /v HideInvalid /t REG_DWORD /d 0 /f
start_program
poll 10 steady base
menu_picture menu-144dpi
stop_program
reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f
[ -z "$missing" ] || die "not made:$missing"
