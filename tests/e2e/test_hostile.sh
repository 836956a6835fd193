#!/bin/sh
# Hostile stored settings, one per start: wrong types, texts without a
# terminator, 1 MiB texts, printf directives, hide entries at and past 255
# characters. Each start must come up, scan, survive a tray press, answer a
# rescan and end with 0; a hand-over then saves, which shows how the value
# was taken. Prints one table row per value.
. "$E2E_LIB"
export LC_ALL=C  # the table reads stored bytes that are not UTF-8
K=${KEY#HKCU\\}
H="$K\\Disbale"

# raw KEY NAME TYPE BYTES(printf %b): exactly these bytes, nothing added.
raw() { printf '%b' "$4" > "$T/raw"; probe regraw "$1" "$2" "$3" "$T/raw" || fail "store $2"; }
# big KEY NAME CHAR: 1 MiB of one letter, without a terminator.
big() { head -c 1048576 /dev/zero | tr '\0' "$3" > "$T/raw"; probe regraw "$1" "$2" 1 "$T/raw" || fail "store $2"; }
long() { printf "%${1}s" '' | tr ' ' "$2"; }

# case: description, value name shown in the table, shell code that stores it
run_case() {
  fresh_settings
  eval "$3"
  : > "$FAKEDEV_EJECT_LOG"
  start_resident
  scanned=$(grep -c 'VANTREL:UPDATE, [0-9]* DEVICE' "$T/resident.err")
  probe post $WM_TRAYNOTIFY 0 0x204 >/dev/null  # right button on the tray icon
  settle
  probe send 0x1F 0 0 >/dev/null        # WM_CANCELMODE closes a menu left open
  answered=$(probe send 0x111 $ID_SCAN 0 | tr -d '\r')
  settle
  rescans=$(trace_count)
  probe command $ID_SHOWICON >/dev/null; settle  # a hand-over: saves the settings
  stop_resident
  crash=$(grep -ciE 'unhandled|page fault|err:seh|assert' "$T/resident.err")
  stored=$(reg_values "HKCU\\$4" /v "$2")
  saved=$(printf '%s' "$stored" | sed -n "s/^ *$2    \(REG_[A-Z_]*\)    \(.*\)$/\1 [\2]/p" | cut -c1-40)
  length=$(printf '%s' "$stored" | sed -n "s/^ *$2    REG_SZ    \(.*\)$/\1/p" | tr -d '\n' | wc -c)
  printf 'row | %-44s | %s | saved: %s (%s chars)\n' "$1" \
    "start=$scanned scan=$answered rescans=$rescans exit=$(cat "$T/resident.rc") crash=$crash" \
    "${saved:-none}" "$length"
  expect_eq "$1: came up and scanned once" "$scanned" 1
  expect_eq "$1: answered a rescan" "$answered $rescans" "0 2"
  expect_eq "$1: ended with 0, no fault" "$(cat "$T/resident.rc") $crash" "0 0"
}

run_case "Separator as REG_SZ \"1\"" Separator "reg_set 'HKCU\\$K' Separator REG_SZ 1" "$K"
run_case "ChildOnly as empty REG_SZ" ChildOnly "raw '$K' ChildOnly 1 ''" "$K"
run_case "HideInvalid as 2-byte REG_BINARY" HideInvalid "raw '$K' HideInvalid 3 '\\0\\0'" "$K"
run_case "HideWPD as 8-byte REG_BINARY" HideWPD "raw '$K' HideWPD 3 '\\1\\2\\3\\4\\5\\6\\7\\10'" "$K"
run_case "AutoShow as REG_MULTI_SZ" AutoShow "raw '$K' AutoShow 7 'a\\0b\\0\\0'" "$K"
run_case "Separator 0xFFFFFFFF" Separator "reg_set 'HKCU\\$K' Separator REG_DWORD 4294967295" "$K"
run_case "ChildForm as REG_DWORD" ChildForm "reg_set 'HKCU\\$K' ChildForm REG_DWORD 1094861636" "$K"
run_case "ChildForm %n%n%n%n" ChildForm "raw '$K' ChildForm 1 '%n%n%n%n'" "$K"
run_case "ChildForm %x%x%x%x" ChildForm "raw '$K' ChildForm 1 '%x%x%x%x'" "$K"
run_case "ChildForm %s%s%s" ChildForm "raw '$K' ChildForm 1 '%s%s%s'" "$K"
run_case "ChildForm 32 chars, no terminator" ChildForm "raw '$K' ChildForm 1 '$(long 32 F)'" "$K"
run_case "ChildForm 1 MiB, no terminator" ChildForm "big '$K' ChildForm F" "$K"
run_case "ChildForm CP932 lead byte at the end" ChildForm "raw '$K' ChildForm 1 '%s\\203'" "$K"
run_case "ChildSpace 1 MiB, no terminator" ChildSpace "big '$K' ChildSpace S" "$K"
run_case "ChildSpace REG_BINARY a<NUL>b" ChildSpace "raw '$K' ChildSpace 3 'a\\0b'" "$K"
run_case "ChildSpace REG_EXPAND_SZ %PATH%" ChildSpace "raw '$K' ChildSpace 2 '%PATH%\\0'" "$K"
run_case "hide 00 of 255 chars" 00 "raw '$H' 00 1 '$(long 255 U)'" "$H"
run_case "hide 01 of 256 chars" 01 "raw '$H' 01 1 '$(long 256 U)'" "$H"
run_case "hide 02 of 1 MiB, no terminator" 02 "big '$H' 02 U" "$H"
run_case "hide 03 as REG_DWORD" 03 "reg_set 'HKCU\\$H' 03 REG_DWORD 85" "$H"
run_case "hide 31 %s%n%x" 31 "raw '$H' 31 1 '%s%n%x'" "$H"
run_case "hide 04 without terminator" 04 "raw '$H' 04 1 'Slim'" "$H"
run_case "hide 32 (past the list)" 32 "raw '$H' 32 1 'USB'" "$H"
run_case "hide 05 empty, 06 set" 06 "raw '$H' 05 1 ''; raw '$H' 06 1 'Pocket'" "$H"
fresh_settings
finish
