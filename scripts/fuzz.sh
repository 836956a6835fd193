#!/bin/sh
# Fuzzing with libFuzzer in build/fuzz.
#   sh scripts/fuzz.sh build          configure and build the targets only
#   sh scripts/fuzz.sh [SECONDS]      run each target SECONDS (default 600)
#                                     over a working copy of its seeds and
#                                     print executions, coverage and crashes
# New inputs stay in build/fuzz/work/<target>; the repo's seeds are read only.
# FUZZ_TARGETS="a b" limits the run to those targets.
cd "$(dirname "$0")/.."
root=$PWD
[ -f build/fuzz/CMakeCache.txt ] ||
  cmake -S tests/fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build build/fuzz -j2 >/dev/null || exit 1
[ "${1:-}" = build ] && exit 0
seconds=${1:-600}
status=0
printf '%-10s %12s %8s %8s %8s %8s\n' target executions exec/s cov ft crashes
for t in ${FUZZ_TARGETS:-cmdline listfile scan settings menu about}; do
  work="$root/build/fuzz/work/$t"; mkdir -p "$work" "$root/build/fuzz/crashes"
  log="$root/build/fuzz/$t.log"
  "$root/build/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$root/build/fuzz/crashes/$t-" "$work" "$root/tests/fuzz/corpus/$t" \
    >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  crashes=$(ls "$root/build/fuzz/crashes" | grep -c "^$t-")
  [ "$rc" -eq 0 ] && [ "$crashes" -eq 0 ] || status=1
  printf '%-10s %12s %8s %8s %8s %8s\n' "$t" "$runs" "$rate" "$cov" "$ft" "$crashes"
done
exit $status
