#!/usr/bin/env bash
# Sets up, builds and runs every test: the native unit tests of the portable
# core, then the Windows tests under Wine on a virtual X display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" all

status=0
echo "== native unit tests"
ctest --test-dir "$root/build/native" --output-on-failure --no-tests=error || status=1

# shellcheck source=wine-arch.sh
. "$root/scripts/wine-arch.sh"
export MORVA_BUILD="$root/build/$MORVA_WINE_ARCH"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
morva_headless_session

echo "== Windows tests under Wine (DISPLAY=$DISPLAY)"
ctest --test-dir "$MORVA_BUILD" --output-on-failure --no-tests=error --timeout 600 "$@" || status=1
exit $status
