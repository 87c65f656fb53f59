#!/usr/bin/env bash
# The self-timer and the Options dialog of morva.exe with the real capture
# service, driven from other processes as a user would (self_timer_probe.exe
# clicks and reads, command_driver.exe posts menu commands and saves):
#   1. a click on the self-timer button with SelfTimer 10 from the settings
#      file: the status bar shows the gauge, its grey bar a tenth of the part
#      narrower each second, then GO; the frame reaches the clipboard and the
#      save prompt opens only after 10 s; the prompt is cancelled;
#   2. the Options dialog shows the values of the settings file; new values
#      are typed and confirmed (self-timer 1, stored as 3);
#   3. the next countdown lasts 3 s; its frame is saved as a bitmap that
#      ImageMagick reads;
#   4. a click on the Copy button during a countdown ends it: no prompt, no gauge;
#   5. after Exit the settings file holds the Options values.
# Pictures of the gauge (self_timer_gauge_<second>.png, ..._go.png) and of the
# Options and About dialogs land in the build folder.
# Usage: self_timer.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"

fail=0
note() { echo "self_timer: $*"; fail=1; }
probe() { (cd "$bin" && wine self_timer_probe.exe "$@" 2>/dev/null) | tr -d '\r'; }
drive() { (cd "$bin" && wine command_driver.exe "$@" 2>/dev/null) | tr -d '\r'; }

STILL_AUTO=40029 COPY=40020 OPTION=40019 ABOUT=40002
FRAME_RATE=1000 TIME_INTERVAL=1001 SELF_TIMER=1002 AUDIO=1018 TIME_LIMIT=1019 OVERLAY=1020
SAVE_TITLE="Save Video As..." OPTIONS_TITLE="Capture Setting"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The main window as a picture ($1), and the grey (128, 128, 128) or green
# ($3: 808080 or 00FF00) pixels in the middle row of its status bar ($2: a
# picture made by window_shot).
window_shot() {
  xwd -root -silent |
    convert xwd:- -crop "$((win_r - win_l))x$((win_b - win_t))+$win_l+$win_t" +repage "$1"
}
gauge_pixels() {
  convert "$1" -crop "$((st_r - st_l))x1+$((st_l - win_l))+$(((st_t + st_b) / 2 - win_t))" +repage \
    -depth 8 txt:- | grep -c "#$2" || true
}

# Samples the status bar while a countdown of $1 seconds runs, from the
# moment the shutter probe has clicked until the gauge is gone. Each line of
# $out/samples: milliseconds since the click (after the shot was taken), grey
# pixels, green pixels, and the picture kept when the gauge changed.
sample_gauge() {
  local seconds=$1 start=$2 n=0 grey green ms kept last="" seen=0
  : >"$out/samples"
  while :; do
    window_shot "$out/sample.png"
    ms=$(($(now_ms) - start))
    grey="$(gauge_pixels "$out/sample.png" 808080)"
    green="$(gauge_pixels "$out/sample.png" 00FF00)"
    if [ "$grey" -eq 0 ] && [ "$green" -eq 0 ]; then
      [ "$seen" -eq 1 ] && break            # the shot has ended the countdown
    else
      seen=1
    fi
    kept=-
    if [ "$grey/$green" != "$last" ]; then
      n=$((n + 1)) kept="$out/gauge-$n.png"
      cp "$out/sample.png" "$kept"
      last="$grey/$green"
    fi
    echo "$ms $grey $green $kept" >>"$out/samples"
    [ "$ms" -gt $((seconds * 1000 + 4000)) ] && break
  done
}

