#!/usr/bin/env bash
# Sets up the machine, builds Vellumar and starts it. Arguments go to the program
# (for example: ./run.sh --home /tmp/vellumar-home).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/build.sh build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  if [ -x scripts/demo.sh ]; then
    echo "Running the command-line demonstration instead." >&2
    exec scripts/demo.sh
  fi
  exit 1
fi
exec build/src/vellumar "$@"
