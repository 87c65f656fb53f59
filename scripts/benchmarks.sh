#!/usr/bin/env bash
# Benchmarks, run by hand (never by the test suite); each section prints its
# figures. Builds its own trees: build/bench-native (Release, no sanitizers)
# and build/bench-win32 (Release), and runs the Windows programs under Wine
# on a virtual X display of its own.
# Usage: scripts/benchmarks.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

echo "== building the benchmark trees"
cmake -S "$root" -B "$root/build/bench-native" -DMORVA_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench-native" -j2 --target bench_frame_synth >/dev/null
cmake -S "$root" -B "$root/build/bench-win32" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
cmake --build "$root/build/bench-win32" -j2 >/dev/null

export MORVA_BUILD="$root/build/bench-win32"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix
morva_start_xvfb
wineserver -p
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$MORVA_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

echo "== capture service (target: synthesis >= 1000 frames/s, preview < 10% of a core, SAVEDIB < 5 ms)"
"$root/build/bench-native/benchmarks/service/bench_frame_synth"
"$root/scripts/wine-run" "$MORVA_BUILD/bin/bench_service.exe" preview 10
"$root/scripts/wine-run" "$MORVA_BUILD/bin/bench_service.exe" savedib 100
