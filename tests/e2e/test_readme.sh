#!/bin/sh
# The README's run command, both forms, as a newcomer meets it: a Wine
# prefix that does not exist yet and no display.
root=$(cd "$(dirname "$E2E_LIB")/../.." && pwd)
. "$root/scripts/winedesk.sh"
T=$(mktemp -d /tmp/vantrel-readme.XXXXXX)
desk_trap 'rm -rf "$T"'
FAILS=0
check() {  # what, then a command that must succeed
  what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; FAILS=$((FAILS + 1)); fi
}
saved() { [ -s "$1" ] && [ -n "$(find "$1" -newer "$T/start")" ]; }
left() { [ -z "$(desk_leftovers "$1")" ]; }

# form [list]: runs scripts/run.sh in a brand-new prefix; output in $T/out
form() {
  prefix="$T/prefix-$#"
  (unset DISPLAY VANTREL_DESK WINEDLLOVERRIDES
   cd "$root" && WINEPREFIX="$prefix" VANTREL_SKIP_BUILD=1 sh scripts/run.sh "$@") > "$T/out" 2>&1
  rc=$?
  sed 's/^/  | /' "$T/out"
  check "exit status 0" [ "$rc" -eq 0 ]
  check "nothing left running" left "$prefix"
}

form examples/eject-backup.ini
check "eject requests from the example list" grep -q '^  EJECT 20 .*name=USB Attached SCSI (UAS) Mass Storage Device$' "$T/out"

touch "$T/start"
form
check "the trace line" grep -qx '  VANTREL:UPDATE, 4 DEVICE FOUND.' "$T/out"
for shot in desktop tray menu; do
  file=$(grep -o "/.*/$shot\.png" "$T/out")
  check "$shot screenshot saved" saved "$file"
done
[ "$FAILS" -eq 0 ]
