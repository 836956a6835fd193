# One Wine and X desk for the scripts that run Wine (sourced, not run).
#
#   . scripts/winedesk.sh
#   desk_begin TREE [own|any]   TREE: the build tree whose programs run
#   desk_trap [CMD]             on exit: CMD, then desk_end
#   desk_ids ROOT               the program's command ids as $ID_EXIT etc.
#
# desk_begin starts a private Xvfb (always with "own"; with "any" only
# when there is no $DISPLAY), a wineserver for the tree's prefix, boots the
# prefix with Wine's own DLLs, writes the virtual-desktop keys and starts a
# small process that keeps the desktop open; lines in $DESK_REG are added
# to the registry with the desktop keys. None of this uses the fake device
# stack: a prefix first made with it is broken. Program runs set
# WINEDLLOVERRIDES="$DESK_OVERRIDES" themselves. A script started by one
# that runs a desk for the same prefix joins it and owns nothing.
#
# desk_end stops exactly the wineserver and Xvfb desk_begin started,
# by their process ids; the wineserver ends every Wine process of the prefix
# as it goes.

DESK_OVERRIDES="mscoree,mshtml=;setupapi,cfgmgr32=n"
DESK_XVFB=""
DESK_WINESERVER=""

desk_say() { echo "winedesk: $*" >&2; }

# desk_ids ROOT: sets WM_TRAYNOTIFY and the ID_ command ids as shell
# variables from ROOT/app/ids.h, the program's one list of them.
desk_ids() {
  eval "$(sed -n 's/^#define \(WM_TRAYNOTIFY\|ID_[A-Z_]*\) \(0x[0-9A-Fa-f]*\)$/\1=\2/p' "$1/app/ids.h")"
  [ -n "${ID_EXIT:-}" ] || { desk_say "no command ids in $1/app/ids.h"; return 1; }
}

# Milliseconds since the epoch.
desk_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# poll SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds;
# fails after SECONDS.
poll() {
  ses_limit=$(( $(desk_ms) + ${1%.*} * 1000 ))
  shift
  while ! "$@"; do
    [ "$(desk_ms)" -lt "$ses_limit" ] || return 1
    sleep 0.1
  done
}

# Running and not a zombie.
desk_alive() {
  [ -r "/proc/$1/stat" ] && [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" != Z ]
}
desk_gone() { ! desk_alive "$1"; }

desk_stop_pid() {  # pid signal seconds
  kill "-$2" "$1" 2>/dev/null
  poll "$3" desk_gone "$1" || { kill -KILL "$1" 2>/dev/null; poll 5 desk_gone "$1"; }
  return 0
}

# Processes of this prefix still running (Xvfb, wineserver, Wine programs):
# "pid name" lines.
desk_leftovers() {
  for ses_f in $(grep -lsxz "WINEPREFIX=${1:-$WINEPREFIX}" /proc/[0-9]*/environ); do
    ses_pid=${ses_f#/proc/}; ses_pid=${ses_pid%/environ}
    desk_alive "$ses_pid" || continue
    ses_name=$(cat "/proc/$ses_pid/comm" 2>/dev/null)
    case $ses_name in Xvfb|wineserver*|wine*|*.exe|*.EXE) echo "$ses_pid $ses_name" ;; esac
  done
}

# Starts a program under setsid, so that a Ctrl-C meant for the
# scripts does not end it before they are done with it, and prints its pid.
desk_detach() {
  ses_pidfile=$(mktemp /tmp/vantrel-pid.XXXXXX)
  setsid sh -c 'echo $$ > "$0"; exec "$@"' "$ses_pidfile" "$@" </dev/null >/dev/null 2>&1 &
  poll 10 test -s "$ses_pidfile"
  cat "$ses_pidfile"
  rm -f "$ses_pidfile"
}

# Ends a process and every process it started, by their ids.
desk_kill_tree() {
  for ses_child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    desk_kill_tree "$ses_child"
  done
  kill -TERM "$1" 2>/dev/null
}

desk_prefix_ok() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]
}

