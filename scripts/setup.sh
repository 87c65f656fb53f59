#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages.
# Quick when everything is already there: it only asks apt for what is missing.
set -euo pipefail

packages=(
  cmake make g++ python3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386 fonts-wine
  # 64-bit Wine and compilers: the tests' way where the kernel runs no 32-bit
  # programs (scripts/wine-arch.sh)
  wine64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev
  xvfb xauth x11-utils x11-apps
  googletest
  ffmpeg imagemagick
  lintian nsis
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [ "${need_update:-0}" = 1 ]; then
  "${sudo_cmd[@]}" apt-get update -q
fi

# libjpeg-turbo for the Motion JPEG codec, built once from Debian's sources.
"$(dirname "${BASH_SOURCE[0]}")/deps.sh"
