#!/usr/bin/env bash
# vellumar-cli watch: latency, idle CPU and a burst (see watch.py). Full size by default
# (50,000 folders, 50 changes, 10 idle minutes, 10,000 files in one burst); smaller runs:
#   bench/update/watch.sh [BUILD_DIR] [FOLDERS] [CHANGES] [IDLE_SECONDS] [BURST]
# The tree is made outside the temporary folder, which the watcher does not monitor.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
shift || true
cmake --build "$build" --target vellumar-cli >/dev/null
work=${BENCH_WORK:-$HOME/.cache/vellumar-bench-watch}
exec nice -n 10 python3 bench/update/watch.py "$(pwd)/$build/src/cli/vellumar-cli" "$work" "$@"