desk_begin() {
  ses_tree=$(cd "$1" && pwd)
  WINE_RUN=${WINE_RUN:-$ses_tree/wine-run.sh}
  PROBE_EXE=${PROBE_EXE:-$ses_tree/probe.exe}
  export WINEPREFIX="${WINEPREFIX:-$ses_tree/wineprefix}"
  [ "${VANTREL_DESK:-}" = "$WINEPREFIX" ] && [ -n "${DISPLAY:-}" ] && return 0
  [ -x "$WINE_RUN" ] || { desk_say "no $WINE_RUN: build first (sh scripts/build.sh)"; return 1; }

  # A wineserver left over from an earlier run would keep a display that
  # may be gone.
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" wineserver -k >/dev/null 2>&1

  if [ "${2:-own}" = own ] || [ -z "${DISPLAY:-}" ]; then
    ses_fd=$(mktemp /tmp/vantrel-display.XXXXXX)
    DESK_XVFB=$(desk_detach Xvfb -displayfd 9 -screen 0 800x600x24 -nolisten tcp 9>"$ses_fd")
    if ! poll 20 test -s "$ses_fd"; then
      rm -f "$ses_fd"
      desk_say "Xvfb did not start (is the xvfb package installed? sh scripts/deps.sh)"
      return 1
    fi
    export DISPLAY=":$(cat "$ses_fd")"
    rm -f "$ses_fd"
  fi

  if [ -d "$WINEPREFIX" ] && ! desk_prefix_ok && [ -f "$WINEPREFIX/.update-timestamp" ]; then
    desk_say "the prefix $WINEPREFIX lacks Wine's own DLLs (made with the device overrides?)"
    if [ "$WINEPREFIX" != "$ses_tree/wineprefix" ]; then
      desk_say "remove that folder and try again"
      return 1
    fi
    desk_say "making it again"
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  DESK_WINESERVER=$(WINEDLLOVERRIDES="mscoree,mshtml=" desk_detach "$WINE_RUN" wineserver -f -p)
  if ! poll 20 test -S "/proc/$DESK_WINESERVER/cwd/socket"; then
    desk_say "wineserver did not start for $WINEPREFIX"
    return 1
  fi
  [ -f "$WINEPREFIX/system.reg" ] || desk_say "making the Wine prefix $WINEPREFIX (once, 10-60 s)"
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all "$WINE_RUN" wineboot -i >/dev/null 2>&1 ||
     [ ! -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ]; then
    desk_say "wineboot failed for $WINEPREFIX; remove that folder and try again"
    return 1
  fi
  # Title-bar buttons and menu marks are Marlett glyphs. Debian's Wine
  # looks for its own fonts under a path with ".." in it, which its file
  # layer never opens, so the copy of fonts-wine goes where every Wine
  # process looks: the prefix's Fonts folder.
  ses_fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -f "$ses_fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$ses_fonts/" 2>/dev/null ||
    desk_say "no /usr/share/wine/fonts/marlett.ttf (fonts-wine): title bars show letters for their buttons"
  desk_desktop || return 1
  export VANTREL_DESK="$WINEPREFIX"
}

# A virtual desktop with a taskbar, shared by every Wine process of the
# prefix, and a process that keeps it: Wine closes the desktop when its
# last process ends.
desk_desktop() {
  ses_reg=$(mktemp -d /tmp/vantrel-reg.XXXXXX)
  printf '%s\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="shell"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"shell"="800x600"' '' \
    "${DESK_REG:-}" '' | sed 's/$/\r/' > "$ses_reg/desktop.reg"
  (cd "$ses_reg" && WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" regedit /S desktop.reg >/dev/null 2>&1)
  rm -rf "$ses_reg"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE_RUN" "$PROBE_EXE" keep 86400 >/dev/null 2>&1 &
  if ! poll 30 desk_desktop_up; then
    desk_say "the Wine desktop did not appear on $DISPLAY (without DISPLAY set, a private Xvfb is used)"
    return 1
  fi
}
desk_desktop_up() {
  xdotool search --name 'Wine desktop' >/dev/null 2>&1
}

desk_end() {
  [ -n "$DESK_WINESERVER" ] && desk_stop_pid "$DESK_WINESERVER" INT 20
  [ -n "$DESK_XVFB" ] && desk_stop_pid "$DESK_XVFB" TERM 10
  [ -n "$DESK_WINESERVER$DESK_XVFB" ] && poll 10 desk_none_left
  DESK_WINESERVER="" DESK_XVFB=""
}

# Wine programs still ending after their wineserver went.
desk_none_left() { [ -z "$(desk_leftovers)" ]; }

# DESK_SIGNALLED tells an exit hook that the run was cut short: Wine
# commands then would only start another wineserver.
desk_trap() {
  trap "rc=\$?; ${1:-:}; desk_end; exit \$rc" EXIT
  trap 'DESK_SIGNALLED=1; exit 129' HUP
  trap 'DESK_SIGNALLED=1; exit 130' INT
  trap 'DESK_SIGNALLED=1; exit 141' PIPE
  trap 'DESK_SIGNALLED=1; exit 143' TERM
}
