#!/bin/sh
# Ten plain starts at the same moment, round after round: one resident with
# one icon, every other start hands over or says "ALREADY EXECUTED." and
# ends with 0, and the stored settings survive. CONCURRENT_ROUNDS sets the
# number of rounds (3 by default).
. "$E2E_LIB"
reg_set "$KEY" Separator REG_DWORD 1
reg_set "$KEY" AutoShow REG_DWORD 0
reg_set "$KEY" ChildForm REG_SZ '%s- %s'
reg_set "$KEY\\Disbale" 00 REG_SZ Slim
before=$(reg_values "$KEY" /s)

exe=$(winpath "$APP/vantrel.exe")
lock_free() { ! probe mutex-exists VANTREL; }
rounds=${CONCURRENT_ROUNDS:-3}
good=0
for round in $(seq 1 "$rounds"); do
  # To files: the resident inherits the probe's handles and keeps them open.
  (cd "$APP" && WINEDEBUG=-all,trace+systray "$WINE_RUN" "$PROBE_EXE" start-many 10 "$exe" 60) \
    >"$T/round.out" 2>"$T/round.err"
  RESIDENT=1
  summary=$(tail -1 "$T/round.out" | tr -d '\r')
  other=$(tr -d '\r' < "$T/round.out" | grep '^box: ' | grep -vc '^box: ALREADY EXECUTED\.$')
  adds=$(grep -c 'Shell_NotifyIconW dwMessage = 0' "$T/round.err")
  echo "round $round: $summary adds=$adds other-boxes=$other"
  case $summary in
    "ended=9 code0=9 boxes="*" resident=1")
      [ "$adds" -eq 1 ] && [ "$other" -eq 0 ] && good=$((good + 1)) ;;
  esac
  end_resident || fail "round $round: the resident window stayed"
  poll 10 lock_free || fail "round $round: the lock outlived the program"
done
expect_eq "rounds with one resident, one icon, nine clean ends" "$good" "$rounds"
# The hand-overs save the settings, so values may be added, never changed.
expect_eq "stored settings intact" "$(lost_values "$before" "$(reg_values "$KEY" /s)")" ""
finish
