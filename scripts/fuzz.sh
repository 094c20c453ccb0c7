#!/usr/bin/env bash
# Runs every fuzz target (libFuzzer, ASan+UBSan, clang) for SECONDS each
# (default 60), one after the other, and prints one line per target:
# executions, executions per second, corpus size and the result. The
# committed seeds (tests/fuzz/corpus/<target>) start a working corpus under
# build/fuzz/work/<target>; a crashing input lands in build/fuzz/findings/.
# Exits non-zero when a target found something. With --parallel the targets
# run side by side (a long campaign on a machine with several cores); with
# --jobs N at most N at once (the test command: one a core, so each still has
# a core for its whole time). Their lines are then printed when the last ends.
#   scripts/fuzz.sh [--parallel | --jobs N] [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
parallel=0
jobs=0
case "${1:-}" in
--parallel)
  parallel=1
  shift
  ;;
--jobs)
  parallel=1
  jobs=${2:?--jobs needs a number}
  shift 2
  ;;
esac
seconds=${1:-60}
shift || true

bash scripts/setup.sh
cmake --preset fuzz >/dev/null
nice cmake --build --preset fuzz -j"$(nproc)" --target kx_fuzzers >/dev/null

build=build/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for bin in "$build"/tests/fuzz/fuzz_*; do
    targets+=("$(basename "$bin" | sed 's/^fuzz_//')")
  done
fi

# Runs one target; its line goes to build/fuzz/findings/<target>.line, and
# the status is non-zero when it found something.
run_target() {
  local t=$1 work findings log result execs rate corpus
  local -a args
  work="$build/work/$t"
  findings="$build/findings/$t"
  mkdir -p "$work" "$findings"
  cp -n tests/fuzz/corpus/"$t"/* "$work"/ 2>/dev/null || true
  # A generous time-out: a loaded machine slows single inputs down a lot.
  args=(-max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-30}" -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
  if [ -f tests/fuzz/dict/"$t".dict ]; then
    args+=(-dict=tests/fuzz/dict/"$t".dict)
  fi
  log="$build/findings/$t.log"
  result=ok
  if ! "$build/tests/fuzz/fuzz_$t" "${args[@]}" "$work" >"$log" 2>&1; then
    result="FOUND $(ls -t "$findings" | head -1) (log $log)"
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  corpus=$(find "$work" -type f | wc -l)
  printf 'fuzz %-18s %10s executions %7s/s  corpus %5s  %s\n' \
    "$t" "${execs:-?}" "${rate:-?}" "$corpus" "$result" >"$build/findings/$t.line"
  [ "$result" = ok ]
}

failed=0
if [ "$parallel" -eq 1 ]; then
  pids=()
  for t in "${targets[@]}"; do
    if [ "$jobs" -gt 0 ] && [ "${#pids[@]}" -ge "$jobs" ]; then
      wait -n "${pids[@]}" || failed=1
      running=()
      for pid in "${pids[@]}"; do
        kill -0 "$pid" 2>/dev/null && running+=("$pid")
      done
      pids=("${running[@]}")
    fi
    run_target "$t" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
  done
  for t in "${targets[@]}"; do
    cat "$build/findings/$t.line"
    # Two targets ending together: the line tells what one wait may not have.
    grep -q ' FOUND ' "$build/findings/$t.line" && failed=1
  done
else
  for t in "${targets[@]}"; do
    run_target "$t" || failed=1
    cat "$build/findings/$t.line"
  done
fi
exit $failed
