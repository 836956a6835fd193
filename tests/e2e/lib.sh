# Shared by the end-to-end scripts. They run the real vantrel.exe under Wine
# with the fake device stack beside it, and a probe that plays the system.
# CTest passes VANTREL_EXE, FAKEDEV_DLL, PROBE_EXE, WINE_RUN and E2E_DATA.
# The Wine desk (display, prefix, desktop) is the test runner's, or, for
# a script run on its own, one of the script's own, ended with it. Each
# script starts with the desktop up and no stored settings.
set -u
. "$(dirname "$E2E_LIB")/../../scripts/winedesk.sh"
desk_ids "$(dirname "$E2E_LIB")/../.." || exit 1

T=$(mktemp -d /tmp/vantrel-e2e.XXXXXX)
APP="$T/app"
mkdir -p "$APP"
cp "$VANTREL_EXE" "$FAKEDEV_DLL" "$APP/"
export FAKEDEV_TREE="$T/devices.tree"
export FAKEDEV_EJECT_LOG="$T/eject.log"
export FAKEDEV_COUNTS="$T/counts"
cp "$E2E_DATA/sample.tree" "$T/desk.tree"
# Every device plugged in again as the desk began ($T/desk.tree), no eject
# requests logged: an eject leaves its device held, as on Windows, until it
# is pulled out.
replug() { cp "$T/desk.tree" "$FAKEDEV_TREE"; : > "$FAKEDEV_EJECT_LOG"; }
replug

RESIDENT=""
FAILS=0
fail() { echo "FAIL: $*" >&2; exit 1; }

cleanup() {
  [ -z "$RESIDENT" ] || [ -n "${DESK_SIGNALLED:-}" ] || end_resident 10 >/dev/null 2>&1
  rm -rf "$T"
}
desk_trap cleanup
desk_begin "$(dirname "$WINE_RUN")" own || fail "no Wine desk"
export WINEDLLOVERRIDES="$DESK_OVERRIDES"

# A display and a virtual desktop with a taskbar, shared by every Wine
# process of the prefix: a script that joined a desk finds it still there.
desk_desktop_up || fail "no Wine desktop on ${DISPLAY:-no display}"

# The program's settings key; fresh_settings removes it with its parent.
KEY='HKCU\Software\HALCYRA\VANTREL'
fresh_settings() { "$WINE_RUN" reg delete "${KEY%\\*}" /f >/dev/null 2>&1; }
fresh_settings

probe() { "$WINE_RUN" "$PROBE_EXE" "$@"; }

# Runs a command from the program's folder in the background, its exit code
# then in $T/NAME.rc: NAME COMMAND... (the call's redirections go to it).
bg_run() { bg_rc="$T/$1.rc"; shift; rm -f "$bg_rc"; (cd "$APP" && "$@"; echo $? > "$bg_rc") & }
# The exit code of the run NAME once it ended; false if it does not end.
exit_code() { poll 20 test -s "$T/$1.rc" && cat "$T/$1.rc"; }

# Runs vantrel.exe (or EXE beside it) with exactly this command-line tail
# (Wine's own argument passing would quote it): TAIL [EXE]. Its trace lines
# go to stderr.
run_line() {
  (cd "$APP" && WINEDEBUG=-all,warn+debugstr "$WINE_RUN" "$PROBE_EXE" run "${2:-vantrel.exe}" "$1")
}

# start_resident [CHANNELS]: Wine trace channels beside the program's own
# lines (default: the tray calls).
start_resident() {
  bg_run resident env WINEDEBUG="-all,warn+debugstr,${1:-trace+systray,trace+cursor}" "$WINE_RUN" vantrel.exe \
    >"$T/resident.out" 2>"$T/resident.err"
  RESIDENT=1
  probe wait-window 30 || fail "the resident window did not appear"
  poll 10 grep -q 'VANTREL:' "$T/resident.err" || fail "the resident wrote no trace line"
  settle
}

# Ends the resident instance through its own exit command; with a NAME,
# checks that it ended with 0.
stop_resident() {
  end_resident || fail "the resident window did not go away"
  resident_rc=$(exit_code resident) || fail "the resident process did not end"
  [ -z "${1:-}" ] || expect_eq "$1" "$resident_rc" 0
}
# The exit command, then a wait of up to SECONDS (20) for the window to go.
end_resident() { probe command $ID_EXIT >/dev/null; probe wait-gone "${1:-20}" && RESIDENT=""; }

trace_count() { grep -c 'VANTREL:UPDATE' "$T/resident.err"; }
# Shell_NotifyIcon requests made by the program: 0 add, 1 modify, 2 delete.
tray_calls() { grep -o 'Shell_NotifyIconW dwMessage = [0-9]' "$T/resident.err" | sed 's/.* //' | tr -d '\n'; }

