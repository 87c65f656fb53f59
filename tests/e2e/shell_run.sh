#!/usr/bin/env bash
# Starts morva.exe under Wine, waits for its main window, closes it from
# outside, and checks the exit code (1) and the settings file it leaves:
# twelve keys in three sections. A second run, given a command line and the
# first run's file, must leave exactly the same file: the command line has no
# effect, and an unchanged window keeps its size from run to run.
# Usage: shell_run.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix
if [ -z "${DISPLAY:-}" ]; then echo "shell_run: no DISPLAY; run through scripts/test.sh"; exit 1; fi

ini="$WINEPREFIX/drive_c/windows/Morva.ini"
title="Capture Application"
out="$(mktemp -d /tmp/morva_shell_run.XXXXXX)"
trap 'rm -rf "$out"' EXIT
cd "$build/bin"

run_once() {  # arguments: what to pass to morva.exe
  wine morva.exe "$@" >"$out/app.log" 2>&1 </dev/null &
  local app=$!
  if ! wine winctl.exe wait "$title" 20000 >/dev/null 2>&1; then
    kill "$app" 2>/dev/null || true
    echo "shell_run: the main window did not come up"; return 1
  fi
  if ! wine winctl.exe close "$title" 10000 >/dev/null 2>&1; then
    kill "$app" 2>/dev/null || true
    echo "shell_run: the main window did not close"; return 1
  fi
  # The process must end soon after its window: the loop ends, the settings
  # are saved, the exit code follows. Bounded, so a fault fails the test
  # instead of holding the suite.
  local i
  for i in $(seq 1 150); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app" 2>/dev/null; then
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    echo "shell_run: morva.exe still running 15 s after its main window closed"
    [ -f "$ini" ] || echo "shell_run: (no settings file either: the message loop never ended)"
    return 1
  fi
  local rc=0
  wait "$app" || rc=$?
  if [ "$rc" -ne 1 ]; then echo "shell_run: exit code $rc, expected 1"; cat "$out/app.log"; return 1; fi
}

rm -f "$ini"
run_once
[ -f "$ini" ] || { echo "shell_run: no settings file at $ini"; exit 1; }
tr -d '\r' <"$ini" >"$out/first.ini"
fail=0
keys="$(grep -c '=' "$out/first.ini" || true)"
[ "$keys" -eq 12 ] || { echo "shell_run: $keys keys, expected 12"; fail=1; }
for section in Position Setting Directory; do
  grep -qx "\[$section\]" "$out/first.ini" || { echo "shell_run: section $section missing"; fail=1; }
done
for key in XPOS YPOS Width Height FrameRate TimeInterval DriverID SelfTimer CaptureAudio UseOverlay EnableTimeLimit; do
  grep -Eqx "$key=-?[0-9]+" "$out/first.ini" || { echo "shell_run: $key missing or not a number"; fail=1; }
done
grep -qx 'LastDir=C:\\' "$out/first.ini" || { echo "shell_run: LastDir is not C:\\"; fail=1; }
for pair in XPOS=100 YPOS=100 Width=300 Height=300 FrameRate=15 SelfTimer=10; do
  grep -qx "$pair" "$out/first.ini" || { echo "shell_run: expected $pair"; fail=1; }
done

cp "$ini" "$out/first.raw"
run_once /DriverID=5 XPOS=7 --help
if ! cmp -s "$ini" "$out/first.raw"; then
  echo "shell_run: the second run (with a command line) changed the settings file:"
  diff <(tr -d '\r' <"$out/first.raw") <(tr -d '\r' <"$ini") || true
  fail=1
fi
rm -f "$ini"
[ $fail -eq 0 ] && echo "shell_run: two runs, exit code 1, twelve keys, stable file"
exit $fail
