#!/usr/bin/env bash
# Sets up the machine, builds Vellumar and starts it. Arguments go to the program
# (for example: ./run.sh --home /tmp/vellumar-home). Only the two programs are built
# here; ./test.sh builds and runs the tests.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -G Ninja >/dev/null
fi
cmake --build build --parallel "$(nproc)" --target vellumar vellumar-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  if [ -x scripts/demo.sh ]; then
    echo "Running the command-line demonstration instead." >&2
    exec scripts/demo.sh
  fi
  exit 1
fi
exec build/src/vellumar "$@"
