#!/usr/bin/env bash
# The core and the stand-in libraries link no Qt: no Qt header may appear outside the
# window code (src/app and the ui/ folders, libs/htmlview). Xapian stays inside the engine.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
qt=$(grep -rln --include='*.h' --include='*.cpp' -E '#include <Q[A-Za-z]*>|#include <Qt' src libs |
  grep -v -E '^src/app/|/ui/|^libs/htmlview/' || true)
if [ -n "$qt" ]; then
  echo "Qt headers in core code:" >&2
  echo "$qt" >&2
  status=1
fi
xapian=$(grep -rln --include='*.h' --include='*.cpp' '#include <xapian' src libs | grep -v '^libs/vellcore/src/' || true)
if [ -n "$xapian" ]; then
  echo "Xapian headers outside the engine's sources:" >&2
  echo "$xapian" >&2
  status=1
fi
exit $status