# The samples of a countdown of $1 seconds: the bar never widens; each width
# is a tenth step of the part (the first width seen being nine tenths of it)
# and never shows before its second; at least three widths, and GO when the
# countdown is 10 s. Keeps the first picture of each second in the build folder.
check_gauge() {
  local seconds=$1 ms grey green kept item=0 previous=100000 widths=0 go=0 step slack=300
  while read -r ms grey green kept; do
    if [ "$green" -gt 0 ]; then
      [ "$go" -eq 0 ] && [ "$kept" != - ] && cp "$kept" "$build/self_timer_gauge_go.png"
      go=1
      [ $((ms + slack)) -ge 9000 ] || note "${seconds}s: GO showed at $ms ms"
      continue
    fi
    [ "$grey" -gt 0 ] || continue
    [ "$item" -gt 0 ] || item=$((grey * 10 / 9))
    [ "$grey" -le "$previous" ] || note "${seconds}s: the bar widened from $previous to $grey pixels"
    if [ "$grey" -lt "$previous" ]; then
      widths=$((widths + 1))
      step=$(((10 * (item - grey) + item / 2) / item - 1))   # whole seconds it stands for
      local want=$((item * (9 - step) / 10))
      [ "$grey" -ge $((want - 3)) ] && [ "$grey" -le $((want + 3)) ] ||
        note "${seconds}s: a bar of $grey pixels is no tenth step of a $item-pixel part"
      [ $((step * 1000)) -le $((ms + slack)) ] || note "${seconds}s: the bar of second $step showed at $ms ms"
      [ "$kept" != - ] && cp "$kept" "$build/self_timer_gauge_$step.png"
    fi
    previous=$grey
  done <"$out/samples"
  [ "$widths" -ge 3 ] || note "${seconds}s: $widths bar widths seen, expected at least 3"
  if [ "$seconds" -ge 10 ] && [ "$go" -eq 0 ]; then note "${seconds}s: GO never showed"; fi
}

# One countdown of $1 seconds started with the self-timer button; leaves the
# save prompt open.
countdown() {
  local seconds=$1 start i clip_ms clip_w clip_h prompt_ms
  rm -f "$out/shutter"
  (cd "$bin" && exec wine self_timer_probe.exe shutter $STILL_AUTO $((seconds * 1000 + 8000))) \
    >"$out/shutter" 2>/dev/null &
  local shutter=$!
  for i in $(seq 1 200); do grep -q clicked "$out/shutter" 2>/dev/null && break; sleep 0.05; done
  start="$(now_ms)"
  grep -q clicked "$out/shutter" || { note "${seconds}s: the button was not clicked"; wait "$shutter" || true; return 0; }
  sample_gauge "$seconds" "$start"
  wait "$shutter" || note "${seconds}s: the shutter probe failed"
  read -r _ clip_ms clip_w clip_h <<<"$(tr -d '\r' <"$out/shutter" | grep '^clipboard')"
  read -r _ prompt_ms <<<"$(tr -d '\r' <"$out/shutter" | grep '^prompt')"
  check_gauge "$seconds"
  [ "$clip_ms" != none ] || { note "${seconds}s: no picture reached the clipboard"; return 0; }
  [ "$prompt_ms" != none ] || { note "${seconds}s: no save prompt opened"; return 0; }
  [ "${clip_w}x$clip_h" = 320x240 ] || note "${seconds}s: clipboard picture ${clip_w}x$clip_h"
  # Timed by the probe from before its click: the real delay is no longer.
  [ "$clip_ms" -gt $((seconds * 1000)) ] || note "${seconds}s: picture on the clipboard after $clip_ms ms"
  [ "$prompt_ms" -gt $((seconds * 1000)) ] || note "${seconds}s: save prompt after $prompt_ms ms"
  [ "$prompt_ms" -lt $((seconds * 1000 + 6000)) ] || note "${seconds}s: save prompt only after $prompt_ms ms"
}

# A picture of a dialog with a margin of the main window around it.
dialog_shot() {  # title file
  local l t r b
  read -r _ l t r b <<<"$(probe rect "$1" 10000 | grep '^rect' || true)"
  [ -n "${b:-}" ] || { note "no dialog '$1'"; return 1; }
  xwd -root -silent |
    convert xwd:- -crop "$((r - l + 40))x$((b - t + 40))+$((l - 20))+$((t - 20))" +repage "$2"
}

