#!/usr/bin/env bash
# The commands of morva.exe with the real capture service, driven from another
# process as a user would (command_driver.exe posts the commands and answers
# the save dialog, the recording's confirmation and the end-of-capture box):
# a still image saved as a BMP; New to a fresh file, then a recording with
# audio and a 3-second time limit; Save As giving a copy with the same frames;
# Copy read back from the clipboard; a recording in IMA ADPCM picked in the
# audio format chooser; Exit writing LastDir, the last chosen path.
# ImageMagick, ffprobe and ffmpeg check the files. Every wait has a generous
# bound, so that a slow machine passes and a fault still ends.
# Usage: commands.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"

fail=0
note() { echo "FAIL commands: $*"; fail=1; }
expect() {  # what got wanted
  if [ "$2" != "$3" ]; then note "$1: got '$2', expected '$3'"; else echo "ok   $1: $2"; fi
}
drive() { (cd "$bin" && wine command_driver.exe "$@" 2>&1 | tr -d '\r'); }
post() { drive command "$title" "$1" >/dev/null || note "command $1 not posted"; }
save_as() { drive save 120000 "$1" >/dev/null || note "save dialog not answered with $1"; }
press() { drive press "$1" 120000 || note "no box titled $1"; }
probe() { ffprobe -v error -select_streams "$2" -show_entries "stream=$3" -of csv=p=0 "$1" 2>&1 || true; }
# Until "$@" succeeds, at most 60 s.
within_a_minute() {
  local i
  for i in $(seq 1 240); do "$@" && return 0; sleep 0.25; done
  return 1
}
same_size() { [ -f "$1" ] && [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ]; }

printf '[Setting]\r\nFrameRate=15\r\nTimeInterval=3\r\nEnableTimeLimit=1\r\nCaptureAudio=1\r\n' >"$ini"

(cd "$bin" && exec wine morva.exe) >"$out/app.log" 2>&1 </dev/null &
app=$!
trap 'kill "$app" 2>/dev/null || true; rm -rf "$out"' EXIT
(cd "$bin" && wine winctl.exe wait "$title" 120000) >/dev/null 2>&1 || { echo "commands: no main window"; exit 1; }

# Still Image (Manual): the held picture saved where the dialog says.
post 40021
save_as "$win\\still.bmp"
within_a_minute identify "$out/still.bmp" >/dev/null 2>&1 || note "no still image written"
expect "still image" "$(identify -format '%m %wx%h' "$out/still.bmp" 2>&1)" "BMP3 320x240"

# New, then Video Stream: confirmed, 3 seconds with audio, end box answered.
post 40017
save_as "$win\\take.avi"
post 40022
press "Start Recording" >/dev/null
ended="$(press "$title")"
case "$ended" in "Status : 301 "*) ;; *) note "end-of-capture box says '$ended'";; esac

f="$out/take.avi"
# 3 s at 15 frames/s: 45 frames, or 46 when the limit's last period is begun.
video="$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)"
case "$video" in
  rawvideo,320,240,500000/33333,45|rawvideo,320,240,500000/33333,46) echo "ok   recording video: $video" ;;
  *) note "recording video: got '$video', expected rawvideo,320,240,500000/33333 with 45 or 46 frames" ;;
esac
expect "recording audio stream" "$(probe "$f" a codec_type)" "audio"
# The audio's length from its decoded samples (the AVI header gives no duration).
samples="$(ffmpeg -v error -i "$f" -map 0:a -f s16le -ac 1 - | wc -c)"
rate="$(probe "$f" a sample_rate)"
seconds="$(awk -v b="$samples" -v r="$rate" 'BEGIN { printf "%.2f", b / 2 / r }')"
if awk -v s="$seconds" 'BEGIN { exit !(s >= 2.5 && s <= 3.5) }'; then
  echo "ok   audio length: $seconds s"
else
  note "audio lasts '$seconds' s, expected about 3"
fi
errors="$(ffmpeg -v error -i "$f" -f null - 2>&1)" || errors="exit status $? $errors"
expect "recording decodes without errors" "${errors:-none}" none
"$root/scripts/wine-run" "$bin/reference_frames.exe" 320 240 66666 46 "$win\\ref.raw" >/dev/null
ffmpeg -v error -y -i "$f" -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt bgr24 "$out/got.raw"
ffprobe -v error -select_streams v -show_entries packet=pts,size -of csv=p=0 "$f" >"$out/pts.csv"
python3 "$here/record_same_frames.py" "$out/ref.raw" "$out/got.raw" "$out/pts.csv" take 320 240 || fail=1

# Save As: a copy with the same frames.
post 40028
save_as "$win\\copy.avi"
within_a_minute same_size "$out/copy.avi" "$f" || note "no copy as large as the capture file"
frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - 2>&1 | grep -v '^#'; }
if [ "$(frames "$out/copy.avi")" = "$(frames "$f")" ]; then
  echo "ok   save as: $(frames "$f" | wc -l) frames, the same as the capture file's"
else
  note "the saved copy's frames differ from the capture file's"
fi

# Copy: another process reads the frame from the clipboard.
drive empty-clipboard >/dev/null
post 40020
within_a_minute drive clipboard "$win\\clip.bmp" >/dev/null || note "nothing on the clipboard"
expect "clipboard frame" "$(identify -format '%wx%h' "$out/clip.bmp" 2>&1)" "320x240"

# Audio Format: IMA ADPCM picked in the chooser; Video Stream again into the
# capture file records its audio in that format.
post 40027
drive choose-format 120000 "IMA ADPCM" "11025 Hz; 4 bits; Mono" >/dev/null ||
  note "IMA ADPCM not picked in the audio format chooser"
post 40022
press "Start Recording" >/dev/null
ended="$(press "$title")"
case "$ended" in "Status : 301 "*) ;; *) note "end-of-capture box after IMA ADPCM says '$ended'";; esac
expect "IMA ADPCM recording audio" "$(probe "$f" a codec_name,sample_rate,channels)" "adpcm_ima_wav,11025,1"
count="$(probe "$f" v nb_frames)"
case "$count" in 45|46) echo "ok   IMA ADPCM recording video frames: $count" ;;
  *) note "IMA ADPCM recording video frames: got '$count', expected 45 or 46" ;; esac
errors="$(ffmpeg -v error -i "$f" -f null - 2>&1)" || errors="exit status $? $errors"
expect "IMA ADPCM recording decodes without errors" "${errors:-none}" none

# Exit: the program ends by itself, writing the settings.
post 40001
if within_a_minute bash -c "! kill -0 $app 2>/dev/null"; then
  rc=0
  wait "$app" || rc=$?
  expect "exit code" "$rc" 1
else
  note "still running a minute after Exit"
fi
expect "LastDir" "$(ini_value LastDir)" "$win\\copy.avi"
rm -f "$ini"
exit $fail
