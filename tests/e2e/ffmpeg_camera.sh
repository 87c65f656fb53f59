#!/usr/bin/env bash
# Cameras read through ffmpeg, end to end with ffmpeg's test source: the
# Wine tests of FfmpegCameraTest run, then their recordings are read back
# (every decoded frame of the 3-second recording is one of ffmpeg's own
# test-source frames, in order; the recording whose ffmpeg was killed decodes
# without errors, as do those of a camera that ended or stalled), and a
# program holding a camera is killed with kill -9, then reaped at once or
# late: its ffmpeg must be gone within seconds, its private folders too.
# Usage: ffmpeg_camera.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix

out="$(mktemp -d /tmp/morva_ffmpeg_camera.XXXXXX)"
pid= sleeper=
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; [ -n "$sleeper" ] && kill "$sleeper" 2>/dev/null; rm -rf "$out"' EXIT
export MORVA_RECORD_OUT="Z:${out//\//\\}"
source_input="-f lavfi -i testsrc2=size=640x480:rate=30"

"$root/scripts/wine-run" "$build/bin/service_tests.exe" --gtest_filter='FfmpegCameraTest.*' >"$out/run.log" 2>&1 || {
  cat "$out/run.log"; echo "ffmpeg_camera: the Wine tests failed"; exit 1; }

# shellcheck source=media_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/media_checks.sh"

f="$out/ffmpeg_rec.avi"
expect "ffmpeg_rec video" "$(ffprobe -v error -select_streams v -show_entries stream=codec_name,width,height -of csv=p=0 "$f")" "rawvideo,640,480"
n="$(ffprobe -v error -select_streams v -show_entries stream=nb_frames -of csv=p=0 "$f")"
expect "ffmpeg_rec three seconds of frames" "$([ "$n" -ge 89 ] && [ "$n" -le 91 ] && echo yes || echo "$n frames")" yes
decodes_clean "$f"
# The source's frames, made again the way the service asks for them.
# shellcheck disable=SC2086
ffmpeg -v error $source_input -frames:v 600 -f rawvideo -pix_fmt bgr24 -s 640x480 -r 30 -f framemd5 "$out/ref.md5"
ffmpeg -v error -i "$f" -map 0:v -fps_mode passthrough -pix_fmt bgr24 -f framemd5 "$out/got.md5"
python3 - "$out/ref.md5" "$out/got.md5" <<'PY' || fail=1
import sys
def hashes(path):
    return [l.rsplit(',', 1)[1].strip() for l in open(path) if l.strip() and not l.startswith('#')]
ref, got = hashes(sys.argv[1]), hashes(sys.argv[2])
index = {h: i for i, h in reversed(list(enumerate(ref)))}
places = [index.get(h, -1) for h in got]
if not got or -1 in places:
    print("FAIL ffmpeg_rec: %d of %d decoded frames are none of the source's first %d frames"
          % (places.count(-1), len(got), len(ref)))
    sys.exit(1)
if any(b <= a for a, b in zip(places, places[1:])):
    print("FAIL ffmpeg_rec: the source's frames are out of order: %s" % places)
    sys.exit(1)
print("ok   ffmpeg_rec: %d decoded frames are the source's frames %d to %d, in order"
      % (len(got), places[0], places[-1]))
PY
for f in ffmpeg_killed ffmpeg_ended ffmpeg_trickled; do decodes_clean "$out/$f.avi"; done

# A program holding a camera, killed with kill -9: no ffmpeg of it survives,
# nor any folder of it, whether the killed program is reaped at once or
# late (it stays a zombie while its parent does not reap it, as a busy
# shell may not for seconds).
printf '[Driver0]\r\nDescription=held source\r\nInput=%s\r\n' "$source_input" >"$out/cameras.ini"
export MORVA_CAMERAS="Z:${out//\//\\}\\cameras.ini"
killed_program() {  # reaping: now|late
  local reaping="$1" ffmpeg_pid= folder=
  rm -f "$out/held.pid"
  if [ "$reaping" = now ]; then
    (cd "$build/bin" && exec wine ./service_tests.exe --hold-camera 0 >/dev/null 2>&1 </dev/null) &
    pid=$!
  else  # a parent that reaps nothing until it ends
    (cd "$build/bin" && { wine ./service_tests.exe --hold-camera 0 >/dev/null 2>&1 </dev/null &
      echo $! >"$out/held.pid"; exec sleep 120; }) &
    sleeper=$!
    for _ in $(seq 1 50); do [ -s "$out/held.pid" ] && break; sleep 0.1; done
    pid="$(cat "$out/held.pid")"
  fi
  for _ in $(seq 1 300); do  # up to 30 s for Wine and ffmpeg to start
    for p in /tmp/morva-sh-"$pid"-*/pid; do [ -f "$p" ] && ffmpeg_pid="$(cat "$p")" && folder="$(dirname "$p")"; done
    [ -n "$ffmpeg_pid" ] && grep -q ffmpeg "/proc/$ffmpeg_pid/comm" 2>/dev/null && break
    sleep 0.1
  done
  if [ -z "$ffmpeg_pid" ]; then echo "FAIL program killed, reaped $reaping: its camera's ffmpeg never started"; fail=1; return; fi
  kill -9 "$pid"
  if [ "$reaping" = now ]; then
    wait "$pid" 2>/dev/null || true
  else
    sleep 0.5
    grep -q '^State:.*Z' "/proc/$pid/status" 2>/dev/null ||
      { echo "FAIL program killed, reaped late: it is no zombie, so this checks nothing"; fail=1; }
  fi
  for _ in $(seq 1 50); do kill -0 "$ffmpeg_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$ffmpeg_pid" 2>/dev/null && ! grep -q '^State:.*Z' "/proc/$ffmpeg_pid/status"; then
    echo "FAIL program killed, reaped $reaping: its ffmpeg ($ffmpeg_pid) still runs 5 s later"; kill -9 "$ffmpeg_pid"; fail=1
  else
    echo "ok   program killed, reaped $reaping: its ffmpeg ended"
  fi
  for _ in $(seq 1 20); do [ -d "$folder" ] || break; sleep 0.1; done
  local left
  left="$(compgen -G "/tmp/morva-sh-$pid-*" || true)"
  if [ -n "$left" ]; then
    echo "FAIL program killed, reaped $reaping: its folders were left behind: $left"; fail=1
  else
    echo "ok   program killed, reaped $reaping: no folder of it is left"
  fi
  if [ -n "$sleeper" ]; then kill "$sleeper" 2>/dev/null; wait "$sleeper" 2>/dev/null || true; fi
  pid= sleeper=
}
killed_program now
killed_program late
exit $fail
