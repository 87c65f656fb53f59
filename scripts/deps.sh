#!/usr/bin/env bash
# Builds the libraries the Windows programs link statically, from Debian's
# source packages, into build/deps/<arch>/ (include/ and lib/): today
# libjpeg-turbo, with its SIMD code (nasm), for the MJPEG codec. Each build
# is kept and redone only when missing, so the set-up stays quick.
# Called by scripts/setup.sh; root or sudo needed only the first time (the
# deb-src entry, nasm and dpkg-dev).
# Usage: scripts/deps.sh [i686|x86_64]...   (default: both)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/build/deps"
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(i686 x86_64)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing_archs=()
for a in "${archs[@]}"; do
  [ -f "$deps/$a/lib/libjpeg.a" ] || missing_archs+=("$a")
done
[ ${#missing_archs[@]} -gt 0 ] || exit 0

# Debian's sources beside its packages: a deb-src entry with the URI and
# suite of the first deb entry.
source_list=/etc/apt/sources.list.d/morva-sources.sources
need_update=0
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  uri="$(grep -rhsm1 '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}')"
  [ -n "$uri" ] || uri="$(grep -hsm1 '^deb ' /etc/apt/sources.list | awk '{print $2}')"
  uri="${uri:-http://deb.debian.org/debian}"
  printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" | "${sudo_cmd[@]}" tee "$source_list" >/dev/null
  need_update=1
fi
tools=()
command -v nasm >/dev/null || tools+=(nasm)
command -v dpkg-source >/dev/null || tools+=(dpkg-dev)
if [ ${#tools[@]} -gt 0 ] || [ "$need_update" = 1 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
fi
if [ ${#tools[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${tools[@]}" >/dev/null
fi

src_parent="$deps/src"
src="$(find "$src_parent" -maxdepth 1 -type d -name 'libjpeg-turbo-*' 2>/dev/null | head -1 || true)"
if [ -z "$src" ] || [ ! -f "$src/CMakeLists.txt" ]; then
  rm -rf "$src_parent"
  mkdir -p "$src_parent"
  (cd "$src_parent" && apt-get source -q libjpeg-turbo >/dev/null)
  src="$(find "$src_parent" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)"
fi

for a in "${missing_archs[@]}"; do
  echo "deps: building libjpeg-turbo for $a-w64-mingw32"
  work="$deps/build-$a"
  rm -rf "$work" "$deps/$a"
  cmake -S "$src" -B "$work" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$a-w64-mingw32.cmake" \
    -DCMAKE_ASM_NASM_COMPILER=nasm -DREQUIRE_SIMD=ON -DCMAKE_INSTALL_PREFIX="$deps/$a" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF >"$deps/build-$a.log" 2>&1 ||
    { tail -30 "$deps/build-$a.log" >&2; exit 1; }
  cmake --build "$work" -j "$(nproc)" --target jpeg-static >>"$deps/build-$a.log" 2>&1 ||
    { tail -30 "$deps/build-$a.log" >&2; exit 1; }
  install -d "$deps/$a/include" "$deps/$a/lib"
  install -m 644 "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/jconfig.h" "$deps/$a/include/"
  install -m 644 "$work/libjpeg.a" "$deps/$a/lib/libjpeg.a.tmp"
  mv "$deps/$a/lib/libjpeg.a.tmp" "$deps/$a/lib/libjpeg.a"
  rm -rf "$work"
done
