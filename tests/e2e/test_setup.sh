#!/bin/sh
# The Setup dialog and the hide-entry editor on the real exe: the controls
# against the templates, OK and CANCEL in the registry, the editor on one
# line, and no device menu while Setup is open.
. "$E2E_LIB"
reg_set "$KEY\\Disbale" 05 REG_SZ Pocket
start_resident

# The templates as tabled: id|class|text|style|exstyle|x,y|width x height.
cat > "$T/setup.want" <<'TABLE'
dialog Setup style=0x80c80040 exstyle=0x00000000 at=0,0 size=191x179 font=9,Arial menu= class=
1000|BUTTON|Enable device &separator|0x50010003|0x0|8,6|176x8
1001|BUTTON|Display &child device only|0x50010003|0x0|8,17|176x8
1002|BUTTON|Hide &invalid device|0x50010003|0x0|8,30|176x8
1004|BUTTON|Enable &auto show tray icon|0x50010003|0x0|8,52|176x8
-1|STATIC|&Hide device list|0x50020200|0x0|9,65|174x8
1010|LISTBOX||0x50a10103|0x0|8,76|176x76
1|BUTTON|OK|0x50010001|0x0|94,158|44x16
2|BUTTON|CANCEL|0x50010000|0x0|140,158|44x16
1003|BUTTON|Hide &portable device|0x50010003|0x0|8,41|176x8
TABLE
cat > "$T/editor.want" <<'TABLE'
dialog Hide device style=0x80c000c0 exstyle=0x00000000 at=0,0 size=208x47 font=8,Arial menu= class=
1|BUTTON|OK|0x50010001|0x0|68,28|44x16
1011|BUTTON|REMOVE|0x50010000|0x0|114,28|44x16
2|BUTTON|CANCEL|0x50010000|0x0|160,28|44x16
1010|COMBOBOX||0x50210502|0x0|4,4|200x166
TABLE
exe="$(winpath "$APP/vantrel.exe")"
expect_eq "Setup template" "$(dlg template "$exe" 100)" "$(cat "$T/setup.want")"
expect_eq "editor template" "$(dlg template "$exe" 101)" "$(cat "$T/editor.want")"

# The live dialog against the same table. What the system itself changes
# is put back first: the dialog gains WS_VISIBLE, WS_CLIPSIBLINGS and
# DS_3DLOOK; WS_BORDER on a control becomes WS_EX_CLIENTEDGE; a combo box
# hands WS_VSCROLL to its list and measures its edit field only, so its
# height is the template's alone.
live() {  # title face points
  dlg controls "$1" "$2" "$3" | tr -d '\r' | while IFS='|' read -r id cls text style ex pos size; do
    case $id in
      dialog*)
        s=$(echo "$id" | sed 's/.* style=\(0x[0-9a-f]*\) .*/\1/')
        printf 'dialog %s style=0x%08x\n' "$1" $((s & ~0x14000004))
        continue ;;
    esac
    [ $((ex & 0x200)) -ne 0 ] && style=$((style | 0x00800000))
    # A combo box's text is its edit field's, checked on its own below.
    [ "$cls" = ComboBox ] && { style=$((style | 0x00200000)); size="${size%x*}x-"; text=; }
    printf '%s|%s|%s|0x%08x|%s|%s\n' "$id" "$(echo "$cls" | tr a-z A-Z)" "$text" "$style" "$pos" "$size"
  done
}
table() {  # the wanted lines in the live form
  awk -F'|' -v OFS='|' '
    /^dialog/ { sub(/ exstyle=.*/, ""); print; next }
    { size = $7; if ($2 == "COMBOBOX") sub(/x.*/, "x-", size); print $1, $2, $3, $4, $6, size }' "$1"
}
checks() { for id in "$@"; do dlg checked Setup "$id"; done | tr -d '\r\n'; }  # Setup's boxes: 0 or 1 each
# Everything stored under the program's key, values and data.
stored() { "$WINE_RUN" reg query "${KEY%\\*}" /s 2>/dev/null | tr -d '\r'; }

# The control for the check below: with Setup closed a press opens the menu.
open_menu
xdotool mousemove 400 100 click 1
probe menu-gone 5 || fail "the device menu did not close"

