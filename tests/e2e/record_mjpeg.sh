#!/usr/bin/env bash
# A recording compressed by Morva's Motion JPEG codec, chosen the way a user
# does: morva.exe's Setting > Video Compresser opens the capture service's
# compression dialog, command_driver.exe picks "Morva Motion JPEG" there and
# the recording runs from the Capture menu. ffprobe and ffmpeg read it back:
# an mjpeg stream at the camera's size and rate, every frame a key frame, a
# decode without error, the frames close to the camera's own (PSNR), far
# smaller than raw. A higher quality, typed into the codec's own Configure
# dialog from the compression dialog, gives a larger file; after a restart
# the camera records with the codec at that quality without any dialog
# (remembered per camera in MorvaCap.ini).
# Usage: record_mjpeg.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"
# shellcheck source=media_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/media_checks.sh"

drive() { (cd "$bin" && wine command_driver.exe "$@" 2>&1 | tr -d '\r'); }
post() { drive command "$title" "$1" >/dev/null || { echo "FAIL command $1 not posted"; fail=1; }; }
raw_frame=$((320 * 240 * 3))

start_app() {
  (cd "$bin" && exec wine morva.exe) >"$out/app.log" 2>&1 </dev/null &
  app=$!
  (cd "$bin" && wine winctl.exe wait "$title" 120000) >/dev/null 2>&1 || { echo "record_mjpeg: no main window"; exit 1; }
}
stop_app() {
  (cd "$bin" && wine winctl.exe close "$title" 60000) >/dev/null 2>&1 || kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}
# Video Compresser: the codec, at the JPEG quality $1 typed into its Configure
# dialog (-1: its default; Wine's compression dialog keeps its own quality bar
# disabled).
choose_codec() {
  post 40025
  expect "compressor picked (quality $1)" "$(drive choose-compressor 120000 "Morva Motion JPEG" "$1")" \
    "Morva Motion JPEG"
}
# New to $1, then Video Stream: confirmed, 3 s at 15 frames/s, end box answered.
record() {
  post 40017
  drive save 120000 "$win\\$1" >/dev/null || { echo "FAIL save dialog for $1"; fail=1; }
  post 40022
  drive press "Start Recording" 120000 >/dev/null || { echo "FAIL no Start Recording box"; fail=1; }
  drive press "$title" 120000 >/dev/null || { echo "FAIL no end-of-capture box"; fail=1; }
}

printf '[Setting]\r\nFrameRate=15\r\nTimeInterval=3\r\nEnableTimeLimit=1\r\nCaptureAudio=0\r\n' >"$ini"
trap 'kill "${app:-0}" 2>/dev/null || true; rm -rf "$out"' EXIT
start_app
choose_codec -1
record default.avi
f="$out/default.avi"
video="$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)"
case "$video" in
  mjpeg,320,240,500000/33333,45|mjpeg,320,240,500000/33333,46) echo "ok   default.avi video: $video" ;;
  *) echo "FAIL default.avi video: got '$video', expected mjpeg,320,240,500000/33333 with 45 or 46 frames"; fail=1 ;;
esac
expect "every packet a key frame" "$(ffprobe -v error -select_streams v -show_entries packet=flags -of csv=p=0 "$f" | sort -u | tr -d '_\n')" "K"
decodes_clean "$f"
"$root/scripts/wine-run" "$bin/reference_frames.exe" 320 240 66666 46 "$win\\ref.raw" >/dev/null
ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s 320x240 -i "$out/ref.raw" -f rawvideo -pix_fmt yuvj420p "$out/ref.yuv"
ffmpeg -v error -y -i "$f" -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt yuvj420p "$out/got.yuv"
ffprobe -v error -select_streams v -show_entries packet=pts,size -of csv=p=0 "$f" >"$out/pts.csv"
python3 "$here/record_psnr.py" "$out/ref.yuv" "$out/got.yuv" "$out/pts.csv" default.avi 320 240 38 || fail=1
bytes="$(awk -F, '{ s += $2; n++ } END { printf "%d", s / n }' "$out/pts.csv")"
if [ "$((bytes * 10))" -lt "$raw_frame" ]; then
  echo "ok   default.avi frames average $bytes bytes, raw $raw_frame"
else
  echo "FAIL default.avi frames average $bytes bytes, not a tenth of raw ($raw_frame)"; fail=1
fi
expect "remembered for the camera" "$(tr -d '\r' <"$out/MorvaCap.ini" | sed -n 's/^Compressor=//p')" "MJPG"

choose_codec 100
record best.avi
f_best="$out/best.avi"
expect "best.avi video" "$(probe "$f_best" v codec_name,width,height)" "mjpeg,320,240"
decodes_clean "$f_best"
if [ "$(stat -c %s "$f_best")" -gt "$(stat -c %s "$f")" ]; then
  echo "ok   the highest quality gives a larger file: $(stat -c %s "$f_best") > $(stat -c %s "$f") bytes"
else
  echo "FAIL best.avi ($(stat -c %s "$f_best") bytes) is no larger than default.avi ($(stat -c %s "$f"))"; fail=1
fi
stop_app

# A new start: the camera records with the codec at that quality, no dialog.
start_app
record again.avi
expect "again.avi video after a restart" "$(probe "$out/again.avi" v codec_name,width,height)" "mjpeg,320,240"
decodes_clean "$out/again.avi"
size_near() {  # the same quality: within a tenth of best.avi's size
  awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b * 0.9 && a < b * 1.1) }'
}
if size_near "$(stat -c %s "$out/again.avi")" "$(stat -c %s "$f_best")"; then
  echo "ok   again.avi kept the configured quality: $(stat -c %s "$out/again.avi") bytes"
else
  echo "FAIL again.avi ($(stat -c %s "$out/again.avi") bytes) is not of best.avi's quality ($(stat -c %s "$f_best"))"
  fail=1
fi
stop_app
exit $fail
