#!/usr/bin/env bash
# Configures and builds both trees: build/win32 (the Windows programs, cross-
# compiled) and build/native (the portable core with sanitizers).
# Usage: scripts/build.sh [win32|native|all]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
what="${1:-all}"
jobs="$(nproc)"
werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi

if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S "$root" -B "$root/build/native" -DMORVA_WERROR=$werror >/dev/null
  cmake --build "$root/build/native" -j "$jobs"
fi
if [ "$what" = all ] || [ "$what" = win32 ]; then
  cmake -S "$root" -B "$root/build/win32" -DMORVA_WERROR=$werror \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$root/build/win32" -j "$jobs"
fi
