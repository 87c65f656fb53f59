#!/usr/bin/env bash
# Every BMP that the capture service's SAVEDIB test writes is read back by
# ImageMagick (and ffprobe where installed): format, size and every pixel,
# against the PPM that the test made from the clipboard's copy of the frame.
# Usage: service_bmp.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="${1:?build folder}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"

out="$(mktemp -d /tmp/morva_service_bmp.XXXXXX)"
trap 'rm -rf "$out"' EXIT
export MORVA_SERVICE_OUT="Z:${out//\//\\}"

"$root/scripts/wine-run" "$build/bin/service_tests.exe" \
  --gtest_filter=ServiceTest.SaveDibWritesTheFrameOnTheClipboardAsBmp >"$out/run.log" 2>&1 || {
  cat "$out/run.log"; echo "service_bmp: the writing test failed"; exit 1; }

shopt -s nullglob
bmps=("$out"/*.bmp)
if [ ${#bmps[@]} -lt 5 ]; then
  echo "service_bmp: expected 5 BMPs, found ${#bmps[@]}"; ls -l "$out"; exit 1
fi
fail=0
for bmp in "${bmps[@]}"; do
  name="$(basename "$bmp" .bmp)"            # frame_<W>x<H>_<bits>
  size="${name#frame_}"; size="${size%_*}"; bits="${name##*_}"
  w="${size%x*}"; h="${size#*x}"
  got="$(identify -format '%m %w %h' "$bmp" 2>&1)" || true
  # BMP3: ImageMagick's name for a file with the 40-byte info header.
  if [ "$got" != "BMP3 $w $h" ]; then
    echo "FAIL $name: identify says '$got', expected 'BMP3 $w $h'"; fail=1; continue
  fi
  # 5-bit channels may be widened with another rounding: allow one step.
  fuzz=0; [ "$bits" = 16 ] && fuzz=3%
  diff="$(compare -metric AE -fuzz "$fuzz" "$bmp" "$out/$name.ppm" null: 2>&1)" || true
  if [ "$diff" != 0 ]; then
    echo "FAIL $name: $diff pixels differ from the clipboard's frame"; fail=1; continue
  fi
  if command -v ffprobe >/dev/null 2>&1; then
    dims="$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height \
      -of csv=p=0:s=x "$bmp" 2>&1)" || true
    if [ "$dims" != "${w}x${h}" ]; then
      echo "FAIL $name: ffprobe says '$dims'"; fail=1; continue
    fi
  fi
  echo "ok   $name ($w x $h, $bits bits)"
done
exit $fail
