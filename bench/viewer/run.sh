#!/usr/bin/env bash
# The preview core's part of showing a found file: load to first entry selected for a 10 MB
# text (beside `grep -c` on the same file), F3 steps through 1,000 entries, a 10 MB HTML
# page, a member of a zip inside a zip; and the peak memory.
# Usage: bench/viewer/run.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-7}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target bench_viewer >/dev/null
work=${TMPDIR:-/tmp}/vellumar-bench-viewer
mkdir -p "$work"
nice -n 10 "$build/bench/viewer/bench_viewer" "$work" "$rounds"
