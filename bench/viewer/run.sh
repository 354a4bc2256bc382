#!/usr/bin/env bash
# The preview core's part of showing a found file: load to first entry selected for a 10 MB
# text (beside `grep -c` on the same file), F3 steps through 1,000 entries, a 10 MB HTML
# page, a member of a zip inside a zip; and the peak memory. Then the same in the window,
# offscreen: from the request to the first entry selected and painted (a 200-page PDF too),
# F3 with its paint, and the program's memory while a 10 MB text is shown.
# Usage: bench/viewer/run.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-7}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target bench_viewer bench_viewer_pane >/dev/null
work=${TMPDIR:-/tmp}/vellumar-bench-viewer
mkdir -p "$work"
echo "== the preview core"
nice -n 10 "$build/bench/viewer/bench_viewer" "$work" "$rounds"
echo "== the viewer pane, offscreen"
export QT_QPA_PLATFORM=offscreen
nice -n 10 "$build/bench/viewer/bench_viewer_pane" "$work" "$rounds"
nice -n 10 "$build/bench/viewer/bench_viewer_pane" "$work" --memory
