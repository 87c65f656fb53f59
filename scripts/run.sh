#!/usr/bin/env bash
# Sets up, builds and runs the application under Wine. With a display it runs
# there until the user closes it; without one it runs on a virtual display,
# saves a screenshot into the build folder once the main window is up, closes
# the window and says where the picture is.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" win32

# shellcheck source=wine-arch.sh
. "$root/scripts/wine-arch.sh"
export MORVA_BUILD="$root/build/$MORVA_WINE_ARCH"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix
bin="$MORVA_BUILD/bin"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  cd "$bin"
  exec wine morva.exe
fi

morva_headless_session
cd "$bin"
wine morva.exe &
app=$!
shot="$MORVA_BUILD/screenshot.png"
# winctl waits for the main window, lets the picture settle, then closes it.
if wine winctl.exe wait "Capture Application" 20000 && sleep 2 &&
   xwd -root -silent | convert xwd:- -crop 800x600+0+0 +repage "$shot"; then
  wine winctl.exe close "Capture Application" 5000 || true
  wait "$app" || true
  echo "No display: the application ran on a virtual display; screenshot: $shot"
else
  kill "$app" 2>/dev/null || true
  echo "The main window did not come up" >&2
  exit 1
fi
