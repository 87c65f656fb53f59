#!/usr/bin/env bash
# A recording killed with kill -9 mid-way: ffmpeg must still decode every
# frame up to about one second before the kill (the headers' counts are
# brought up to date every second), with the frames in their places.
# Usage: record_kill.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="${1:?build folder}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix

out="$(mktemp -d /tmp/morva_record_kill.XXXXXX)"
pid=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$out"' EXIT
win="Z:${out//\//\\}"
export MORVA_CAPTURE_SETTINGS="$win\\MorvaCap.ini"  # the camera's own defaults
(cd "$build/bin" && exec wine ./record_until_killed.exe "$win\\killed.avi" "$win\\count.txt" >/dev/null 2>&1 </dev/null) &
pid=$!
reached=0
for _ in $(seq 1 300); do  # up to 30 s for three seconds of recording
  [ -f "$out/count.txt" ] && reached="$(tr -dc 0-9 <"$out/count.txt" 2>/dev/null || echo 0)"
  [ "${reached:-0}" -ge 45 ] 2>/dev/null && break
  sleep 0.1
done
sleep 0.5  # into the next second, between two refreshes of the headers
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
pid=
if [ "${reached:-0}" -lt 45 ]; then echo "FAIL the recording did not get going (frames: $reached)"; exit 1; fi

f="$out/killed.avi"
decoded="$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$f" 2>/dev/null || echo 0)"
# The last report said $reached frames; the headers were refreshed then, so
# at least that many minus one second (15 frames) must decode.
need=$((reached - 15))
if [ "${decoded:-0}" -lt "$need" ]; then echo "FAIL killed recording: $decoded frames decode, at least $need expected"; exit 1; fi
errors="$(ffmpeg -v error -i "$f" -f null - 2>&1 || true)"
if [ -n "$errors" ]; then echo "FAIL killed recording: ffmpeg says: $errors"; exit 1; fi
# Decoded frame k is the camera's frame of its number.
# (A frame dropped on a busy machine is an empty packet and decodes to
# nothing: the packets' time stamps say which camera frame each one is.)
ffprobe -v error -select_streams v -show_entries packet=pts,size -of csv=p=0 "$f" >"$out/pts.csv"
last="$(awk -F, '$2 > 0 { n = $1 } END { print n + 1 }' "$out/pts.csv")"
"$root/scripts/wine-run" "$build/bin/reference_frames.exe" 160 120 66667 "$last" "$win\\ref.raw" >/dev/null
ffmpeg -v error -i "$f" -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt bgr24 "$out/got.raw"
python3 "$here/record_same_frames.py" "$out/ref.raw" "$out/got.raw" "$out/pts.csv" killed 160 120 >/dev/null || {
  echo "FAIL killed recording: decoded frames differ from the camera's"; exit 1; }
echo "ok   killed after $reached frames reported: $decoded frames decode without errors"
