#!/usr/bin/env bash
# Retakes the README's screenshots on a virtual display: docs/connection.png
# (the main window with the default camera's picture centred in its video
# frame), docs/service.png (a capture window of the capture service with
# the moving default pattern) and docs/ffmpeg_camera.png (the main window
# showing a camera read through ffmpeg, its test source). Look at each before
# committing it.
# Usage: scripts/screenshots.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win32

# shellcheck source=wine-arch.sh
. "$root/scripts/wine-arch.sh"
export MORVA_BUILD="$root/build/$MORVA_WINE_ARCH"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
morva_headless_session
unset MORVA_CAMERAS
bin="$MORVA_BUILD/bin"
windows="$WINEPREFIX/drive_c/windows"
shot() { xwd -root -silent | convert xwd:- -crop "$1" +repage "$2"; }

# Both programs start from their defaults: the prefix's settings files
# (left by tests) are put aside and brought back at the end.
saved="$(mktemp -d)"
restore() {
  for f in Morva.ini MorvaCap.ini; do
    rm -f "$windows/$f"
    if [ -f "$saved/$f" ]; then mv "$saved/$f" "$windows/$f"; fi
  done
  rm -rf "$saved"
}
trap 'restore; morva_end_headless_session' EXIT
for f in Morva.ini MorvaCap.ini; do
  if [ -f "$windows/$f" ]; then mv "$windows/$f" "$saved/$f"; fi
done

# The main window at (100, 100), 540 x 500, as the picture test places it,
# showing the first camera of the given cameras file ("": the built-in
# cameras) with its defaults, for a while (so that its counter is not at zero).
main_window_shot() {  # cameras file, picture
  printf '[Position]\r\nXPOS=100\r\nYPOS=100\r\nWidth=540\r\nHeight=500\r\n' >"$windows/Morva.ini"
  rm -f "$windows/MorvaCap.ini"
  (cd "$bin" && MORVA_CAMERAS="$1" exec wine morva.exe) >/dev/null 2>&1 </dev/null &
  app=$!
  (cd "$bin" && wine winctl.exe wait "Capture Application" 20000) >/dev/null
  sleep 3
  shot 560x520+90+90 "$2"
  (cd "$bin" && wine winctl.exe close "Capture Application" 10000) >/dev/null
  wait "$app" || true
}
main_window_shot "" "$root/docs/connection.png"
printf '[Driver0]\r\nDescription=ffmpeg test source\r\nInput=-f lavfi -i testsrc2=size=320x240:rate=30\r\n' \
  >"$saved/cameras.ini"
main_window_shot "Z:${saved//\//\\}\\cameras.ini" "$root/docs/ffmpeg_camera.png"

# The capture service's own window: bench_service shows the live picture at
# (0, 0) for a few seconds.
(cd "$bin" && exec wine bench_service.exe show 6) >/dev/null 2>&1 </dev/null &
app=$!
sleep 4
shot 648x507+0+0 "$root/docs/service.png"
wait "$app" || true
echo "screenshots: docs/connection.png, docs/service.png and docs/ffmpeg_camera.png"
