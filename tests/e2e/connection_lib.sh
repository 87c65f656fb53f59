# Shared by the connection_*.sh checks: the Wine environment of a build
# folder and one start/close run of morva.exe. Sourced, not run.
# The caller sets build (the build folder) first.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix
if [ -z "${DISPLAY:-}" ]; then echo "$(basename "$0"): no DISPLAY; run through scripts/test.sh"; exit 1; fi

ini="$WINEPREFIX/drive_c/windows/Morva.ini"
title="Capture Application"
out="$(mktemp -d /tmp/morva_connection.XXXXXX)"
trap 'rm -rf "$out"' EXIT
bin="$build/bin"
unset MORVA_CAMERAS
# The capture service starts from its camera's defaults, whatever other
# tests left in the prefix's settings file.
win="Z:${out//\//\\}"
export MORVA_CAPTURE_SETTINGS="$win\\MorvaCap.ini"
if [ -e "$bin/cameras.ini" ]; then
  echo "$(basename "$0"): $bin/cameras.ini would replace the built-in cameras"; exit 1
fi

# Starts morva.exe, waits for its main window, runs "$@" while it is up, then
# closes it and checks exit code 1.
with_running_app() {
  (cd "$bin" && exec wine morva.exe) >"$out/app.log" 2>&1 </dev/null &
  local app=$!
  if ! (cd "$bin" && wine winctl.exe wait "$title" 20000) >/dev/null 2>&1; then
    kill "$app" 2>/dev/null || true
    echo "the main window did not come up"; return 1
  fi
  local status=0
  "$@" || status=$?
  if ! (cd "$bin" && wine winctl.exe close "$title" 10000) >/dev/null 2>&1; then
    kill "$app" 2>/dev/null || true
    echo "the main window did not close"; return 1
  fi
  local i
  for i in $(seq 1 60); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
  if kill -0 "$app" 2>/dev/null; then
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    echo "morva.exe still running 15 s after its main window closed"; return 1
  fi
  local rc=0
  wait "$app" || rc=$?
  if [ "$rc" -ne 1 ]; then echo "exit code $rc, expected 1"; cat "$out/app.log"; return 1; fi
  return $status
}

# The settings file's value of a key, without the line end.
ini_value() { [ -f "$ini" ] && tr -d '\r' <"$ini" | sed -n "s/^$1=//p"; }
