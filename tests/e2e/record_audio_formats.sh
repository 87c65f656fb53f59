#!/usr/bin/env bash
# The recordings in compressed audio formats that the audio format tests
# write (IMA ADPCM, GSM 6.10, A-law, mu-law) read back by ffprobe and ffmpeg:
# the codec, rate and channels of each audio stream, one second of it decoded,
# its last packet ending with that second, and a decode of the whole file that
# prints no error.
# Usage: record_audio_formats.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="${1:?build folder}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"

out="$(mktemp -d /tmp/morva_record_audio.XXXXXX)"
trap 'rm -rf "$out"' EXIT
export MORVA_RECORD_OUT="Z:${out//\//\\}"

"$root/scripts/wine-run" "$build/bin/service_tests.exe" --gtest_filter='AcmFormats/AudioFormatRecordTest.*' \
  >"$out/run.log" 2>&1 || { cat "$out/run.log"; echo "record_audio_formats: the recording tests failed"; exit 1; }

# shellcheck source=media_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/media_checks.sh"
# file, then the audio stream's codec,rate,channels as ffprobe names them
while read -r name stream; do
  f="$out/$name.avi"
  if [ ! -f "$f" ]; then echo "FAIL $name: not written"; fail=1; continue; fi
  expect "$name audio" "$(ffprobe -v error -select_streams a -show_entries stream=codec_name,sample_rate,channels \
    -of csv=p=0 "$f" 2>&1)" "$stream"
  rate="$(echo "$stream" | cut -d, -f2)"
  samples=$(( $(ffmpeg -nostdin -v error -i "$f" -map 0:a -f s16le -ac 1 - 2>/dev/null | wc -c) / 2 ))
  if [ "$samples" -ge "$rate" ] && [ "$samples" -le $(( rate + rate / 10 )) ]; then
    echo "ok   $name decoded audio: $samples samples"
  else
    echo "FAIL $name decoded audio: $samples samples, expected one second ($rate) and at most a tenth more"; fail=1
  fi
  # The last audio packet ends with the second recorded (its block padded): a
  # stream rate or block size other than the format's puts it elsewhere. A
  # packet without a duration (one block each) lasts as long as the one before.
  end="$(ffprobe -v error -select_streams a -show_entries packet=pts_time,duration_time -of csv=p=0 "$f" 2>&1 |
    awk -F, '{ d = $2 == "N/A" ? $1 - at : $2; at = $1 } END { printf "%.3f", at + d }')"
  if awk -v e="$end" 'BEGIN { exit !(e >= 1 && e <= 1.1) }'; then
    echo "ok   $name audio ends at $end s"
  else
    echo "FAIL $name audio ends at $end s, expected one second and at most a tenth more"; fail=1
  fi
  errors="$(ffmpeg -nostdin -v error -i "$f" -f null - 2>&1)" || errors="exit status $? $errors"
  expect "$name decodes without errors" "${errors:-none}" none
done <<'TABLE'
rec_audio_ima adpcm_ima_wav,11025,1
rec_audio_ima_stereo adpcm_ima_wav,22050,2
rec_audio_gsm gsm_ms,8000,1
rec_audio_gsm_96k gsm_ms,96000,1
rec_audio_alaw pcm_alaw,8000,1
rec_audio_mulaw pcm_mulaw,44100,2
TABLE
exit $fail
