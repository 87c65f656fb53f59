#!/usr/bin/env bash
# The self-timer and the Options dialog of morva.exe with the real capture
# service, driven from another process as a user would:
#   1. a click on the self-timer button with SelfTimer 10: the status bar
#      shows the gauge, its grey bar narrower each second and GO at the end;
#      the frame reaches the clipboard and the save prompt opens only after
#      10 s; the prompt is cancelled;
#   2. the Options dialog shows the values of the settings file; new values
#      are typed and confirmed (self-timer 1 becomes 3);
#   3. the next countdown lasts 3 s and its frame is saved as a bitmap that
#      ImageMagick reads;
#   4. a click on the Copy button during a countdown ends it: no prompt;
#   5. after Exit the settings file holds the Options values.
# Pictures of the gauge, the Options and the About dialog land in the build
# folder (self_timer_*.png).
# Usage: self_timer.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"

fail=0
note() { echo "self_timer: $*"; fail=1; }
probe() { (cd "$bin" && wine self_timer_probe.exe "$@" 2>/dev/null) | tr -d '\r'; }

# Command identifiers and controls of the Options dialog.
STILL_AUTO=40029 COPY=40020 OPTION=40019 ABOUT=40002
FRAME_RATE=1000 TIME_INTERVAL=1001 SELF_TIMER=1002 AUDIO=1018 TIME_LIMIT=1019 OVERLAY=1020

now() { date +%s%N; }

# Grey (128, 128, 128) and green pixels in the middle row of the status bar,
# from a screenshot of the main window saved as $1.
window_shot() {
  xwd -root -silent | convert xwd:- -crop "$((win_r - win_l))x$((win_b - win_t))+$win_l+$win_t" +repage "$1"
}
gauge_pixels() {  # shot colour
  convert "$1" -crop "$((st_r - st_l))x1+$((st_l - win_l))+$(((st_t + st_b) / 2 - win_t))" +repage \
    -depth 8 txt:- | grep -c "#$2" || true
}

# Samples the gauge while a countdown of $1 seconds runs (the shutter probe
# runs meanwhile in the background). Writes "ms grey green" lines to
# $out/samples and keeps the first shot of each stage as $out/stage-<n>.png.
sample_gauge() {
  local seconds=$1 start=$2 i=0 shot grey green ms stage=-1 last=""
  : >"$out/samples"
  while :; do
    ms=$((($(now) - start) / 1000000))
    [ "$ms" -gt $((seconds * 1000 + 2500)) ] && break
    shot="$out/sample.png"
    window_shot "$shot"
    grey="$(gauge_pixels "$shot" 808080)"
    green="$(gauge_pixels "$shot" 00FF00)"
    [ "$grey" -eq 0 ] && [ "$green" -eq 0 ] && [ -n "$last" ] && break  # the gauge is gone
    if [ "$grey$green" != "$last" ] && { [ "$grey" -gt 0 ] || [ "$green" -gt 0 ]; }; then
      stage=$((stage + 1))
      cp "$shot" "$out/stage-$stage.png"
    fi
    [ "$grey" -gt 0 ] || [ "$green" -gt 0 ] && last="$grey$green"
    echo "$ms $grey $green" >>"$out/samples"
    i=$((i + 1))
  done
}

# Checks the samples of a countdown of $1 seconds: the grey bar never widens,
# loses about a tenth of the part's width at each step, shows no step before
# its second, and at least three widths appear (GO too when $1 is 10).
check_gauge() {
  local seconds=$1 ms grey green first=0 previous=100000 widths=0 go=0 item=0 step
  while read -r ms grey green; do
    [ "$green" -gt 0 ] && { go=1; continue; }
    [ "$grey" -gt 0 ] || continue
    [ "$first" -eq 0 ] && { first=$grey; item=$((grey * 10 / 9)); }
    [ "$grey" -le "$previous" ] || note "${seconds}s: the bar widened from $previous to $grey pixels"
    if [ "$grey" -lt "$previous" ]; then
      widths=$((widths + 1))
      step=$(((item - grey + item / 20) * 10 / item - 1))  # whole seconds this width stands for
      [ $((grey - (item * (9 - step) / 10))) -le 3 ] && [ $(((item * (9 - step) / 10) - grey)) -le 3 ] ||
        note "${seconds}s: a bar of $grey pixels is no tenth step of a $item-pixel part"
      [ "$step" -le $((ms / 1000)) ] || note "${seconds}s: the bar of second $step showed at $ms ms"
    fi
    previous=$grey
  done <"$out/samples"
  [ "$widths" -ge 3 ] || note "${seconds}s: $widths bar widths seen, expected at least 3"
  if [ "$seconds" -ge 10 ] && [ "$go" -eq 0 ]; then note "${seconds}s: GO never showed"; fi
}

