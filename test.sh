#!/usr/bin/env bash
# Sets up the machine, builds Vellumar and runs every test: the whole suite (core and
# windows, offscreen), then the core tests once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz target for a few seconds (clang, in a tree of
# their own; bench/fuzz/run.sh does the long runs).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./scripts/check-format.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

./scripts/build.sh build
./scripts/check-layering.sh build
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 600

./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DVELLUMAR_CORE_ONLY=ON -DVELLUMAR_SANITIZE=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 900 -L core

./fuzz/run.sh --seconds 5 --timeout 60
