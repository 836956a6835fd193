# One Wine and X session for the scripts that run Wine (sourced, not run).
#
#   . scripts/wine-session.sh
#   session_begin TREE [own|any]   TREE: the build tree whose programs run
#   session_trap [CMD]             on exit: CMD, then session_end
#
# session_begin starts a private Xvfb (always with "own"; with "any" only
# when there is no $DISPLAY), a wineserver for the tree's prefix, boots the
# prefix with Wine's own DLLs, writes the virtual-desktop keys and starts a
# small process that keeps the desktop open; lines in $SESSION_REG are added
# to the registry with the desktop keys. None of this uses the fake device
# stack: a prefix first made with it is broken. Program runs set
# WINEDLLOVERRIDES="$SESSION_OVERRIDES" themselves. A script started by one
# that runs a session for the same prefix joins it and owns nothing.
#
# session_end stops exactly the wineserver and Xvfb session_begin started,
# by their process ids; the wineserver ends every Wine process of the prefix
# as it goes.

SESSION_OVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
SESSION_XVFB=""
SESSION_WINESERVER=""

session_say() { echo "wine-session: $*" >&2; }

# Milliseconds since the epoch.
session_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# fails after SECONDS.
poll() {
  ses_limit=$(( $(session_ms) + ${1%.*} * 1000 ))
  shift
  while ! "$@"; do
    [ "$(session_ms)" -lt "$ses_limit" ] || return 1
    sleep 0.1
  done
}

# Running and not a zombie.
session_alive() {
  [ -r "/proc/$1/stat" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" != Z ]
}
session_gone() { ! session_alive "$1"; }

session_stop_pid() {  # pid signal seconds
  kill "-$2" "$1" 2>/dev/null
  poll "$3" session_gone "$1" || { kill -KILL "$1" 2>/dev/null; poll 5 session_gone "$1"; }
  return 0
}

# Processes of this prefix still running (Xvfb, wineserver, Wine programs):
# "pid name" lines.
session_leftovers() {
  for ses_f in $(grep -lsxz "WINEPREFIX=${1:-$WINEPREFIX}" /proc/[0-9]*/environ); do
    ses_pid=${ses_f#/proc/}; ses_pid=${ses_pid%/environ}
    session_alive "$ses_pid" || continue
    ses_name=$(cat "/proc/$ses_pid/comm" 2>/dev/null)
    case $ses_name in Xvfb|wineserver*|wine*|*.exe|*.EXE) echo "$ses_pid $ses_name" ;; esac
  done
}

# Starts a program in a session of its own, so that a Ctrl-C meant for the
# scripts does not end it before they are done with it, and prints its pid.
session_detach() {
  ses_pidfile=$(mktemp /tmp/vantrel-pid.XXXXXX)
  setsid sh -c 'echo $$ > "$0"; exec "$@"' "$ses_pidfile" "$@" </dev/null >/dev/null 2>&1 &
  poll 10 test -s "$ses_pidfile"
  cat "$ses_pidfile"
  rm -f "$ses_pidfile"
}

# Ends a process and every process it started, by their ids.
session_kill_tree() {
  for ses_child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    session_kill_tree "$ses_child"
  done
  kill -TERM "$1" 2>/dev/null
}

session_prefix_ok() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]
}

