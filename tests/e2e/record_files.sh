#!/usr/bin/env bash
# Every AVI that the recording tests write is read back by ffprobe and
# ffmpeg: streams, codec, picture size, frame rate, frame count, audio format,
# a decode that prints no error, and for the time-limit recording every
# decoded frame compared with the camera's frame of the same number (made
# again by reference_frames.exe), so that frame n shows the counter n.
# Usage: record_files.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="${1:?build folder}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"

out="$(mktemp -d /tmp/morva_record_files.XXXXXX)"
trap 'rm -rf "$out"' EXIT
export MORVA_RECORD_OUT="Z:${out//\//\\}"

"$root/scripts/wine-run" "$build/bin/service_tests.exe" --gtest_filter='RecordTest.*' >"$out/run.log" 2>&1 || {
  cat "$out/run.log"; echo "record_files: the recording tests failed"; exit 1; }

# shellcheck source=media_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/media_checks.sh"

f="$out/rec_limit.avi"
expect "rec_limit video" "$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)" "rawvideo,160,120,1000000/66667,30"
expect "rec_limit audio" "$(probe "$f" a codec_name,sample_rate,channels)" "pcm_u8,11025,1"
expect "rec_limit audio length" "$(probe "$f" a nb_frames)" "22050"
decodes_clean "$f"

f="$out/rec_stereo.avi"
expect "rec_stereo video" "$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)" "rawvideo,160,120,1000000/33333,31"
expect "rec_stereo audio" "$(probe "$f" a codec_name,sample_rate,channels)" "pcm_s16le,22050,2"
decodes_clean "$f"

f="$out/rec_noaudio.avi"
expect "rec_noaudio streams" "$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$f" | tr '\n' ' ')" "video "
expect "rec_noaudio frames" "$(probe "$f" v nb_frames)" "15"
decodes_clean "$f"

f="$out/rec_diskfull.avi"
expect "rec_diskfull frames" "$(probe "$f" v nb_frames)" "$(cat "$out/rec_diskfull.frames")"
decodes_clean "$f"

f="$out/rec_writefail.avi"
expect "rec_writefail frames" "$(probe "$f" v nb_frames)" "$(cat "$out/rec_writefail.frames")"
decodes_clean "$f"

f="$out/rec_opendml.avi"
expect "rec_opendml video" "$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)" "rawvideo,160,120,1000000/66667,30"
expect "rec_opendml decoded frames" "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$f")" "30"
expect "rec_opendml audio length" "$(ffprobe -v error -count_packets -select_streams a -show_entries stream=nb_frames -of csv=p=0 "$f")" "22050"
decodes_clean "$f"

# Single frames, one per request: exactly those frames, at the setup's rate.
f="$out/single_frames.avi"
expect "single_frames video" "$(probe "$f" v codec_name,width,height,r_frame_rate,nb_frames)" "rawvideo,160,120,5/1,5"
expect "single_frames decoded frames" "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$f")" "5"
decodes_clean "$f"

# The time limit is wall time: one frame of a long period, the audio of the limit.
for pair in rec_timelimit:22050 rec_longestperiod:11025 rec_hugeperiod:48000; do
  f="$out/${pair%%:*}.avi"
  expect "${pair%%:*} frames" "$(probe "$f" v nb_frames)" "1"
  expect "${pair%%:*} audio length" "$(probe "$f" a nb_frames)" "${pair#*:}"
  decodes_clean "$f"
done
f="$out/rec_fastest.avi"  # one microsecond asked for: the camera's 100 frames a second
expect "rec_fastest frames" "$(probe "$f" v nb_frames)" "100"
decodes_clean "$f"

for name in rec_stop rec_yield rec_key rec_prealloc rec_saved rec_destroyed rec_preview; do
  f="$out/$name.avi"
  if [ ! -f "$f" ]; then echo "FAIL $name: not written"; fail=1; continue; fi
  expect "$name video" "$(probe "$f" v codec_name,width,height)" "rawvideo,160,120"
  decodes_clean "$f"
done

# Decoded frame k of FILE is the camera's frame of its number (its time
# stamp), for every decoded frame.
same_frames() {  # file frame-count microseconds-per-frame
  local f="$1" n="$2" us="$3" name
  name="$(basename "$f" .avi)"
  "$root/scripts/wine-run" "$build/bin/reference_frames.exe" 160 120 "$us" "$n" "Z:${out//\//\\}\\ref.raw" >/dev/null
  ffmpeg -v error -y -i "$f" -map 0:v -fps_mode passthrough -f rawvideo -pix_fmt bgr24 "$out/got.raw"
  ffprobe -v error -select_streams v -show_entries packet=pts,size -of csv=p=0 "$f" >"$out/pts.csv"
  python3 "$here/record_same_frames.py" "$out/ref.raw" "$out/got.raw" "$out/pts.csv" "$name" 160 120 || fail=1
}
same_frames "$out/rec_limit.avi" 30 66667
same_frames "$out/rec_opendml.avi" 30 66667

# Dropped frames: the length stays the time, the frames taken keep their places.
f="$out/rec_dropped.avi"
expect "rec_dropped length" "$(probe "$f" v nb_frames)" "45"
expect "rec_dropped decoded frames" "$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$f")" "$(cat "$out/rec_dropped.frames")"
decodes_clean "$f"
same_frames "$f" 45 66667
exit $fail
