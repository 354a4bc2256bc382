#!/usr/bin/env bash
# Checks the layers from what the compiler actually read, whatever the spelling of an
# include: the header lists ninja recorded for every object of a build tree.
#   - Xapian's headers are read only by the engine (libs/vellcore), even through
#     /usr/include where any file could reach them.
#   - Qt's headers are read only by the window code: src/app, the ui/ folders and
#     libs/htmlview (the core is also built without Qt's include paths, so most such
#     includes already fail to compile; this catches the rest).
#   scripts/check-layering.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-layering.sh BUILD_DIR}
command -v ninja >/dev/null || { echo "check-layering: ninja is needed" >&2; exit 2; }

ninja -C "$build" -t deps | awk '
  /^[^ ].*: #deps/ {
    object = $1
    sub(/:$/, "", object)
    # The engine, its tests, and the benchmarks that measure Xapian itself.
    engine = (object ~ /CMakeFiles\/(vellcore|test_vellcore[a-z_]*)\.dir\// || object ~ /^bench\/engine\//)
    core = (object ~ /CMakeFiles\/(vellumar_core|vellcore|wordmill|archive|doorwell|textfold|snapcatch)\.dir\//)
    next
  }
  /^    / {
    header = $1
    if (!engine && header ~ /(^|\/)xapian(\.h|\/)/ && !(object in told)) {
      print "Xapian header read outside the engine: " object " reads " header
      told[object] = 1
      bad = 1
    }
    if (core && header ~ /\/qt6\// && !(object in told)) {
      print "Qt header read by core code: " object " reads " header
      told[object] = 1
      bad = 1
    }
  }
  END { exit bad }
' >&2
