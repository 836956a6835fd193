# Shared by test_setup.sh and test_about.sh, after lib.sh: the dialog
# helper, the screenshot folder and the stored settings.
DLGPROBE_EXE="$(dirname "$PROBE_EXE")/dlgprobe.exe"
SHOTS="$(cd "$E2E_DATA/../.." && pwd)/build/screenshots"
mkdir -p "$SHOTS"

dlg() { "$WINE_RUN" "$DLGPROBE_EXE" "$@"; }
shot() { import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }

# Everything stored under the program's key, values and data.
stored() { "$WINE_RUN" reg query "${KEY%\\*}" /s 2>/dev/null | tr -d '\r'; }
stored_value() {  # key value
  "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p"
}
