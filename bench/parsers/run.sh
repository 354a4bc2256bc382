#!/usr/bin/env bash
# Tokenising throughput of the text parser (200 MB ASCII, 200 MB UTF-8 with accents) and
# of the HTML parser (the Python documentation from Debian's python3-doc), side by side
# with `wc -w` over the same files: each round runs ours, then wc, and the ratio is taken
# round by round. Usage: bench/parsers/run.sh [BUILD_DIR] [ROUNDS]
# Our figure covers the whole of opening each file (reading, decoding, the check of its
# UTF-8) and tokenising it; wc's covers its whole process.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-5}
html_dir=/usr/share/doc/python3-doc/html/
source bench/env.sh
bench_install "the HTML pages of the Python documentation, the HTML corpus" python3-doc
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target bench_parsers >/dev/null
bench_describe "$build"
corpus=${TMPDIR:-/tmp}/vellumar-bench-corpus
[ -f "$corpus/utf8.txt" ] || "$build/bench/parsers/bench_parsers" make-corpora "$corpus" 200
# wc counts words by the locale's notion of characters: give it UTF-8, as our parser.
export LC_ALL=C.UTF-8
"$build/bench/parsers/bench_parsers" run "$corpus" "$(readlink -f "$html_dir")" "$rounds"
