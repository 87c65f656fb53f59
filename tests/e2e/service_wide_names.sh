#!/usr/bin/env bash
# The files that the wide-name test writes under names outside the ANSI code
# page (a recording, its save-as copy, a still image) are found under those
# names on the Linux side and read back by ffprobe, ffmpeg and ImageMagick.
# Usage: service_wide_names.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="${1:?build folder}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"

out="$(mktemp -d /tmp/morva_wide_names.XXXXXX)"
trap 'rm -rf "$out"' EXIT
export MORVA_RECORD_OUT="Z:${out//\//\\}"

"$root/scripts/wine-run" "$build/bin/service_tests.exe" \
  --gtest_filter='WidePathTest.NamesOutsideTheCodePage' >"$out/run.log" 2>&1 || {
  cat "$out/run.log"; echo "service_wide_names: the writing test failed"; exit 1; }

# shellcheck source=media_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/media_checks.sh"
for name in 录像 副本; do
  f="$out/$name.avi"
  expect "$name.avi video" "$(ffprobe -v error -select_streams v -show_entries stream=codec_name,width,height \
    -of csv=p=0 "$f" 2>&1 || true)" "rawvideo,160,120"
  expect "$name.avi decodes" "$(ffmpeg -v error -i "$f" -f null - 2>&1 || echo failed)" ""
done
expect "副本.avi is the recording" "$(cmp "$out/录像.avi" "$out/副本.avi" 2>&1 && echo same)" same
expect "图像.bmp" "$(identify -format '%m %w %h' "$out/图像.bmp" 2>&1 || true)" "BMP3 160 120"
exit $fail