open_dlg $ID_SETUP Setup
expect_eq "Setup on screen as tabled" "$(live Setup Arial 9)" "$(table "$T/setup.want")"
expect_eq "client area in dialog units" "$(dlg controls Setup Arial 9 | head -1 | sed 's/.*client=//' | tr -d '\r')" "191x179"
expect_eq "32 lines, entry 5 on line 5" "$(dlg lines Setup 1010 | tr -d '\r' | awk '{print NR-1 ":" $0}' | grep -v ':$')" "5:Pocket"
expect_eq "32 lines" "$(dlg lines Setup 1010 | wc -l)" 32
expect_eq "stored defaults shown" "$(checks 1000 1001 1002 1004)" "1010"
shot setup

# While Setup is open a press on the tray icon opens no menu.
expect_eq "no device menu while Setup is open" "$(tray_press >/dev/null && echo opened)" ""

# Line 5 in the editor: its text, every scanned name, owned by Setup.
before=$(trace_count)
dlg click Setup 1001 >/dev/null
dlg dblclick Setup 1010 5 >/dev/null
dlg wait "Hide device" 10 || fail "the editor did not open"
expect_eq "editor on screen as tabled" "$(live "Hide device" Arial 8)" "$(table "$T/editor.want")"
expect_eq "editor holds line 5" "$(dlg text "Hide device" 1010 | tr -d '\r')" "Pocket"
expect_eq "editor owned by Setup" "$(dlg owner "Hide device" | tr -d '\r')" "Setup"
expect_eq "scanned names, sorted, hidden ones too" "$(dlg items "Hide device" 1010 | tr -d '\r' | tr '\n' ';')" \
  "Archive (E:);Archive Disk 2TB;Dual Slot Card Reader;External SCSI Enclosure;Generic volume;HID-compliant mouse;Holiday Photos (F:);Kingfisher DataStick USB Device;Nimbus Phone X2;Office Laser 2100;Pocket Player 8GB;SATA Bridge Controller;SD Card Slot;Slim Optical Writer;USB Input Device;USB Mass Storage Device;"
dlg dropdown "Hide device" 1010 >/dev/null
settle
shot editor
dlg settext "Hide device" 1010 "Typed Name" >/dev/null
press "Hide device" 1 OK
settle
expect_eq "editor OK replaces line 5" "$(dlg lines Setup 1010 | tr -d '\r' | sed -n 6p)" "Typed Name"
expect_eq "and selects it" "$(dlg selected Setup 1010 | tr -d '\r')" 5
expect_eq "editor OK rescans" "$(trace_count)" $((before + 1))
expect_eq "nothing stored yet" "$(stored | grep -c REG_)" 1

press Setup 1 OK
settle
expect_eq "OK rescans" "$(trace_count)" $((before + 2))
expect_eq "OK stores the toggled box" "$(reg_value "$KEY" ChildOnly)" 0x1
expect_eq "and the other settings" "$(reg_value "$KEY" Separator)" 0x1
expect_eq "and the edited line" "$(reg_value "$KEY\\Disbale" 05)" "Typed Name"

# CANCEL after a toggle and a REMOVE stores nothing.
snapshot=$(stored)
open_dlg $ID_SETUP Setup again
expect_eq "Setup shows what was stored" "$(checks 1001)" 1
dlg click Setup 1000 >/dev/null
dlg dblclick Setup 1010 5 >/dev/null
dlg wait "Hide device" 10 || fail "the editor did not open again"
press "Hide device" 1011 REMOVE
settle
expect_eq "REMOVE empties the line" "$(dlg lines Setup 1010 | tr -d '\r' | sed -n 6p)" ""
press Setup 2 CANCEL
settle
expect_eq "CANCEL stores nothing" "$(stored)" "$snapshot"
stop_resident

# Settings an administrator imported before the first start: Setup shows them.
fresh_settings
printf '%s\r\n' REGEDIT4 '' "[$(echo "$KEY" | sed 's/^HKCU/HKEY_CURRENT_USER/')]" '"Separator"=dword:00000000' \
  '"ChildOnly"=dword:00000001' '"HideInvalid"=dword:00000000' '"HideWPD"=dword:00000001' \
  '"AutoShow"=dword:00000001' '"ChildForm"="%s> %s"' '' \
  "[$(echo "$KEY" | sed 's/^HKCU/HKEY_CURRENT_USER/')\\Disbale]" '"03"="Office"' > "$T/admin.reg"
(cd "$T" && "$WINE_RUN" regedit /s admin.reg)
start_resident
open_dlg $ID_SETUP Setup "on the imported settings"
expect_eq "imported settings shown" "$(checks 1000 1001 1002 1003 1004) $(dlg lines Setup 1010 | tr -d '\r' | sed -n 4p)" \
  "01011 Office"
press Setup 2 CANCEL
stop_resident
finish
