#!/bin/sh
# The smoke run (resident start, tray press, a device eject, a batch run)
# with Wine reporting Windows XP, 7 and 10: the foreground handling before a
# menu branches on the reported version.
. "$E2E_LIB"
was=$("$WINE_RUN" winecfg -v 2>/dev/null | tr -d '\r' | tail -1)
desk_trap '"$WINE_RUN" winecfg -v "${was:-win7}" >/dev/null 2>&1; cleanup'
list=$(list_file Slim)

for v in winxp:5.1 win7:6.1 win10:10.0; do
  name=${v%%:*}
  "$WINE_RUN" winecfg -v "$name" >/dev/null 2>&1
  expect_eq "$name: reported" \
    "$("$WINE_RUN" cmd /c ver 2>/dev/null | tr -d '\r' | grep -o "Windows ${v#*:}\.")" \
    "Windows ${v#*:}."
  replug
  start_resident
  probe post $WM_TRAYNOTIFY 0 0x205 >/dev/null  # right button up: ignored
  probe post $WM_TRAYNOTIFY 0 0x201 >/dev/null  # left button down: the menu
  settle
  probe send 0x1F 0 0 >/dev/null        # WM_CANCELMODE closes the menu
  device_command 3 "$name: the fourth device ejects" "40 Slim Optical Writer"
  stop_resident "$name: resident exit code"
  expect_eq "$name: no fault" "$(grep -ciE 'unhandled|page fault|err:seh' "$T/resident.err")" 0
  batch_run "$name: batch ejects" "$list" "40 Slim Optical Writer"
  expect_eq "$name: batch exit code" "$rc" 0
done
finish
