# Shared by test_setup.sh and test_about.sh, after lib.sh: the dialog
# helper, the screenshot folder and the stored settings.
DLGPROBE_EXE="$(dirname "$PROBE_EXE")/dlgprobe.exe"
SHOTS="$(cd "$E2E_DATA/../.." && pwd)/build/screenshots"
mkdir -p "$SHOTS"

dlg() { "$WINE_RUN" "$DLGPROBE_EXE" "$@"; }
# The command opens the dialog, the button closes it; each fails the test otherwise.
open_dlg() { probe command "$1" >/dev/null; dlg wait "$2" 20 || fail "$2 did not open${3:+ $3}"; }
press() { dlg click "$1" "$2" >/dev/null; dlg gone "$1" 10 || fail "$1 did not close on ${3:-button $2}"; }
shot() { import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }

# Everything stored under the program's key, values and data.
stored() { "$WINE_RUN" reg query "${KEY%\\*}" /s 2>/dev/null | tr -d '\r'; }
stored_value() {  # key value
  "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}
