#!/bin/sh
# The device menu on the sample desk: a click on the tray icon opens it, the
# items it holds (read back from Wine's menu trace), choosing a device or
# "&Exit", a click elsewhere, and a choice made after the table moved under
# the open menu.
. "$E2E_LIB"
# The sample desk back in place and rescanned, no eject requests logged.
restore() { replug; probe arrival >/dev/null; settle; }

# Items of the last menu built, as Wine's menu trace logged them:
# "id text" with " *" for a bitmap and " grey" for a greyed item; "--" for a
# separator. A SetMenuItemInfoA changes an item already listed.
menu_items() {
  awk '
    /create_menu return/ { n = 0; setinfo = 0 }
    /SetMenuItemInfoA/ { setinfo = 1; next }
    /set_menu_item_info to:/ {
      id = $0; sub(/.*ID=/, "", id); sub(/[ ,].*/, "", id)
      if (index($0, "fType=sep")) { line = "--" }
      else {
        text = $0; sub(/.*Text=L"/, "", text); sub(/", hbitmap=.*|"  }.*/, "", text)
        line = id " " text (index($0, "hbitmap=") ? " *" : "") (index($0, "State=grey") ? " grey" : "")
      }
      if (setinfo) { for (k = 1; k <= n; k++) if (substr(item[k], 1, length(id) + 1) == id " ") { item[k] = line; break } }
      else item[++n] = line
      setinfo = 0
    }
    END { for (k = 1; k <= n; k++) print item[k] }' "$T/resident.err"
}

# Chooses the item with this exact text from the open menu: one Down per
# item up to it (separators are skipped, greyed items are not), then Return.
choose() {
  k=$(menu_items | grep -v '^--$' | sed 's/^[^ ]* //; s/ \*$//; s/ \* grey$//; s/ grey$//' |
      grep -n -x -F "$1" | head -1 | cut -d: -f1)
  [ -n "$k" ] || fail "no item \"$1\" in the menu"
  probe menu-keys $(seq "$k" | sed 's/.*/down/') return || fail "could not choose \"$1\""
  settle
}
# An eject as Windows makes it: the choice, then the tree-change broadcast.
eject() { choose "$1"; probe send 0x219 7 0 >/dev/null; settle; }

# Problem devices shown, so the camera's own entry is greyed.
reg_set "$KEY" HideInvalid REG_DWORD 0
start_resident trace+menu
open_menu
expect_eq "the items put into the menu" "$(menu_items)" "$(cat <<'MENU'
0x8100 USB Mass Storage Device *
0x8100 + Kingfisher DataStick USB Device *
0x8100  + Generic volume *
--
0x8101 Pocket Player 8GB *
--
0x8102 USB Input Device *
0x8102 + HID-compliant mouse *
--
0x8103 Slim Optical Writer *
--
0x8104 Office Laser 2100
--
0x8105 External SCSI Enclosure *
0x8105 + SATA Bridge Controller *
0x8105  + Archive Disk 2TB *
0x8105   + Archive (E:) *
--
0x8106 Nimbus Phone X2 *
--
0x8107 Dual Slot Card Reader *
0x8107 + SD Card Slot *
0x8107  + Holiday Photos (F:) *
--
0x8108 Trail Camera * grey
0x8108 + Trail Camera Storage *
--
0x8010 &Scan *
0x8011 &Setup... *
0x8012 &About... *
--
0x8013 &Exit *
MENU
)"

choose "Slim Optical Writer"
expect_rc "choosing a device closes the menu" 0 probe menu-gone 5
expect_ejects "and ejects exactly that device" "40 Slim Optical Writer"

open_menu
choose " + Archive Disk 2TB"
expect_ejects "a chain line ejects its device" "60 External SCSI Enclosure"

# The player is pulled out while the menu is open: the broadcast rescans
# behind the menu, which still shows the old table. The optical writer
# chosen from it is what gets ejected, not what now sits at its index.
open_menu
before=$(trace_count)
grep -v '^20 ' "$T/desk.tree" > "$FAKEDEV_TREE"
probe arrival >/dev/null; settle
expect_eq "the table was rescanned under the open menu" "$(trace_count)" $((before + 1))
choose "Slim Optical Writer"
expect_ejects "the choice still ejects the device it named" "40 Slim Optical Writer"
# The same again for a device pulled out: its entry then ejects nothing.
open_menu
grep -v '^40 ' "$T/desk.tree" | grep -v '^20 ' > "$FAKEDEV_TREE"
probe arrival >/dev/null; settle
choose "Slim Optical Writer"
expect_eq "the choice closed the menu" "$(probe menu-gone 5 && echo gone)" gone
expect_ejects "a device gone since the menu opened is not replaced" ""
restore

# An eject as Windows makes it: the device stays, held with a problem and
# nothing below it, and the tree-change broadcast that follows rescans.
open_menu
eject "External SCSI Enclosure"
open_menu
expect_eq "ejected, shown: greyed, no lines below" "$(menu_items | sed -n '/External/,/^--$/p')" \
  "$(printf '0x8105 External SCSI Enclosure * grey\n--')"
probe menu-keys escape; probe menu-gone 5
# A device in use refuses: nothing changes.
sed -i '/^50 /s/$/ | veto/' "$FAKEDEV_TREE"
open_menu
before=$(menu_items) stored=$(reg_values 'HKCU\Software\HALCYRA' /s)
: > "$FAKEDEV_EJECT_LOG"
eject "Office Laser 2100"
expect_ejects "a refused eject was asked" "50 Office Laser 2100"
expect_eq "and the program still answers" "$(probe send 0x218 7 0)" 1
open_menu
expect_eq "the menu after it is the same" "$(menu_items)" "$before"
expect_eq "and so are the settings" "$(reg_values 'HKCU\Software\HALCYRA' /s)" "$stored"
probe menu-keys escape; probe menu-gone 5
restore

open_menu
xdotool mousemove 300 200 click 1
expect_rc "a click elsewhere closes the menu" 0 probe menu-gone 5
expect_rc "and the program keeps running" 0 probe wait-window 1
expect_eq "without ejecting anything" "$(ejects)" ""

open_menu
choose "&Exit"
expect_rc "\"&Exit\" ends the program" 0 probe wait-gone 20
RESIDENT=""
expect_eq "exit code" "$(exit_code resident)" 0

# "Hide invalid device" on (the default) and auto show, with two devices
# visible: an ejected one leaves the menu, the last one takes the icon.
fresh_settings
reg_set "$KEY" AutoShow REG_DWORD 1
hide_list USB Office External Nimbus Dual
start_resident trace+menu,trace+systray
open_menu
eject "Slim Optical Writer"
open_menu
expect_eq "ejected, hidden: gone from the menu" "$(menu_items | grep '^0x81[0-9a-f][0-9a-f] ')" \
  "0x8101 Pocket Player 8GB *"
before=$(tray_calls)
eject "Pocket Player 8GB"
expect_eq "the last visible device ejected: the icon goes" "$(tray_calls)" "${before}2"
stop_resident
fresh_settings  # the run command's prefix too
finish
