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
morva_headless_session

echo "== capture service (target: synthesis >= 1000 frames/s, preview < 10% of a core, SAVEDIB < 5 ms)"
"$root/build/bench-native/benchmarks/service/bench_frame_synth"
"$root/scripts/wine-run" "$MORVA_BUILD/bin/bench_service.exe" preview 10
"$root/scripts/wine-run" "$MORVA_BUILD/bin/bench_service.exe" savedib 100

# --- Recording ---------------------------------------------------------------
echo "== recording (targets: 640x480 24-bit at 30 fps for 60 s drops no frame and uses < 25% of a core;"
echo "   the native AVI writer at least as fast as ffmpeg muxing the same raw frames)"
"$root/scripts/wine-run" "$MORVA_BUILD/bin/bench_recording.exe" 60 2>&1 | grep '^recording'
cmake --build "$root/build/bench-native" -j2 --target avi_write_bench >/dev/null
rec_tmp="$(mktemp -d "$root/build/bench-recording.XXXXXX")"
frames=600  # 20 s of 640x480 at 30 fps: 553 MB of raw frames
ffmpeg -v error -f lavfi -i "testsrc=size=640x480:rate=30" -frames:v $frames -f rawvideo -pix_fmt bgr24 "$rec_tmp/raw.bgr"
cat "$rec_tmp/raw.bgr" >/dev/null  # both writers read it from the page cache
t0=$(date +%s.%N)
ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s 640x480 -r 30 -i "$rec_tmp/raw.bgr" -c:v rawvideo "$rec_tmp/ffmpeg.avi"
t1=$(date +%s.%N)
"$root/build/bench-native/benchmarks/recording/avi_write_bench" "$rec_tmp/morva.avi" 640 480 $frames --fps 30 --raw "$rec_tmp/raw.bgr" >/dev/null
t2=$(date +%s.%N)
dd if=/dev/zero of="$rec_tmp/dd.bin" bs=1M count=553 2>&1 | tail -1 | sed 's/^/dd sequential write: /'
t3=$(date +%s.%N)
size=$(stat -c %s "$rec_tmp/morva.avi")
awk -v t0="$t0" -v t1="$t1" -v t2="$t2" -v t3="$t3" -v s="$size" 'BEGIN {
  f = t1 - t0; m = t2 - t1; d = t3 - t2; dd = 553 * 1048576 / 1e6 / d
  printf "ffmpeg rawvideo mux: %.2f s; AVI writer: %.2f s (%.0f MB/s); ratio ffmpeg/writer %.2f (goal >= 1.0); dd %.0f MB/s; writer/dd %.2f\n",
    f, m, s / 1e6 / m, f / m, dd, (s / 1e6 / m) / dd }'
rm -rf "$rec_tmp"
