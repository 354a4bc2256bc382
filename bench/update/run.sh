#!/usr/bin/env bash
# Incremental updates against the file system's own speed, on bench/build's corpus:
#   - an update with nothing changed, side by side with `find CORPUS -type f -newer MARK`
#     (the least any update must do: look at every file), round by round;
#   - an update after touching 100 files, against the unchanged one (a touched file whose
#     words are unchanged has only its stamp stored anew);
#   - an update after changing 100 files (a word added to each), against the unchanged one.
# Prints every round and the medians and ratios. Works on a copy of the corpus (touching
# files must not disturb other benchmarks that share it).
# Usage: bench/update/run.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-7}
work=${BENCH_WORK:-${TMPDIR:-/tmp}/vellumar-bench-update}
shared=${BENCH_CORPUS:-${TMPDIR:-/tmp}/vellumar-bench-build/corpus}

bench/build/make-corpus.sh "$shared"
mkdir -p "$work"
[ -f "$work/corpus/.complete" ] || { rm -rf "$work/corpus"; cp -a "$shared" "$work/corpus"; }
corpus=$work/corpus
cmake --build "$build" --target vellumar-cli >/dev/null
cli=$(pwd)/$build/src/cli/vellumar-cli
home=$work/home
scope="$corpus/+<*.html,*.htm,*.txt,*.pdf,*.rtf,*.doc,*.docx,*.odt>"

seconds() { # wall time of a command in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  python3 -c "print(f'{$end - $start:.3f}')"
}
median() { python3 -c 'import sys,statistics; print(f"{statistics.median(map(float,sys.argv[1:])):.3f}")' "$@"; }
ratio() { python3 -c 'import sys; a,b=map(float,sys.argv[1:]); print(f"{a/b:.2f}" if b else "inf")' "$1" "$2"; }

rm -rf "$home"
"$cli" --home "$home" create corpus "$scope" >/dev/null 2>&1
echo "corpus: $(find "$corpus" -type f | wc -l) files; $("$cli" --home "$home" list | head -1)"
"$cli" --home "$home" update corpus >/dev/null 2>&1  # settles what the build could not read
touch "$work/mark"
sleep 1

same=(); find_=(); touched=(); changed=(); per=()
for round in $(seq "$rounds"); do
  # Alternate which goes first, so a warm cache favours neither.
  if [ $((round % 2)) -eq 1 ]; then
    s=$(seconds "$cli" --home "$home" update corpus)
    f=$(seconds find "$corpus" -type f -newer "$work/mark")
  else
    f=$(seconds find "$corpus" -type f -newer "$work/mark")
    s=$(seconds "$cli" --home "$home" update corpus)
  fi
  find "$corpus" -type f -name '*.html' | sort | sed -n "$((round * 7)),+99p" | xargs touch
  t=$(seconds "$cli" --home "$home" update corpus)
  find "$corpus" -type f -name '*.html' | sort | sed -n "$((round * 7 + 1000)),+99p" |
    while read -r file; do echo " benchround$round" >>"$file"; done
  c=$(seconds "$cli" --home "$home" update corpus)
  touch "$work/mark"
  same+=("$s"); find_+=("$f"); touched+=("$t"); changed+=("$c"); per+=("$(ratio "$s" "$f")")
  echo "round $round: unchanged $s s, find -newer $f s (ratio $(ratio "$s" "$f")), 100 touched $t s, 100 changed $c s"
done
ms=$(median "${same[@]}"); mf=$(median "${find_[@]}"); mt=$(median "${touched[@]}")
mc=$(median "${changed[@]}")
echo "medians: unchanged $ms s, find -newer $mf s, 100 touched $mt s, 100 changed $mc s"
echo "unchanged / find -newer: $(ratio "$ms" "$mf") (median of the rounds' ratios $(median "${per[@]}"))"
echo "100 touched / unchanged: $(ratio "$mt" "$ms")"
echo "100 changed / unchanged: $(ratio "$mc" "$ms")"
