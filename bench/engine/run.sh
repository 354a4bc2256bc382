#!/usr/bin/env bash
# Runs the engine benchmark: builds its programs, indexes the synthetic corpus with the
# minimal Xapian program and with the engine (alternating, ROUNDS times each, so that the
# machine's noise hits both alike), then times the queries against both indexes.
#   bench/engine/run.sh            100,000 documents, 2 rounds
#   DOCS=20000 ROUNDS=1 bench/engine/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build}
DOCS=${DOCS:-100000}
ROUNDS=${ROUNDS:-2}
OUT=$(realpath -m "${OUT:-bench/out/engine}")  # the engine takes absolute index paths only
mkdir -p "$OUT"
[ -f "$BUILD/CMakeCache.txt" ] || ./scripts/build.sh "$BUILD" >/dev/null
cmake --build "$BUILD" --target bench_engine_index bench_xapian_index bench_engine_query >/dev/null
source bench/env.sh
bench_describe "$BUILD"

for round in $(seq 1 "$ROUNDS"); do
    echo "round $round"
    "$BUILD/bench/engine/bench_xapian_index" "$OUT/xapian" "$DOCS"
    "$BUILD/bench/engine/bench_engine_index" "$OUT/engine" "$DOCS"
done
du -sh "$OUT/xapian" "$OUT/engine/xapian"
"$BUILD/bench/engine/bench_engine_query" "$OUT/engine" "$OUT/xapian" 11
