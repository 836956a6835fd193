#!/bin/sh
# Start-up paths: a tampered file, a lock held by someone else, auto-show
# with nothing to show, a notification area that refuses the icon, and an
# icon file beside the program.
. "$E2E_LIB"

# Any changed byte ends the program before it does anything.
# (The second byte is in the resources: a byte of the C runtime's own start-up
# tables, which run before the check can, may crash instead.)
tampered() { run_line "$1" tampered.exe 2>>"$T/tampered.err"; }
for offset in 200 $(( $(wc -c < "$APP/vantrel.exe") - 2000 )); do
  cp "$APP/vantrel.exe" "$APP/tampered.exe"; : > "$T/tampered.err"
  byte=$(od -An -tu1 -j "$offset" -N1 "$APP/tampered.exe" | tr -d ' ')
  printf "$(printf '\\%03o' $(( byte ^ 1 )))" |
    dd of="$APP/tampered.exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
  cmp -s "$APP/vantrel.exe" "$APP/tampered.exe" && fail "byte $offset was not changed"
  expect_rc "tampered at $offset: exit code" 0 tampered "$(list_file Slim)"
  expect_eq "tampered at $offset: no eject" "$(ejects)" ""
  expect_rc "tampered at $offset: resident start ends at once" 0 tampered ""
  expect_eq "tampered at $offset: no trace line" "$(grep -c VANTREL "$T/tampered.err")" 0
done
expect_rc "tampered: no registry key" 1 "$WINE_RUN" reg query "${KEY%\\*}"
expect_rc "tampered: no lock left" 1 probe mutex-exists VANTREL

# The lock held by a process without the window: the second program says so
# and leaves cleanly.
"$WINE_RUN" "$PROBE_EXE" hold-mutex VANTREL 30 > "$T/holder.out" 2>/dev/null &
holder=$!
poll 20 test -s "$T/holder.out"
bg_run locked env WINEDEBUG=-all "$WINE_RUN" vantrel.exe 2>/dev/null
expect_eq "error box text" "$(probe msgbox 30)" "ALREADY EXECUTED."
expect_eq "exit code after the error box" "$(exit_code locked)" 0
expect_rc "no window left" 0 probe wait-gone 10
kill "$holder" 2>/dev/null

# Auto-show with every device hidden: a delete, never an add, until a
# visible device arrives.
reg_set "$KEY" AutoShow REG_DWORD 1
hide_list USB Pocket Slim Office External Nimbus Dual
start_resident
expect_eq "all hidden: no icon" "$(tray_calls)" "2"
cat >> "$FAKEDEV_TREE" <<'TREE'
80 | 2 | 0x6180 | 0 | {36FC9E60-C465-11CF-8056-444553540000} | Travel Drive | -
TREE
probe arrival >/dev/null; settle
expect_eq "a visible device arrives: icon added" "$(tray_calls)" "20"
stop_resident

# A notification area not up yet (as at logon) refuses the first add: the
# next update, here a second start, adds the icon again.
fresh_settings
probe stand-in-tray 1 30 > "$T/tray.log" &
standin=$!
poll 20 grep -q up "$T/tray.log" || fail "the stand-in notification area did not come up"
start_resident
run_line ""
settle
stop_resident
wait "$standin"
expect_eq "a refused icon is added again" "$(tr '\n' ' ' < "$T/tray.log")" "up 0 refused 0 taken 2 taken "

# An icon file beside the program is preferred to the built-in one.
fresh_settings
cp "$E2E_DATA/../../res/icons/200.ico" "$APP/VANTRL.ICO"
start_resident
expect_eq "icon file loaded" "$(grep -c -i 'vantrl.ico' "$T/resident.err" | sed 's/^[1-9][0-9]*$/yes/')" yes
expect_eq "and shown" "$(tray_calls)" "0"
stop_resident
finish
