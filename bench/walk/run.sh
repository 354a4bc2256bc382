#!/usr/bin/env bash
# Walk and polling benchmark of the notifier.
#   bench/walk/run.sh [BUILD_DIR] [TREE]
# Builds bench_walk, generates TREE once (100,000 folders, 1,000,000 empty files; default
# $TMPDIR/vellumar-walk-tree), then measures side by side, three rounds each, in one run:
#   find TREE -type d | wc -l
#   the notifier's walk and registration, with a no-op change source, with inotify, and
#   with a no-op change source but THashList's own hash in the folder tables
# and finally one idle polling pass over 50,000 watched folders and the delay of a change.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
tree=${2:-${TMPDIR:-/tmp}/vellumar-walk-tree}
cmake --build "$build" --target bench_walk >/dev/null
source bench/env.sh
bench_describe "$build"
bench="$build/bench/walk/bench_walk"

if [ ! -f "$tree/.complete" ]; then
  rm -rf "$tree"
  "$bench" generate "$tree" 100000 10
  touch "$tree/.complete"
fi

now() { date +%s%N; }
find "$tree" -type d | wc -l >/dev/null  # warm the cache for everyone

for round in 1 2 3; do
  t0=$(now); count=$(find "$tree" -type d | wc -l); t1=$(now)
  echo "find round=$round folders=$count seconds=$(awk "BEGIN { printf \"%.3f\", ($t1 - $t0) / 1e9 }")"
  "$bench" walk "$tree" null | sed "s/^/round=$round /"
  "$bench" walk "$tree" inotify | sed "s/^/round=$round /"
  "$bench" walk "$tree" plain | sed "s/^/round=$round /"
done

"$bench" poll "$tree" 50000
