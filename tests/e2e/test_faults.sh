#!/bin/sh
# Failure paths, on the test build (vantrel_faults.exe: the same program with
# a fault switch read from VANTREL_FAULT). Every allocation of a resident and
# a batch start fails in turn; then the registry keys; then the tray icon.
# Each run: the specified box or none, exit code 0, and nothing left behind
# (no lock, no icon, no stray registry value, no fault in the process).
. "$E2E_LIB"
cp "$VANTREL_FAULTS_EXE" "$APP/vantrel.exe"
reg_set "$KEY" Separator REG_DWORD 0
reg_set "$KEY" ChildForm REG_SZ '%s> %s'
reg_set "$KEY\\Disbale" 00 REG_SZ Office
before=$(reg_values "$KEY")

# run_fault FAULT [LIST]: one start with the fault set; leaves $box, $rc,
# $fired (the fault's own report) and $T/f.err.
run_fault() {
  bg_run f env VANTREL_FAULT="$1" WINEDEBUG=-all,warn+debugstr,trace+systray "$WINE_RUN" vantrel.exe ${2:-} \
    >/dev/null 2>"$T/f.err"
  box=""
  poll 20 fault_shown || fail "$1: no box, no end and no window"
  box=$(printf '%s' "$box" | tr -d '\r\n')
  if probe wait-window 0; then
    [ -n "$box" ] || settle  # what the start still does after its first scan
    probe command $ID_SHOWICON >/dev/null  # a hand-over: a save, where it can
    end_resident
  fi
  rc=$(exit_code f) || fail "$1: the program did not end"
  fired=$(grep -o 'VANTREL-FAULT: [^"]*' "$T/f.err" | head -1 | sed 's/VANTREL-FAULT: //; s/\\n$//')
}

# A box, the program's end, or its window up after the first scan.
fault_shown() {
  { box=$(probe msgbox 0) || { box=""; false; }; } || [ -s "$T/f.rc" ] || { grep -q 'VANTREL:UPDATE' "$T/f.err" && probe wait-window 0; }
}

# The checks every run shares; $1 names the run, $2 the boxes it may show.
left_behind() {
  adds=$(grep -c 'Shell_NotifyIconW dwMessage = 0' "$T/f.err")
  deletes=$(grep -c 'Shell_NotifyIconW dwMessage = 2' "$T/f.err")
  probe mutex-exists VANTREL && lock=held || lock=free
  crash=$(grep -ciE 'unhandled|page fault|err:seh' "$T/f.err")
  hide=$(reg_values "$KEY\\Disbale" | sed -n 's/^ *00    REG_SZ    //p')
  echo "row | $1 | fault: ${fired:-not reached} | box: ${box:-none} | exit $rc, lock $lock, icon adds/deletes $adds/$deletes, hide 00 after a save: ${hide:-gone}"
  case "|$2|" in *"|${box}|"*) ok=yes ;; *) ok="unexpected box [$box]" ;; esac
  expect_eq "$1: box" "$ok" yes
  expect_eq "$1: exit code, lock, fault" "$rc $lock $crash" "0 free 0"
  expect_eq "$1: no icon left" "$([ "$deletes" -ge "$adds" ] && echo yes)" yes
}

RESIDENT_BOXES="|MEMORY ALLOCATE ERROR.|CUSBDEV INSTANCE CREATE ERROR.|TTICON INSTANCE CREATE ERROR."
n=0
for k in $(seq 1 30); do
  run_fault "new:$k"
  [ -n "$fired" ] || break
  n=$k
  left_behind "resident, allocation $k" "$RESIDENT_BOXES"
  # A save after a failed read must not overwrite what is stored (it may add the other values).
  expect_eq "allocation $k: stored settings kept" "$(lost_values "$before" "$(reg_values "$KEY")")" ""
done
expect_eq "allocations at a resident start (table, tray, record, texts)" "$([ "$n" -ge 4 ] && echo yes)" yes
expect_eq "the first one is the record" "$(grep -c 'new 1 ' "$T/f.err")" 0

list=$(list_file Slim)
for k in 1 2; do
  : > "$FAKEDEV_EJECT_LOG"
  run_fault "new:$k" "$list"
  left_behind "batch, allocation $k" "|MEMORY ALLOCATE ERROR."
  expect_eq "batch, allocation $k: no eject" "$(ejects)" ""
done
run_fault "new:1"
expect_eq "record allocation: the box" "$box" "MEMORY ALLOCATE ERROR."

for key in 'VANTREL' 'Disbale'; do
  fresh_settings
  run_fault "regkey:$key"
  left_behind "registry key $key refused" ""
  expect_eq "registry key $key refused: refused" "$([ -n "$fired" ] && echo yes)" yes
done
expect_rc "with the hide-list key refused, it is not made" 1 "$WINE_RUN" reg query "$KEY\\Disbale"
fresh_settings
run_fault "regkey:VANTREL"
expect_rc "with both keys refused, nothing is stored" 1 "$WINE_RUN" reg query "${KEY%\\*}"

run_fault notify
left_behind "tray icon refused" ""
# Refused at start, the icon is asked for again at the hand-over.
expect_eq "tray icon refused: the program asked again" "$(grep -c 'VANTREL-FAULT: notify add' "$T/f.err")" 2
finish
