#!/usr/bin/env bash
# The search benchmark, side by side with Recoll. It installs Recoll and the Debian
# documentation packages it indexes (through scripts/ensure-packages.sh) before it starts.
#
#  1. Corpus: the build benchmark's corpus (bench/build/make-corpus.sh: Python, PostgreSQL
#     and Debian manuals, Perl pods, change logs, office files) plus the HTML manuals of
#     libstdc++, Boost and Django, copied once into the work folder.
#  2. Both programs index it (once; delete the work folder to start afresh).
#  3. Eleven queries, each timed as whole processes in one run, A and B in turn:
#     `vellumar-cli search` against `recollq -n 100`; medians, ratios, and both programs'
#     counts (the totals of files and entries come from vellumar-cli itself).
#  4. A generated index of 200,000 small documents: a search that finds all of them, then
#     page changes as the page buttons make them (median and slowest), and the peak memory
#     for pages of 100, 1,000 and 10,000 names.
#  5. The window driven offscreen: the time from cmdOKClick to the first page of 100 names
#     in lstFiles (median of 20 runs) for a common word, a rare word, an AND, a phrase and
#     a prefix wildcard, beside recollq -n 100's process wall time (median of 20) for the
#     same queries; then on the generated index a page change (btnNextClick) among 200,000
#     found files and the peak memory of that search for pages of 100, 1,000 and 10,000.
#
# Usage: bench/search/run.sh [BUILD_DIR] [ROUNDS]      (defaults: build, 11)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-11}
work=${BENCH_WORK:-${TMPDIR:-/tmp}/vellumar-bench-search}
base_corpus=${BENCH_CORPUS:-${TMPDIR:-/tmp}/vellumar-bench-build/corpus}
corpus=$work/corpus

echo "Installing (when missing): recoll and the documentation packages of the corpus" >&2
scripts/ensure-packages.sh recoll python3-lxml unrtf libstdc++-12-doc libboost1.81-doc \
  python-django-doc
bench/build/make-corpus.sh "$base_corpus"
if [ ! -f "$corpus/.complete" ]; then
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp -r "$base_corpus"/. "$corpus"/
  rm -f "$corpus/.complete"
  mkdir -p "$corpus/html-extra"
  # The libstdc++ manual is shipped once (with gcc-12-base) and linked from many packages.
  cp -rL /usr/share/doc/gcc-12-base/libstdc++ "$corpus/html-extra/libstdc++"
  cp -rL /usr/share/doc/libboost1.81-doc/doc "$corpus/html-extra/boost"
  cp -rL /usr/share/doc/python-django-doc/html "$corpus/html-extra/django"
  find "$corpus/html-extra" -name '*.gz' -delete
  touch "$corpus/.complete"
fi

[ -f "$build/CMakeCache.txt" ] || ./scripts/build.sh "$build" >/dev/null
cmake --build "$build" --target vellumar-cli bench_search bench_search_window >/dev/null
cli=$(pwd)/$build/src/cli/vellumar-cli
helper=$(pwd)/$build/bench/search/bench_search
window=$(pwd)/$build/bench/search/bench_search_window
home=$work/home
recollconf=$work/recoll
patterns='*.html,*.htm,*.txt,*.pdf,*.rtf,*.doc,*.docx,*.odt'

if [ ! -f "$work/.indexed" ]; then
  rm -rf "$home" "$recollconf"
  mkdir -p "$recollconf"
  cat > "$recollconf/recoll.conf" <<CONF
topdirs = $corpus
loglevel = 1
indexallfilenames = 0
indexedmimetypes = text/html text/plain application/pdf text/rtf application/msword \
 application/vnd.openxmlformats-officedocument.wordprocessingml.document \
 application/vnd.oasis.opendocument.text
CONF
  nice -n 10 "$cli" --home "$home" create corpus "$corpus/+<$patterns>" >/dev/null
  nice -n 10 recollindex -c "$recollconf" >/dev/null 2>&1
  touch "$work/.indexed"
fi
echo "corpus: $(du -sh "$corpus" | cut -f1), $(find "$corpus" -type f | wc -l) files;" \
  "vellumar: $("$cli" --home "$home" list | cut -f2)"
echo

