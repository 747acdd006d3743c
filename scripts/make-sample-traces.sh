#!/usr/bin/env bash
# Regenerates the sample traces shipped in default/curve/ with the trace generator.
#   scripts/make-sample-traces.sh [build-dir]      (default build dir: build)
# The traces are synthetic, with known events; the same settings always give the same files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
out="$root/default/curve"

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
gen="$build/bin/otdr-tracegen"
if ! cmake --build "$build" --target tracegen-cli; then
  [ -x "$gen" ] || exit 1
  echo "warning: the build failed; using the trace generator already built in $build" >&2
fi
mkdir -p "$out"

# A 10 km access link at 1310 nm: fusion splices, a connector pair at 5 km, a bend at 6.8 km.
"$gen" -o "$out/link-10km-1310nm.sor" \
  wavelength=1310 pulse=100 rate=50 length=10.02km \
  event=2.1km,0.12 event=4.3km,0.15 event=5km,0.45,4 event=6.8km,0.6 event=8.2km,0.1 \
  end-reflection=14 seed=1310 timestamp=1767603600 \
  cable=ACC-010 fibre=F07 from=Exchange to="Cabinet 12" operator=Tech comment="Access link, 1310 nm"

# A 40 km trunk at 1550 nm with a long pulse: splices every few kilometres, a patch panel at 30 km.
"$gen" -o "$out/trunk-40km-1550nm.sor" \
  wavelength=1550 pulse=1000 rate=25 index=1.4682 length=40.3km \
  event=10km,0.15 event=20km,0.2 event=25.4km,0.12 event=30km,0.5,4 event=34km,0.1 \
  end-reflection=10 seed=1550 timestamp=1767607200 \
  cable=TRK-040 fibre=F01 from="Central office" to="Remote node" operator=Tech comment="Trunk, 1550 nm"

# A short 1625 nm run through patch cords with a 10 ns pulse: closely spaced connectors.
"$gen" -o "$out/patchcords-1625nm.sor" \
  wavelength=1625 pulse=10 rate=200 index=1.4685 length=1.26km \
  event=152m,0.35,10 event=305m,0.4,11 event=640m,0.3,9 event=900m,0.5,12 \
  end-reflection=16 launch-reflection=18 seed=1625 timestamp=1767610800 \
  cable=LAB-002 fibre=P4 from="Rack A" to="Rack D" operator=Tech comment="Patch cord run, 1625 nm"

ls -l "$out"/*.sor
