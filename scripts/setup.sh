#!/usr/bin/env bash
# Installs every Debian package Vellumar needs to build, run and test.
# Idempotent: when everything is present it does nothing (no apt-get update).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl-dev libvulkan-dev
  libxapian-dev xapian-tools
  libarchive-dev zlib1g-dev libbrotli-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev clang-format
  poppler-utils antiword catdoc arj unzip zip
  xvfb xauth xdg-utils desktop-file-utils
)

exec "$(dirname "$0")/ensure-packages.sh" "${packages[@]}"
