#!/usr/bin/env bash
# Start-up fall-backs with the real capture service, driven by its cameras
# file: a driver 0 that fails brings the application up on driver 1, which is
# then remembered; with no driver accepting, none is remembered; a remembered
# driver that connects is kept.
# Usage: connection_fallback.sh BUILD_DIR   (DISPLAY must name a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
# shellcheck source=connection_lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/connection_lib.sh"

fail=0
note() { echo "connection_fallback: $*"; fail=1; }
cameras() { printf '%s\r\n' "$@" >"$out/cameras.ini"; MORVA_CAMERAS="$(winepath -w "$out/cameras.ini" 2>/dev/null)"; export MORVA_CAMERAS; }
idle() { sleep 0.5; }

# Driver 0 refuses, driver 1 works: up on 1, and 1 is written at exit.
cameras '[Driver0]' 'ConnectFails=1' '[Driver1]' 'Description=Second Camera'
rm -f "$ini"
with_running_app idle || note "driver 0 failing: run failed"
[ "$(ini_value DriverID)" = 1 ] || note "driver 0 failing: DriverID $(ini_value DriverID), expected 1"

# The only driver refuses: nothing is remembered.
cameras '[Driver0]' 'ConnectFails=1'
rm -f "$ini"
with_running_app idle || note "no driver accepting: run failed"
[ "$(ini_value DriverID)" = -1 ] || note "no driver accepting: DriverID $(ini_value DriverID), expected -1"

# A remembered driver 2 that connects stays, though 0 would connect too.
cameras '[Driver0]' '[Driver1]' '[Driver2]'
printf '[Setting]\r\nDriverID=2\r\n' >"$ini"
with_running_app idle || note "remembered driver: run failed"
[ "$(ini_value DriverID)" = 2 ] || note "remembered driver: DriverID $(ini_value DriverID), expected 2"
rm -f "$ini"

[ $fail -eq 0 ] && echo "connection_fallback: driver 1 after a failing 0, -1 with none, a remembered 2 kept"
exit $fail
