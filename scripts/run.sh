#!/usr/bin/env bash
# Runs the program on the bundled sample traces. Without a display it says so and does the
# main job headless: it analyses the sample traces and prints their event tables.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
shopt -s nullglob
samples=("$bin"/default/curve/*.sor)

# Turns the JSON of `otdrcli analyze` (one key per line) into an event table.
event_table() {
  awk '
    /"events": *\[/ { inside = 1; n = 0
      printf "%4s  %-4s %12s %10s %12s %12s %12s\n", "No.", "Code", "Distance km", "Loss dB", "Refl. dB", "Atten dB/km", "Total dB"
      next }
    inside && /^ *\]/ { inside = 0; next }
    inside {
      line = $0; gsub(/[",]/, "", line); split(line, kv, ": *")
      key = kv[1]; gsub(/ /, "", key); v[key] = kv[2]
      if (line ~ /}/) {
        n++
        refl = (v["type"] != 0) ? sprintf("%12.3f", v["reflectance_db"]) : sprintf("%12s", "--")
        printf "%4d  %-4s %12.4f %10.3f %s %12.3f %12.3f\n", n, v["code"], v["distance_m"] / 1000, v["loss_db"], refl, v["attenuation_db_km"], v["total_loss_db"]
        delete v
      }
    }'
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: analysing the bundled sample traces instead of opening the window."
  if [ -x "$bin/otdrcli" ] && [ ${#samples[@]} -gt 0 ]; then
    for f in "${samples[@]}"; do
      echo
      echo "== $(basename "$f")"
      "$bin/otdrcli" analyze "$f" | event_table
    done
  else
    echo "(no sample traces or command-line companion built yet)"
  fi
  exit 0
fi
exec "$bin/OTDR" "${samples[@]}"
