#!/usr/bin/env bash
# Index building and searching measured side by side with Recoll on one corpus of real
# documents (HTML manuals, text, PDF, RTF, .doc, .docx, .odt; see make-corpus.sh):
#   full build, re-run with nothing changed, update after touching 100 files, ten queries
#   (process wall time, median of the rounds), and the size of both indexes.
# Usage: bench/build/run.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-5}
work=${BENCH_WORK:-${TMPDIR:-/tmp}/vellumar-bench-build}
corpus=$work/corpus

source bench/env.sh
bench_install "Recoll to measure against, with its HTML and RTF filters" recoll python3-lxml unrtf
bench/build/make-corpus.sh "$corpus"
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vellumar-cli >/dev/null
cli=$(pwd)/$build/src/cli/vellumar-cli
bench_describe "$build"

home=$work/home
recollconf=$work/recoll
patterns='*.html,*.htm,*.txt,*.pdf,*.rtf,*.doc,*.docx,*.odt'
scope="$corpus/+<$patterns>"

reset_indexes() {
  rm -rf "$home" "$recollconf"
  mkdir -p "$recollconf"
  # The same documents for both: the formats both read, no file-name-only entries.
  cat > "$recollconf/recoll.conf" <<CONF
topdirs = $corpus
loglevel = 1
indexallfilenames = 0
indexedmimetypes = text/html text/plain application/pdf text/rtf application/msword \
 application/vnd.openxmlformats-officedocument.wordprocessingml.document \
 application/vnd.oasis.opendocument.text
CONF
}

seconds() { # runs a command, prints its wall time in seconds; a failed run ends the benchmark
  local start end status=0 log
  log=$(mktemp)
  start=$(date +%s.%N)
  "$@" >"$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  if [ $status -ne 0 ]; then
    # A run that failed or crashed must never count as a fast one.
    { echo "benchmark stopped: exit status $status from: $*"; tail -50 "$log"; } >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
  echo "$end - $start" | python3 -c 'import sys; print(f"{eval(sys.stdin.read()):.3f}")'
}

median() { python3 -c 'import sys,statistics; v=[float(x) for x in sys.argv[1:]]; print(f"{statistics.median(v):.3f}")' "$@"; }
ratio() { python3 -c 'import sys; a,b=map(float,sys.argv[1:]); print(f"{a/b:.2f}" if b else "inf")' "$1" "$2"; }

echo "corpus: $(du -sh "$corpus" | cut -f1), $(find "$corpus" -type f | wc -l) files"
echo

# Full builds, two rounds, alternating which program goes first.
v_full=(); r_full=()
for round in 1 2; do
  reset_indexes
  if [ $round -eq 1 ]; then
    v_full+=("$(seconds "$cli" --home "$home" create corpus "$scope")")
    r_full+=("$(seconds recollindex -c "$recollconf")")
  else
    r_full+=("$(seconds recollindex -c "$recollconf")")
    v_full+=("$(seconds "$cli" --home "$home" create corpus "$scope")")
  fi
done
vf=$(median "${v_full[@]}"); rf=$(median "${r_full[@]}")
echo "full build        vellumar ${v_full[*]} s   recollindex ${r_full[*]} s   ratio $(ratio "$vf" "$rf")"
"$cli" --home "$home" list

# Nothing changed.
touch "$work/mark"
sleep 1
v_same=(); r_same=(); f_same=()
for round in $(seq "$rounds"); do
  v_same+=("$(seconds "$cli" --home "$home" update corpus)")
  r_same+=("$(seconds recollindex -c "$recollconf")")
  f_same+=("$(seconds find "$corpus" -type f -newer "$work/mark")")
done
vs=$(median "${v_same[@]}"); rs=$(median "${r_same[@]}"); fs=$(median "${f_same[@]}")
echo "unchanged update  vellumar $vs s   recollindex $rs s   find -newer $fs s   vellumar/find $(ratio "$vs" "$fs")"

# 100 files touched.
v_touch=(); r_touch=()
for round in $(seq "$rounds"); do
  find "$corpus" -type f -name '*.html' | sort | sed -n "$((round * 7)),+99p" | xargs touch
  v_touch+=("$(seconds "$cli" --home "$home" update corpus)")
  r_touch+=("$(seconds recollindex -c "$recollconf")")
done
vt=$(median "${v_touch[@]}"); rt=$(median "${r_touch[@]}")
echo "100 files touched vellumar $vt s   recollindex $rt s   ratio $(ratio "$vt" "$rt")"
echo

# Ten queries, each in both syntaxes (ours :: Recoll's).
queries=(
  "asyncio :: asyncio"
  "socket & timeout :: socket timeout"
  "sqlite | postgresql :: sqlite OR postgresql"
  "event loop :: \"event loop\""
  "thread* :: thread*"
  "transaction & rollback :: transaction rollback"
  "keyword arguments :: \"keyword arguments\""
  "unicode & !ascii :: unicode -ascii"
  "vacuum :: vacuum"
  "changelog & debian :: changelog debian"
)
printf '%-28s %10s %10s %8s %8s %8s\n' query vellumar recollq ratio v-files r-files
for pair in "${queries[@]}"; do
  vq=${pair%% :: *}; rq=${pair#* :: }
  vt=(); rt=()
  for round in $(seq "$rounds"); do
    vt+=("$(seconds "$cli" --home "$home" search corpus "$vq" --limit 20)")
    rt+=("$(seconds recollq -c "$recollconf" -n 20 -q "$rq")")
  done
  vm=$(median "${vt[@]}"); rm_=$(median "${rt[@]}")
  vfiles=$("$cli" --home "$home" search corpus "$vq" --limit 0 | head -1 | cut -d' ' -f1)
  rfiles=$(recollq -c "$recollconf" -n 0 -q "$rq" 2>/dev/null | sed -n 's/^\([0-9]*\) results.*/\1/p' | head -1)
  printf '%-28s %10s %10s %8s %8s %8s\n' "$vq" "$vm" "$rm_" "$(ratio "$vm" "$rm_")" "$vfiles" "${rfiles:-?}"
done
echo
echo "index size        vellumar $(du -sh "$home/Indexes/corpus" | cut -f1)   recoll $(du -sh "$recollconf/xapiandb" | cut -f1)"