session_begin() {
  ses_tree=$(cd "$1" && pwd)
  WINE_RUN=${WINE_RUN:-$ses_tree/wine-run.sh}
  PROBE_EXE=${PROBE_EXE:-$ses_tree/probe.exe}
  export WINEPREFIX="${WINEPREFIX:-$ses_tree/wineprefix}"
  [ "${VANTREL_SESSION:-}" = "$WINEPREFIX" ] && [ -n "${DISPLAY:-}" ] && return 0
  [ -x "$WINE_RUN" ] || { session_say "no $WINE_RUN: build first (sh scripts/build.sh)"; return 1; }

  # A wineserver left over from an earlier run would keep a display that
  # may be gone.
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" wineserver -k >/dev/null 2>&1

  if [ "${2:-own}" = own ] || [ -z "${DISPLAY:-}" ]; then
    ses_fd=$(mktemp /tmp/vantrel-display.XXXXXX)
    SESSION_XVFB=$(session_detach Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$ses_fd")
    if ! poll 20 test -s "$ses_fd"; then
      rm -f "$ses_fd"
      session_say "Xvfb did not start (is the xvfb package installed? sh scripts/deps.sh)"
      return 1
    fi
    export DISPLAY=":$(cat "$ses_fd")"
    rm -f "$ses_fd"
  fi

  if [ -d "$WINEPREFIX" ] && ! session_prefix_ok && [ -f "$WINEPREFIX/.update-timestamp" ]; then
    session_say "the prefix $WINEPREFIX lacks Wine's own DLLs (made with the device overrides?)"
    if [ "$WINEPREFIX" != "$ses_tree/wineprefix" ]; then
      session_say "remove that folder and try again"
      return 1
    fi
    session_say "making it again"
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  SESSION_WINESERVER=$(WINEDLLOVERRIDES="mscoree,mshtml=" session_detach "$WINE_RUN" wineserver -f -p)
  if ! poll 20 test -S "/proc/$SESSION_WINESERVER/cwd/socket"; then
    session_say "wineserver did not start for $WINEPREFIX"
    return 1
  fi
  [ -f "$WINEPREFIX/system.reg" ] || session_say "making the Wine prefix $WINEPREFIX (once, 10-60 s)"
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all "$WINE_RUN" wineboot -i >/dev/null 2>&1 ||
     [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    session_say "wineboot failed for $WINEPREFIX; remove that folder and try again"
    return 1
  fi
  session_desktop || return 1
  export VANTREL_SESSION="$WINEPREFIX"
}

# A virtual desktop with a taskbar, shared by every Wine process of the
# prefix, and a process that keeps it: Wine closes the desktop when its
# last process ends.
session_desktop() {
  ses_reg=$(mktemp -d /tmp/vantrel-reg.XXXXXX)
  printf '%s\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shell"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"shell"="800x600"' '' \
    "${SESSION_REG:-}" '' | sed 's/$/\r/' > "$ses_reg/desktop.reg"
  (cd "$ses_reg" && WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" regedit /S desktop.reg >/dev/null 2>&1)
  rm -rf "$ses_reg"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" "$PROBE_EXE" keep 86400 >/dev/null 2>&1 &
  if ! poll 30 session_desktop_up; then
    session_say "the Wine desktop did not appear on $DISPLAY (without DISPLAY set, a private Xvfb is used)"
    return 1
  fi
}
session_desktop_up() {
  xdotool search --name 'Wine desktop' >/dev/null 2>&1
}

session_end() {
  [ -n "$SESSION_WINESERVER" ] && session_stop_pid "$SESSION_WINESERVER" INT 20
  [ -n "$SESSION_XVFB" ] && session_stop_pid "$SESSION_XVFB" TERM 10
  [ -n "$SESSION_WINESERVER$SESSION_XVFB" ] && poll 10 session_none_left
  SESSION_WINESERVER="" SESSION_XVFB=""
}

# Wine programs still ending after their wineserver went.
session_none_left() { [ -z "$(session_leftovers)" ]; }

# SESSION_SIGNALLED tells an exit hook that the run was cut short: Wine
# commands then would only start another wineserver.
session_trap() {
  trap "rc=\$?; ${1:-:}; session_end; exit \$rc" EXIT
  trap 'SESSION_SIGNALLED=1; exit 129' HUP
  trap 'SESSION_SIGNALLED=1; exit 130' INT
  trap 'SESSION_SIGNALLED=1; exit 141' PIPE
  trap 'SESSION_SIGNALLED=1; exit 143' TERM
}
