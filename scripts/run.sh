#!/usr/bin/env bash
# Runs the program on the bundled sample traces. Without a display it says so and does the
# main job headless: it analyses the sample traces and prints their events.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
shopt -s nullglob
samples=("$bin"/default/curve/*.sor)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: analysing the bundled sample traces instead of opening the window."
  if [ -x "$bin/otdrcli" ] && [ ${#samples[@]} -gt 0 ]; then
    for f in "${samples[@]}"; do
      echo "== $f"
      "$bin/otdrcli" analyze "$f"
    done
  else
    echo "(no sample traces or command-line companion built yet)"
  fi
  exit 0
fi
exec "$bin/OTDR" "${samples[@]}"
