#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in a
# tree of their own and runs each one, one after another, from its seed corpus.
#   fuzz/run.sh [--seconds N | --runs N] [--timeout S] [--work DIR] [--build DIR]
#               [--sanitizers LIST] [TARGET...]
# Targets: query scope profile lng html xml rtf (default: all). --seconds (default 5)
# limits each target's time, --runs its executions; --timeout (default 10) is how many
# seconds one input may take before it counts as a hang (raise it on a busy machine: the
# clock is the wall's). New inputs go to WORK/corpus/TARGET
# (the seeds in fuzz/corpus stay as they are), findings to WORK/findings; without --work a
# fresh temporary folder is used and removed afterwards unless something was found. Ends
# with a table of executions and findings per target; the exit status is 1 when any target
# found a fault. --sanitizers (default "address,undefined") is the -fsanitize= list; any
# other list builds in a tree of its own (build-fuzz-LIST).
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=5)
timeout=10
work=
build=
sanitizers=address,undefined
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --sanitizers) sanitizers=$2; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -eq 0 ] && targets=(query scope profile lng html xml rtf)
temporary=0
if [ -z "$work" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/vellumar-fuzz-XXXXXX")
  temporary=1
fi

if [ -z "$build" ]; then
  build=build-fuzz
  [ "$sanitizers" = address,undefined ] || build=build-fuzz-${sanitizers//,/-}
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELLUMAR_CORE_ONLY=ON -DVELLUMAR_SANITIZE=ON -DVELLUMAR_SANITIZERS="$sanitizers" \
    -DVELLUMAR_FUZZ=ON >/dev/null
elif ! grep -qx "VELLUMAR_SANITIZERS:STRING=$sanitizers" "$build/CMakeCache.txt"; then
  # A tree given with --build keeps its compiler; only the sanitizer list changes.
  cmake -S . -B "$build" -DVELLUMAR_SANITIZERS="$sanitizers" >/dev/null
fi
cmake --build "$build" --target fuzzers --parallel "$(nproc)" >/dev/null
source bench/env.sh
bench_describe "$build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$work/findings" "$work/logs"
status=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$work/corpus/$t"
  # The longest input per target: markup needs some room, the others are short by nature,
  # and longer inputs only slow every execution down.
  case $t in
    html | xml | rtf) max_len=2048 ;;
    query) max_len=512 ;;
    *) max_len=1024 ;;
  esac
  log=$work/logs/$t.log
  start=$(date +%s)
  if "$build/fuzz/fuzz_$t" "${limit[@]}" -max_len=$max_len -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$work/findings/$t-" "$work/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    outcome='no findings'
  elif grep -q '^==[0-9]*== libFuzzer: run interrupted' "$log"; then
    # Ctrl+C or SIGINT ends a run early, with its statistics: not a fault of the target.
    outcome='no findings (interrupted)'
  else
    outcome='FAULT FOUND'
    status=1
    echo "fuzz_$t found a fault; its output ($log):" >&2
    grep -v '^#' "$log" | tail -40 >&2
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("$(printf '%-8s %12s executions %6ss %s' "$t" "${runs:-?}" "$(( $(date +%s) - start ))" \
    "$outcome")")
done
printf '%s\n' "${summary[@]}"
if [ $temporary -eq 1 ]; then
  if [ $status -eq 0 ]; then rm -rf "$work"; else echo "findings kept in $work/findings" >&2; fi
fi
exit $status