# The queries in both syntaxes (ours :: Recoll's).
queries=(
  "asyncio :: asyncio"
  "vacuum :: vacuum"
  "socket & timeout :: socket timeout"
  "sqlite | postgresql :: sqlite OR postgresql"
  "unicode & !ascii :: unicode -ascii"
  "thread* :: thread*"
  "transaction & rollback :: transaction rollback"
  "event loop :: \"event loop\""
  "keyword arguments :: \"keyword arguments\""
  "file system :: \"file system\""
  "out of memory :: \"out of memory\""
)
median_of() { # FIELD of farm-bench's report: the median column
  awk -v f="$1" '$0 ~ "^"f" " {print $(NF-1)}' "$2" | head -1
}
printf '%-24s %9s %9s %7s %9s %10s %9s\n' query vellumar recollq ratio v-files v-entries r-files
for pair in "${queries[@]}"; do
  vq=${pair%% :: *}
  rq=${pair#* :: }
  report=$(mktemp)
  farm-bench -n "$rounds" --warmup 1 --timeout 600 \
    --vs "recollq -c $recollconf -n 100 -q '$rq'" \
    -- "$cli" --home "$home" search corpus "$vq" --limit 100 >"$report" 2>&1 ||
    { cat "$report" >&2; echo "a run failed for the query $vq: no figure is given" >&2; exit 1; }
  counts=$("$cli" --home "$home" search corpus "$vq" --limit 0 | head -1)
  rfiles=$(recollq -c "$recollconf" -n 0 -q "$rq" 2>/dev/null | sed -n 's/^\([0-9]*\) results.*/\1/p' | head -1)
  printf '%-24s %9s %9s %7s %9s %10s %9s\n' "$vq" "$(median_of 'A wall s' "$report")" \
    "$(median_of 'B wall s' "$report")" "$(median_of 'A/B wall' "$report")" \
    "$(echo "$counts" | cut -d' ' -f1)" "$(echo "$counts" | cut -d' ' -f3)" "${rfiles:-?}"
  rm -f "$report"
done
echo "(wall seconds, medians of $rounds runs each, A = vellumar-cli and B = recollq in turn)"
echo

# Paging on 200,000 small documents.
generated=$work/generated/index
if [ ! -d "$generated" ]; then
  mkdir -p "$work/generated"
  nice -n 10 "$helper" generate "$generated" 200000
fi
for size in 100 1000 10000; do
  "$helper" paging "$generated" "$size" 200
done
echo

# The window, driven offscreen.
window_rounds=20
window_queries=(
  "file :: file"
  "vacuum :: vacuum"
  "socket & timeout :: socket timeout"
  "event loop :: \"event loop\""
  "thread* :: thread*"
)
wall_median_ms() { # ROUNDS COMMAND...: median process wall time in milliseconds
  local n=$1
  shift
  for _ in $(seq "$n"); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "a run failed: $*" >&2; exit 1; }
    t1=$(date +%s%N)
    echo $(((t1 - t0) / 1000))
  done | sort -n | awk '{v[NR] = $1} END {printf "%.1f", v[int((NR + 1) / 2)] / 1000}'
}
vqueries=()
for pair in "${window_queries[@]}"; do vqueries+=("${pair%% :: *}"); done
window_report=$(mktemp)
"$window" search "$home/Indexes" corpus "$window_rounds" "${vqueries[@]}" 2>/dev/null >"$window_report"
printf '%-20s %11s %11s %7s %9s\n' query window-ms recollq-ms ratio files
for pair in "${window_queries[@]}"; do
  vq=${pair%% :: *}
  rq=${pair#* :: }
  line=$(awk -v q="$vq" 'substr($0, 1, length(q) + 1) == q " " {print}' "$window_report" | head -1)
  wms=$(echo "$line" | awk '{print $(NF-3)}')
  files=$(echo "$line" | awk '{print $(NF-1)}')
  rms=$(wall_median_ms "$window_rounds" recollq -c "$recollconf" -n 100 -q "$rq")
  printf '%-20s %11s %11s %7s %9s\n' "$vq" "$wms" "$rms" \
    "$(awk -v a="$wms" -v b="$rms" 'BEGIN {if (b > 0) printf "%.3f", a / b}')" "$files"
done
rm -f "$window_report"
echo "(window: cmdOKClick until lstFiles holds the first page of 100 names, median of" \
  "$window_rounds; recollq: process wall time, median of $window_rounds)"
echo
"$window" paging "$work/generated" index 200 2>/dev/null
for size in 100 1000 10000; do
  "$window" memory "$work/generated" index "$size" 2>/dev/null
done
