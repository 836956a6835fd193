#!/bin/sh
# Storms: a burst of 10,000 device-tree change broadcasts, then 1,000
# hand-over commands in a row (what 1,000 second starts post) and a few real
# second starts. The program keeps answering, its memory and handles stay
# flat, and no stored setting is lost. STORM_BROADCASTS and STORM_HANDOVERS
# change the counts. Prints the figures.
. "$E2E_LIB"
reg_set "$KEY" Separator REG_DWORD 0
reg_set "$KEY" ChildOnly REG_DWORD 1
reg_set "$KEY" ChildForm REG_SZ '%s> %s'
reg_set "$KEY\\Disbale" 00 REG_SZ Office
reg_set "$KEY\\Disbale" 31 REG_SZ Archive
before=$(reg_values "$KEY" /s)
broadcasts=${STORM_BROADCASTS:-10000}
handovers=${STORM_HANDOVERS:-1000}

# Waits until the program has written N trace lines.
traced() { [ "$(trace_count)" -ge "$1" ]; }
wait_traces() { poll 300 traced "$1"; }
# Private bytes, in KiB.
private_kb() { probe mem | tr -d '\r' | sed -n 's/.*private=\([0-9]*\).*/\1/p' | awk '{print int($1 / 1024)}'; }
handles() { probe mem | tr -d '\r' | sed -n 's/.*handles=\([0-9]*\).*/\1/p'; }

start_resident
# Warm-up: the first refreshes and messages settle the heap.
probe devchange-times 200 >/dev/null; wait_traces 201
mem0=$(private_kb); h0=$(handles)
echo "after warm-up: private ${mem0} KiB, $h0 handles"

t0=$(date +%s)
probe devchange-times "$broadcasts" || fail "a broadcast went unanswered"
answer=$(probe send 0x111 $ID_SCAN 0 | tr -d '\r')  # the program still answers
expect_eq "answers during the burst" "$answer" 0
wait_traces $((201 + broadcasts + 1)) || fail "the rescans did not all run"
t1=$(date +%s)
mem1=$(private_kb); h1=$(handles)
echo "$broadcasts broadcasts: drained in $((t1 - t0)) s; private ${mem1} KiB, $h1 handles"

probe command-times $ID_SHOWICON "$handovers" || fail "a hand-over could not be posted"
answer=$(probe send 0x111 $ID_SCAN 0 | tr -d '\r')
t2=$(date +%s)
for k in 1 2 3 4 5; do
  (cd "$APP" && "$WINE_RUN" vantrel.exe >/dev/null 2>&1) || fail "second start $k"
done
# The sent scan above overtakes the posted hand-overs; a scan posted behind
# them traces only once all of them are done, keys closed.
n=$(trace_count); probe post 0x111 $ID_SCAN 0 >/dev/null
wait_traces $((n + 1)) || fail "the hand-overs were not all handled"
mem2=$(private_kb); h2=$(handles)
echo "$handovers hand-overs + 5 second starts: $(( $(date +%s) - t2 )) s; private ${mem2} KiB, $h2 handles"
expect_eq "answers after the hand-overs" "$answer" 0
expect_eq "one tray add only" "$(tray_calls | tr -cd 0)" 0
# Flat: no more than a page of heap per 2,000 messages, and not one handle.
expect_eq "memory flat over the burst" "$([ $((mem1 - mem0)) -le 64 ] && echo yes || echo "grew $((mem1 - mem0)) KiB")" yes
expect_eq "memory flat over the hand-overs" "$([ $((mem2 - mem1)) -le 64 ] && echo yes || echo "grew $((mem2 - mem1)) KiB")" yes
expect_eq "handles flat" "$h1 $h2" "$h0 $h0"
stop_resident "exit code"
# The hand-overs save every setting; what was stored must still be there.
expect_eq "no setting lost" "$(lost_values "$before" "$(reg_values "$KEY" /s)")" ""
finish