# Waits until the files under $T (trace, tray calls, eject requests, what
# a script keeps there) stop changing: messages are asynchronous. Quiet for
# half a second, or at most SECONDS (default 2). Poll for what shows on the
# screen instead.
settle() {
  settle_last="" settle_quiet=0
  poll "${1:-2}" settled || true
}
settled() {
  settle_now=$(ls -lR --full-time "$T" 2>/dev/null | cksum)
  [ "$settle_now" = "$settle_last" ] && settle_quiet=$((settle_quiet + 1)) || settle_quiet=0
  settle_last=$settle_now
  [ "$settle_quiet" -ge 5 ]
}

# Stores a registry value the way another program would, and makes sure it
# is there before the test goes on: key value type data.
reg_set() {
  "$WINE_RUN" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
  "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -q "$2 *$3 *" ||
    fail "could not store $1\\$2"
}
expect_eq() {  # what actual expected
  [ "$2" = "$3" ] && { echo "ok: $1"; return; }
  echo "FAIL: $1: got [$2], expected [$3]" >&2
  FAILS=$((FAILS + 1))
}
# Runs a command, its output dropped, and checks its exit code: NAME CODE COMMAND...
expect_rc() {
  rc_name=$1 rc_want=$2
  shift 2
  "$@" >/dev/null 2>&1
  expect_eq "$rc_name" "$?" "$rc_want"
}
finish() { [ "$FAILS" -eq 0 ] || exit 1; exit 0; }

# Eject requests as "devInst name" lines.
ejects() { sed -n 's/^EJECT \([0-9]*\) .* name=\(.*\)$/\1 \2/p' "$FAKEDEV_EJECT_LOG"; }
# The eject requests so far are these (lines joined by '|'); the log starts anew.
expect_ejects() { expect_eq "$1" "$(ejects | paste -sd'|')" "$2"; : > "$FAKEDEV_EJECT_LOG"; }
# A batch run of this command-line tail on the desk as it began: NAME TAIL
# EJECTS, the exit code left in $rc.
batch_run() {
  replug
  run_line "$2" >/dev/null 2>&1
  rc=$?
  expect_ejects "$1" "$3"
}
# Device command N (the Nth record's eject), then the eject requests: N NAME EJECTS.
device_command() { probe command $((ID_DEVICE_BASE + $1)) >/dev/null; settle; expect_ejects "$2" "$3"; }
# Hide list entries 00, 01, ... with these prefixes.
hide_list() {
  k=0
  for prefix in "$@"; do reg_set "$KEY\\Disbale" "0$k" REG_SZ "$prefix"; k=$((k + 1)); done
}

# A press on the tray icon (bottom right), true when it opened a menu; a press too
# soon after a click is a double-click, which opens nothing: up to three, 0.6 s apart.
tray_press() {
  for _ in 1 2 3; do
    xdotool mousemove 789 589 click 1
    probe menu-wait 3 && { settle 0.5; return 0; }
    sleep 0.6
  done
  return 1
}
open_menu() { tray_press || fail "a click on the tray icon opened no menu"; }

# Stored values (reg query KEY [/s]) sorted; the lines of one list a later one lacks.
reg_values() { "$WINE_RUN" reg query "$@" 2>/dev/null | tr -d '\r' | grep REG_ | sort; }
reg_value() { "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
lost_values() {  # before after
  printf '%s\n' "$1" | while IFS= read -r v; do printf '%s\n' "$2" | grep -qxF "$v" || echo "$v"; done
}

# A Windows path for a file under $T.
winpath() { "$WINE_RUN" winepath -w "$1" 2>/dev/null; }
# A list file naming one device ($T/list.ini); prints its Windows path.
list_file() { printf '[VANTRL]\n00=%s\n' "$1" > "$T/list.ini" && winpath "$T/list.ini"; }

# The dialog helper; screenshots go to build/screenshots.
DLGPROBE_EXE="$(dirname "$PROBE_EXE")/dlgprobe.exe"
SHOTS="$(cd "$E2E_DATA/../.." && pwd)/build/screenshots"
dlg() { "$WINE_RUN" "$DLGPROBE_EXE" "$@"; }
# The command opens the dialog, the button closes it; each fails the test otherwise.
open_dlg() { probe command "$1" >/dev/null; dlg wait "$2" 20 || fail "$2 did not open${3:+ $3}"; }
press() { dlg click "$1" "$2" >/dev/null; dlg gone "$1" 10 || fail "$1 did not close on ${3:-button $2}"; }
shot() { mkdir -p "$SHOTS" && import -window root "$SHOTS/$1.png" && echo "screenshot: $SHOTS/$1.png"; }
