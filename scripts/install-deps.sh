#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run and test the program.
# Idempotent: packages already present are skipped, and nothing is fetched when all are there.
set -euo pipefail

PACKAGES=(
  # toolchain
  g++ cmake ninja-build make pkg-config
  # Qt 6 Widgets (with printing support) and SVG icons
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  # xlsx report export
  libzip-dev libpugixml-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fonts for the three interface languages on screen and on paper
  fonts-liberation fonts-wqy-microhei
  # headless runs, screenshots and reading printouts back
  xvfb xauth poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