# One countdown: clicks the self-timer button and samples the gauge; fills
# clip_ms, clip_size and prompt_ms from the shutter probe.
countdown() {  # seconds
  local seconds=$1 start
  start="$(now)"
  probe shutter $STILL_AUTO $((seconds * 1000 + 8000)) >"$out/shutter" &
  local shutter=$!
  sample_gauge "$seconds" "$start"
  wait "$shutter" || note "${seconds}s: the shutter probe failed"
  read -r _ clip_ms clip_w clip_h <<<"$(grep '^clipboard' "$out/shutter")"
  read -r _ prompt_ms <<<"$(grep '^prompt' "$out/shutter")"
  check_gauge "$seconds"
  [ "$clip_ms" != none ] || { note "${seconds}s: no picture reached the clipboard"; return 0; }
  [ "$prompt_ms" != none ] || { note "${seconds}s: no save prompt opened"; return 0; }
  [ "$clip_w x $clip_h" = "320 x 240" ] || note "${seconds}s: clipboard picture ${clip_w}x$clip_h"
  # Timed from before the click: the real delay can only be shorter.
  [ "$clip_ms" -gt $((seconds * 1000)) ] || note "${seconds}s: picture on the clipboard after $clip_ms ms"
  [ "$prompt_ms" -gt $((seconds * 1000)) ] || note "${seconds}s: save prompt after $prompt_ms ms"
  [ "$prompt_ms" -lt $((seconds * 1000 + 6000)) ] || note "${seconds}s: save prompt only after $prompt_ms ms"
}

dialog_shot() {  # title file
  local l t r b
  read -r _ l t r b <<<"$(probe rect "$1" 10000 | grep '^rect')"
  [ -n "${b:-}" ] || { note "no dialog '$1'"; return 1; }
  xwd -root -silent | convert xwd:- -crop "$((r - l + 40))x$((b - t + 40))+$((l - 20))+$((t - 20))" +repage "$2"
}

session() {
  sleep 1.5  # the preview gets going
  local places
  places="$(probe status)"
  read -r _ win_l win_t win_r win_b <<<"$(grep '^window' <<<"$places")"
  read -r _ st_l st_t st_r st_b <<<"$(grep '^status' <<<"$places")"
  [ -n "${st_b:-}" ] || { note "no status bar"; return 0; }

  # 1. SelfTimer 10 from the settings file: the whole gauge down to GO.
  countdown 10
  local g
  for g in 1 2 3 9; do [ -f "$out/stage-$g.png" ] && cp "$out/stage-$g.png" "$build/self_timer_gauge_$g.png"; done
  probe press "Save Video As..." 2 >/dev/null || note "10s: could not cancel the prompt"
  sleep 1

  # 2. The Options dialog shows the stored values; new ones are confirmed.
  probe command $OPTION >/dev/null
  dialog_shot "Capture Setting" "$build/self_timer_options.png" || return 0
  local fields
  fields="$(probe fields "Capture Setting" $FRAME_RATE $TIME_INTERVAL $SELF_TIMER $AUDIO $OVERLAY $TIME_LIMIT |
    awk '{print $2 "/" $3}' | tr '\n' ' ')"
  [ "$fields" = "12/0 7/0 10/0 -/0 -/1 -/0 " ] || note "Options shows '$fields'"
  probe set "Capture Setting" $FRAME_RATE 20 >/dev/null
  probe set "Capture Setting" $TIME_INTERVAL 0 >/dev/null
  probe set "Capture Setting" $SELF_TIMER 1 >/dev/null
  probe press "Capture Setting" $AUDIO >/dev/null
  probe press "Capture Setting" $TIME_LIMIT >/dev/null
  probe press "Capture Setting" 1 >/dev/null
  sleep 1

  # 3. The self-timer now lasts 3 s; the frame is saved.
  countdown 3
  probe save "$shot_win" >/dev/null || note "3s: could not answer the prompt"
  local i
  for i in $(seq 1 40); do [ -s "$out/still.bmp" ] && break; sleep 0.25; done
  local kind
  kind="$(identify -format '%m %wx%h' "$out/still.bmp" 2>&1)" || true
  [ "$kind" = "BMP 320x240" ] || note "saved still: '$kind'"
  sleep 1

  # 4. A click on Copy during the countdown ends it without a prompt.
  probe shutter $STILL_AUTO 1200 >/dev/null
  probe click $COPY >/dev/null || note "could not click Copy"
  local after
  after="$(probe rect "Save Video As..." 5000 || true)"
  [ -z "$after" ] || { note "a save prompt opened after the countdown was ended"; probe press "Save Video As..." 2 >/dev/null; }
  window_shot "$out/after.png"
  [ "$(gauge_pixels "$out/after.png" 808080)" -eq 0 ] || note "the gauge still shows after Copy"

  # The About dialog, for its picture.
  probe command $ABOUT >/dev/null
  dialog_shot "Capture Application" "$build/self_timer_about.png" && probe press "Capture Application" 1 >/dev/null
  sleep 0.5
}

printf '[Setting]\r\nFrameRate=12\r\nTimeInterval=7\r\nCaptureAudio=0\r\nUseOverlay=1\r\nEnableTimeLimit=0\r\nSelfTimer=10\r\n' >"$ini"
shot_win="Z:${out//\//\\}\\still.bmp"
with_running_app session || note "the run failed"
for pair in FrameRate=20 TimeInterval=0 SelfTimer=3 CaptureAudio=1 UseOverlay=1 EnableTimeLimit=1; do
  [ "$(ini_value "${pair%%=*}")" = "${pair#*=}" ] || note "Morva.ini: ${pair%%=*}=$(ini_value "${pair%%=*}"), expected ${pair#*=}"
done
rm -f "$ini"

[ $fail -eq 0 ] && echo "self_timer: gauge each second, shot after 10 s and 3 s, saved BMP, Options stored"
exit $fail
