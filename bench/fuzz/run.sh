#!/usr/bin/env bash
# Long fuzzing runs: every libFuzzer target of fuzz/, one after another, for RUNS
# executions each (default ten million), at the lowest priority so that everything else
# on the machine goes first. Inputs that found new paths accumulate in WORK/corpus (default
# bench/out/fuzz), so a later run goes on from there; findings land in WORK/findings.
#   bench/fuzz/run.sh [RUNS] [TARGET...]
# Prints executions, time and findings per target at the end (the log of each target is
# WORK/logs/TARGET.log). FUZZ_SANITIZERS=undefined leaves AddressSanitizer out, for targets
# whose executions it slows most (the query target runs three times as fast without it).
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-10000000}
[ $# -gt 0 ] && shift
source bench/env.sh
bench_install "the compiler and runtime of the fuzz targets" clang libclang-rt-14-dev
# Fastest targets first, so that a run cut short has covered as many as possible.
[ $# -eq 0 ] && set -- profile lng scope rtf xml html query
# At the lowest priority an input may wait long for the processor: only one that takes
# minutes counts as a hang.
exec nice -n 19 fuzz/run.sh --runs "$runs" --timeout 300 --work "${FUZZ_WORK:-bench/out/fuzz}" \
  --sanitizers "${FUZZ_SANITIZERS:-address,undefined}" "$@"
