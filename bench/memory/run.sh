#!/usr/bin/env bash
# Peak memory of index builds over documents far larger than any document should be:
#   1. a 1 GiB text file and, beside it, a PDF whose converter prints without end;
#   2. a zip holding one 900 MiB text member (Scan archives on);
#   3. a 1 GiB file of random bytes (not UTF-8: read as Windows-1252, which grows it).
# Each build runs as its own vellumar-cli process; its peak resident memory (the kernel's
# maxrss of the child) and wall time are taken over ROUNDS rounds and the medians shown.
# The goal is a peak under 300 MB for both.
# Usage: bench/memory/run.sh [BUILD_DIR] [ROUNDS] [OTHER_CLI]
# With OTHER_CLI (another vellumar-cli, say an earlier version) each round runs both, one
# after the other, and the ratio of the peaks is shown.
# Needs python3 (for the corpus and the measurement); installs nothing.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-3}
other=${3:-}
work=${BENCH_WORK:-${TMPDIR:-/tmp}/vellumar-bench-memory}
mkdir -p "$work"

[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target vellumar-cli >/dev/null
cli=$(pwd)/$build/src/cli/vellumar-cli

type=$(grep -E '^CMAKE_BUILD_TYPE:' "$build/CMakeCache.txt" | cut -d= -f2)
echo "build type: ${type:-RelWithDebInfo, the project default}"
echo "compiler flags: $(grep -E '^CMAKE_CXX_FLAGS_RELWITHDEBINFO:|^CMAKE_CXX_FLAGS_RELEASE:' "$build/CMakeCache.txt" | tr '\n' ' ')"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //') ($(nproc) cores)"

# The corpus, made once: words of a 20,000-word vocabulary with Zipf-like frequencies.
python3 - "$work" <<'PY'
import os, random, sys, zipfile
work = sys.argv[1]
random.seed(7)
letters = "abcdefghijklmnopqrstuvwxyz"
vocabulary = ["".join(random.choice(letters) for _ in range(random.randint(3, 10)))
              for _ in range(20000)]
weights = [1.0 / (rank + 1) for rank in range(len(vocabulary))]
def block(size):
    words, length = [], 0
    while length < size:
        line = " ".join(random.choices(vocabulary, weights, k=12)) + "\n"
        words.append(line)
        length += len(line)
    return "".join(words).encode()[:size]
def write_big(path, size):
    if os.path.exists(path) and os.path.getsize(path) == size:
        return
    chunk = block(1 << 20)
    with open(path, "wb") as out:
        written = 0
        while written < size:
            piece = chunk[: min(len(chunk), size - written)]
            out.write(piece)
            written += len(piece)
big = os.path.join(work, "text", "big.txt")
os.makedirs(os.path.dirname(big), exist_ok=True)
write_big(big, 1 << 30)
with open(os.path.join(work, "text", "flood.pdf"), "wb") as f:
    f.write(b"%PDF-1.4 not really\n")
noise = os.path.join(work, "binary", "noise.bin")
os.makedirs(os.path.dirname(noise), exist_ok=True)
if not (os.path.exists(noise) and os.path.getsize(noise) == 1 << 30):
    chunk = random.randbytes(1 << 20)
    with open(noise, "wb") as out:
        for _ in range(1024):
            out.write(chunk)
member = os.path.join(work, "member.txt")
archive = os.path.join(work, "zip", "one.zip")
os.makedirs(os.path.dirname(archive), exist_ok=True)
if not os.path.exists(archive):
    write_big(member, 900 << 20)
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        z.write(member, "inside/member.txt")
    os.remove(member)
PY

# The flooding converter: found in the home before the PATH, like a copy in the program
# folder.
home=$work/home
make_home() {
  rm -rf "$home"
  mkdir -p "$home"
  printf '#!/bin/sh\nexec yes "flood of converted words without any end"\n' > "$home/pdftotext"
  chmod +x "$home/pdftotext"
}

# Runs one command; prints "SECONDS PEAK_MB".
measure() {
  python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.monotonic()
code = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
elapsed = time.monotonic() - start
peak_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
if code not in (0, 1):
    sys.exit(f"the build failed with status {code}: {sys.argv[1:]}")
print(f"{elapsed:.2f} {peak_kb / 1024:.1f}")
PY
}

ratio() { python3 -c 'import sys; a, b = map(float, sys.argv[1:]); print(f"{a / b:.2f}")' "$1" "$2"; }
median() { python3 -c 'import sys,statistics; print(f"{statistics.median(float(x) for x in sys.argv[1:]):.1f}")' "$@"; }

run_case() { # label, then the create command's arguments after the index name
  local label=$1
  shift
  local times=() peaks=() otherPeaks=() t p
  for round in $(seq "$rounds"); do
    make_home
    read -r t p < <(measure "$cli" --home "$home" create bench "$@") || exit 1
    times+=("$t")
    peaks+=("$p")
    if [ -n "$other" ]; then
      make_home
      read -r t p < <(measure "$other" --home "$home" create bench "$@") || exit 1
      otherPeaks+=("$p")
    fi
  done
  echo "$label: peak ${peaks[*]} MB (median $(median "${peaks[@]}") MB), time ${times[*]} s (median $(median "${times[@]}") s)"
  if [ -n "$other" ]; then
    local mine theirs
    mine=$(median "${peaks[@]}")
    theirs=$(median "${otherPeaks[@]}")
    echo "  other: peak ${otherPeaks[*]} MB (median $theirs MB); peak ratio $(ratio "$mine" "$theirs")"
  fi
}

run_case "1 GiB text + flooding converter" "$work/text/+<*.txt,*.pdf>"
run_case "900 MiB zip member            " "$work/zip/+<*.txt>" --archives
run_case "1 GiB of random bytes         " "$work/binary/+<*.bin>"
