#!/bin/sh
# The About box on the real exe: its own version strings, one OK button,
# and no second box while one is open.
. "$E2E_LIB"
start_resident

# The exe's strings, read by the helper itself.
dlg version "$(winpath "$APP/vantrel.exe")" | tr -d '\r' > "$T/version" || fail "no version block"
{ read -r description; read -r version; read -r copyright; } < "$T/version"
case "$description$version$copyright" in
  *"(none)"*|"") fail "the exe lacks a version string: $(cat "$T/version")" ;;
esac

open_dlg $ID_ABOUT "About..."
shot about
expect_eq "text" "$(dlg text "About..." 0xffff | tr -d '\r')" \
  "$(printf '%s (x86)\nVersion %s\n\n%s' "$description" "$version" "$copyright")"
dlg controls "About..." "MS Shell Dlg" 8 | tr -d '\r' > "$T/controls"
expect_eq "one OK button" "$(awk -F'|' '$2 == "Button" { print $1 ":" $3 }' "$T/controls")" "1:OK"
expect_eq "information icon" "$(awk -F'|' '$2 == "Static" && $4 ~ /03$/' "$T/controls" | wc -l)" 1  # SS_ICON

probe command $ID_ABOUT >/dev/null
settle 2
expect_eq "a second About opens no second box" "$(dlg count "About..." | tr -d '\r')" 1

press "About..." 1 OK
probe command $ID_ABOUT >/dev/null
expect_rc "closed, it opens again" 0 dlg wait "About..." 20
press "About..." 1 OK

stop_resident
finish
