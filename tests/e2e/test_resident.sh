#!/bin/sh
# Resident mode on the sample desk: the icon, what rescans and what does
# not, device commands, the hand-over from a second start, and the exit.
. "$E2E_LIB"

start_resident
expect_eq "one refresh at start, seeing the fake devices" \
  "$(grep -o 'UPDATE, [0-9]* DEVICE' "$T/resident.err")" "UPDATE, 8 DEVICE"
expect_eq "icon added" "$(tray_calls)" "0"
expect_rc "settings keys created on first start" 0 "$WINE_RUN" reg query "$KEY\\Disbale"
expect_eq "no settings values yet" "$(reg_values "$KEY" | wc -l)" 0

probe arrival >/dev/null; settle
expect_eq "device arrival rescans" "$(trace_count)" 2
probe removal >/dev/null; settle
expect_eq "removal-complete does not" "$(trace_count)" 2
probe send 0x219 0x0007 0 >/dev/null; settle
expect_eq "device-tree change rescans" "$(trace_count)" 3
expect_eq "resume answers 1" "$(probe send 0x218 7 0)" 1
settle
expect_eq "resume rescans" "$(trace_count)" 4
expect_eq "suspend answers 0" "$(probe send 0x218 4 0)" 0
settle
expect_eq "suspend does not rescan" "$(trace_count)" 4
expect_eq "the icon follows every refresh" "$(tray_calls)" "0111"

# A device pulled out while running: the next broadcast sees it gone.
grep -v '^20 ' "$FAKEDEV_TREE" > "$T/t" && cp "$T/t" "$FAKEDEV_TREE"
probe arrival >/dev/null; settle
expect_eq "rescan sees the change" "$(grep -o 'UPDATE, [0-9]*' "$T/resident.err" | tail -1)" "UPDATE, 7"

# Table order now: 10, 30, 40, 50, 60, 110, 120 (camera 130 has a problem).
device_command 2 "device command ejects its record" "40 Slim Optical Writer"
device_command 7 "an id at the table count does nothing" ""
device_command 6 "the last record" "120 Dual Slot Card Reader"

before=$(tray_calls)
probe taskbar-created >/dev/null; settle
expect_eq "taskbar re-creation re-adds the icon" "$(tray_calls)" "${before}0"

# A list file while resident runs: batch mode all the same.
batch_run "batch beside a resident instance ejects" "$(list_file Slim)" "40 Slim Optical Writer"
expect_eq "and exits 0" "$rc" 0

# A second plain start hands over: auto-show off, icon shown, settings stored.
reg_set "$KEY" AutoShow REG_DWORD 1
before=$(tray_calls)
expect_rc "second start exits 0" 0 run_line ""
settle
expect_eq "the running instance shows its icon" "$(tray_calls)" "${before}1"
expect_eq "seven settings stored" "$(reg_values "$KEY" | wc -l)" 7
expect_eq "auto-show turned off" "$(reg_values "$KEY" | grep -o 'AutoShow *REG_DWORD *0x[0-9]*' | sed 's/.* //')" 0x0
expect_eq "still one resident process" "$(desk_leftovers | grep -c ' vantrel\.exe$')" 1

before=$(tray_calls)
stop_resident "exit code"
expect_eq "exit removes the icon" "$(tray_calls)" "${before}22"
expect_rc "lock released" 1 probe mutex-exists VANTREL
finish