session() {
  sleep 1.5  # the preview gets going
  local places
  places="$(probe status)"
  read -r _ win_l win_t win_r win_b <<<"$(grep '^window' <<<"$places" || true)"
  read -r _ st_l st_t st_r st_b <<<"$(grep '^status' <<<"$places" || true)"
  [ -n "${st_b:-}" ] || { note "no status bar"; return 0; }

  # 1. SelfTimer 10 from the settings file: the whole gauge down to GO.
  countdown 10
  probe press "$SAVE_TITLE" 2 >/dev/null || note "10s: could not cancel the save prompt"
  sleep 1

  # 2. The Options dialog shows the stored values; new ones are confirmed.
  drive command "$title" $OPTION >/dev/null
  dialog_shot "$OPTIONS_TITLE" "$build/self_timer_options.png" || return 0
  local fields
  # The three numbers' texts, then the three check states.
  fields="$(probe fields "$OPTIONS_TITLE" $FRAME_RATE $TIME_INTERVAL $SELF_TIMER $AUDIO $OVERLAY $TIME_LIMIT |
    awk 'NR <= 3 {printf "%s ", $3} NR > 3 {printf "%s ", $2}')"
  [ "$fields" = "12 7 10 0 1 0 " ] || note "Options shows '$fields'"
  probe set "$OPTIONS_TITLE" $FRAME_RATE 20 >/dev/null
  probe set "$OPTIONS_TITLE" $TIME_INTERVAL 0 >/dev/null
  probe set "$OPTIONS_TITLE" $SELF_TIMER 1 >/dev/null
  probe press "$OPTIONS_TITLE" $AUDIO >/dev/null
  probe press "$OPTIONS_TITLE" $TIME_LIMIT >/dev/null
  probe press "$OPTIONS_TITLE" 1 >/dev/null
  sleep 1

  # 3. The self-timer now lasts 3 s; the frame is saved.
  countdown 3
  drive save 10000 "$still_win" >/dev/null || note "3s: could not answer the save prompt"
  local i kind
  for i in $(seq 1 40); do [ -s "$out/still.bmp" ] && break; sleep 0.25; done
  kind="$(identify -format '%m %wx%h' "$out/still.bmp" 2>&1)" || true
  [ "$kind" = "BMP3 320x240" ] || note "saved still: '$kind'"
  sleep 1

  # 4. A click on Copy during the countdown ends it without a prompt.
  probe shutter $STILL_AUTO 1200 >/dev/null
  probe click $COPY >/dev/null || note "could not click Copy"
  if probe rect "$SAVE_TITLE" 5000 >/dev/null; then
    note "a save prompt opened after Copy had ended the countdown"
    probe press "$SAVE_TITLE" 2 >/dev/null
  fi
  window_shot "$out/after.png"
  [ "$(gauge_pixels "$out/after.png" 808080)" -eq 0 ] || note "the gauge still shows after Copy"

  # The About dialog, for its picture.
  drive command "$title" $ABOUT >/dev/null
  dialog_shot "$title" "$build/self_timer_about.png" && drive press "$title" 5000 >/dev/null
  sleep 0.5
}

printf '[Setting]\r\nFrameRate=12\r\nTimeInterval=7\r\nCaptureAudio=0\r\nUseOverlay=1\r\nEnableTimeLimit=0\r\nSelfTimer=10\r\n' >"$ini"
still_win="Z:${out//\//\\}\\still.bmp"
with_running_app session || note "the run failed"
for pair in FrameRate=20 TimeInterval=0 SelfTimer=3 CaptureAudio=1 UseOverlay=1 EnableTimeLimit=1; do
  key="${pair%%=*}"
  [ "$(ini_value "$key")" = "${pair#*=}" ] || note "Morva.ini: $key=$(ini_value "$key"), expected ${pair#*=}"
done
rm -f "$ini"

[ $fail -eq 0 ] && echo "self_timer: gauge each second, shot after 10 s and 3 s, BMP saved, Options stored"
exit $fail
