# Sourced by the benchmark scripts: announce and install their extra packages, and print
# the build and the machine their figures come from, so that no figure travels without
# the conditions it was measured under.

# bench_install REASON PACKAGE...: says which packages are missing and why before
# installing them (through scripts/ensure-packages.sh); silent when all are there.
bench_install() {
  local reason=$1
  shift
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "This benchmark installs ${missing[*]} ($reason)." >&2
  "$(dirname "${BASH_SOURCE[0]}")/../scripts/ensure-packages.sh" "${missing[@]}"
}

# bench_describe BUILD_DIR: the build type, compiler and flags of that tree (the flags as
# the compiler received them for the parsers' main file), the CPU and the machine's load.
bench_describe() {
  local cache=$1/CMakeCache.txt type compiler flags
  type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$cache")
  compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
  flags=$(python3 - "$1/compile_commands.json" <<'PY' 2>/dev/null || echo '?'
import json, shlex, sys
for entry in json.load(open(sys.argv[1])):
    if entry["file"].endswith("wordmill/src/Parser.cpp"):
        words = shlex.split(entry["command"])[1:]
        keep, skip = [], False
        for w in words:
            if skip: skip = False; continue
            if w in ("-o", "-c", "-MF", "-MT", "-I"): skip = True; continue
            if w.startswith(("-I", "-M")) or not w.startswith("-") or "/" in w: continue
            keep.append(w)
        print(" ".join(keep)); break
PY
)
  # An empty type in the cache means the project's default, set in CMakeLists.txt.
  echo "build:    $1, type ${type:-RelWithDebInfo (the default)}, $("$compiler" --version | head -1)"
  echo "flags:    $flags"
  echo "cpu:      $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(nproc) cores"
  echo "load:     $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
  echo "kernel:   $(uname -sr), transparent huge pages $(sed 's/.*\[\(.*\)\].*/\1/' \
    /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null || echo '?')"
  echo
}
