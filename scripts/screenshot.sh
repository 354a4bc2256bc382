#!/usr/bin/env bash
# Takes screenshots of the main window under Xvfb, one per visible page:
#   scripts/screenshot.sh [OUTDIR]   (default: build/screenshots)
# A throw-away home is used, started once before so that the first-run wizard is over.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
mkdir -p "$out"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
QT_QPA_PLATFORM=offscreen VELLUMAR_SCREENSHOT="$out/first-run.png" build/src/vellumar --home "$home/v" >/dev/null 2>&1 || true
for page in 0 1 2 5; do
  VELLUMAR_SCREENSHOT="$out/page$page.png" VELLUMAR_SCREENSHOT_PAGE=$page \
    xvfb-run -a -s "-screen 0 1024x700x24" build/src/vellumar --home "$home/v" >/dev/null 2>&1
done
ls "$out"
