#!/usr/bin/env bash
# Configures and builds the trees: build/win32 (the Windows programs, cross-
# compiled for 32-bit Windows), build/native (the portable core with
# sanitizers) and, where this machine runs no 32-bit programs, build/win64
# (the same Windows sources for 64-bit Wine, which runs the tests there; the
# 32-bit tree then builds only the shipped programs and the codec).
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
# shellcheck source=wine-arch.sh
. "$root/scripts/wine-arch.sh"
windows_tree() {  # folder, toolchain, targets...
  local dir="$1" toolchain="$2"
  shift 2
  cmake -S "$root" -B "$root/build/$dir" -DMORVA_WERROR=$werror \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
  cmake --build "$root/build/$dir" -j "$jobs" "$@"
}
if [ "$what" = all ] || [ "$what" = win32 ]; then
  if [ "$MORVA_WINE_ARCH" = win64 ]; then
    windows_tree win32 toolchain-i686-w64-mingw32.cmake --target morva avicap32 morvamjpg
    windows_tree win64 toolchain-x86_64-w64-mingw32.cmake
  else
    windows_tree win32 toolchain-i686-w64-mingw32.cmake
  fi
fi
