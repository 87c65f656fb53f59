#!/usr/bin/env bash
# Benchmarks, run by hand (never by the test suite): every figure and the
# anchor it is compared with (ffmpeg, dd, a trivial one-window program) in one
# run, interleaved, printed as one table (benchmarks/report/run_all.py) and
# kept in build/benchmarks.md. Builds trees of its own, build/bench-native
# (Release, no sanitizers) and build/bench-win32 (Release; build/bench-win64
# where the machine runs no 32-bit programs, as for the tests), and runs the
# Windows programs under Wine on a virtual X display of its own with a warm
# wineserver; the build's Motion JPEG codec is installed in its prefix. Takes
# about an hour (45 minutes with MORVA_BENCH_PAIRS=5), and up to 20 GB of free
# disk for the 3840 x 2160 recording (a row that does not fit is skipped,
# saying so).
# Usage: scripts/benchmarks.sh [ROW ...]   (rows by name, all by default;
# MORVA_BENCH_PAIRS, MORVA_BENCH_RUNS and MORVA_BENCH_SECONDS change the
# counts: see benchmarks/report/run_all.py; a trial of the rows:
# MORVA_BENCH_PAIRS=1 MORVA_BENCH_RUNS=1 MORVA_BENCH_SECONDS=6)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

echo "== building the benchmark trees"
cmake -S "$root" -B "$root/build/bench-native" -DMORVA_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/bench-native" -j2 --target bench_frame_synth avi_write_bench >/dev/null
# shellcheck source=wine-arch.sh
. "$root/scripts/wine-arch.sh"
toolchain=toolchain-i686-w64-mingw32.cmake
if [ "$MORVA_WINE_ARCH" = win64 ]; then toolchain=toolchain-x86_64-w64-mingw32.cmake; fi
export MORVA_BUILD="$root/build/bench-$MORVA_WINE_ARCH"
cmake -S "$root" -B "$MORVA_BUILD" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
cmake --build "$MORVA_BUILD" -j2 \
  --target morva avicap32 morvamjpg winctl bench_service bench_recording bench_ffmpeg_camera one_window \
  bench_mjpeg_encode reference_frames >/dev/null

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
morva_headless_session
unset MORVA_CAMERAS

echo "== running (DISPLAY=$DISPLAY)"
python3 -B "$root/benchmarks/report/run_all.py" "$root" "$root/build/bench-native" "$MORVA_BUILD" "$@" |
  tee "$root/build/benchmarks.md"
