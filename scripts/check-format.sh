#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted as .clang-format says, naming the
# files; `scripts/check-format.sh --fix` formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is needed" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=$(clang-format --dry-run "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "Not formatted as .clang-format says (scripts/check-format.sh --fix formats them):" >&2
  echo "$bad" >&2
  exit 1
fi
