#!/usr/bin/env bash
# Starts morva.exe with the real capture service and no settings file, as a
# user first starts it: the default synthetic camera connects and its picture
# moves inside the video frame window. A second run in a larger window
# (from the settings file) checks that the picture is centred at its own
# size. Screenshots of both land in the build folder.
# Usage: connection_picture.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"

fail=0
note() { echo "connection_picture: $*"; fail=1; }

# Reads the probe's two rectangles into frame_* and cap_* variables.
probe() {
  local text
  text="$(cd "$bin" && wine connection_probe.exe "$title" 2>/dev/null | tr -d '\r')" || return 1
  read -r _ frame_l frame_t frame_r frame_b <<<"$(grep '^frame ' <<<"$text")"
  read -r _ cap_l cap_t cap_r cap_b <<<"$(grep '^capture ' <<<"$text")"
  [ -n "${cap_b:-}" ]
}

# Shots of the capture window: it must show a picture (many colours) that
# changes. Both are waited for within generous bounds (a busy machine may
# start the preview late or skip a few frames), not after a fixed pause.
check_picture() {
  local tag=$1
  local geometry="$((cap_r - cap_l))x$((cap_b - cap_t))+$cap_l+$cap_t"
  shot() { xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$out/$tag-$1.png"; }
  local colours=0 changed=0 i
  for i in $(seq 1 20); do
    shot a
    colours="$(identify -format '%k' "$out/$tag-a.png")"
    [ "$colours" -ge 6 ] && break
    sleep 0.5
  done
  [ "$colours" -ge 6 ] || { note "$tag: the picture has $colours colours; no camera picture"; return 0; }
  for i in $(seq 1 20); do
    sleep 0.4
    shot b
    changed="$(compare -metric AE "$out/$tag-a.png" "$out/$tag-b.png" null: 2>&1 || true)"
    changed="${changed%% *}"
    [ "${changed%.*}" -gt 0 ] 2>/dev/null && break
  done
  [ "${changed%.*}" -gt 0 ] 2>/dev/null || note "$tag: the picture did not move ($changed pixels changed)"
}

first_run() {
  sleep 1.5  # the preview gets going
  probe || { note "first run: windows not found"; return 0; }
  # The default camera's 320 x 240 picture is larger than the default
  # window's video frame: it fills the frame from its corner.
  [ "$cap_l" -eq "$frame_l" ] && [ "$cap_t" -eq "$frame_t" ] ||
    note "first run: picture at ($cap_l,$cap_t), frame client at ($frame_l,$frame_t)"
  check_picture first
  xwd -root -silent | convert xwd:- -crop 420x420+90+90 +repage "$build/connection_first_run.png"
}

centred_run() {
  sleep 1.5
  probe || { note "centred run: windows not found"; return 0; }
  local fw=$((frame_r - frame_l + 1)) fh=$((frame_b - frame_t + 1))
  [ $((cap_r - cap_l)) -eq 320 ] && [ $((cap_b - cap_t)) -eq 240 ] ||
    note "centred run: picture $((cap_r - cap_l))x$((cap_b - cap_t)), expected 320x240"
  [ $((cap_l - frame_l)) -eq $(((fw - 320) / 2)) ] && [ $((cap_t - frame_t)) -eq $(((fh - 240) / 2)) ] ||
    note "centred run: picture at +$((cap_l - frame_l))+$((cap_t - frame_t)) in a ${fw}x${fh} frame"
  check_picture centred
  xwd -root -silent | convert xwd:- -crop 560x520+90+90 +repage "$build/connection_centred.png"
}

rm -f "$ini"
with_running_app first_run || note "first run failed"
[ "$(ini_value DriverID)" = 0 ] || note "first run: DriverID $(ini_value DriverID), expected 0"

printf '[Position]\r\nXPOS=100\r\nYPOS=100\r\nWidth=540\r\nHeight=500\r\n' >"$ini"
with_running_app centred_run || note "centred run failed"
rm -f "$ini"

[ $fail -eq 0 ] && echo "connection_picture: default camera connected, moving picture, centred at 320x240"
exit $fail
