#!/usr/bin/env bash
# Builds Morva's release packages into build/dist:
#   morva_<version>_all.deb      the Debian package: the .exe, the capture
#                                service and the Motion JPEG codec under
#                                /usr/lib/morva, the
#                                launcher /usr/bin/morva, a menu entry, icons
#   morva-<version>-win32.zip    the .exe, the codec and a short README for Windows
#   morva-<version>-setup.exe    the Windows installer (NSIS, packaging/morva.nsi)
# The version is packaging/VERSION. From a clean checkout it sets up, then
# builds a Release tree of its own (build/package); --from takes the programs
# of a cross tree that is already built instead (the tests do).
# Usage: scripts/package.sh [--from BUILD_DIR] [--out DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
packaging="$root/packaging"
from=""
out="$root/build/dist"
while [ $# -gt 0 ]; do
  case "$1" in
    --from) from="$(cd "${2:?--from needs a build folder}" && pwd)"; shift 2 ;;
    --out) out="${2:?--out needs a folder}"; shift 2 ;;
    *) echo "usage: scripts/package.sh [--from BUILD_DIR] [--out DIR]" >&2; exit 2 ;;
  esac
done
version="$(tr -d ' \n' <"$packaging/VERSION")"

if [ -z "$from" ]; then
  "$root/scripts/setup.sh"
  from="$root/build/package"
  cmake -S "$root" -B "$from" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$from" -j "$(nproc)" --target morva avicap32 morvamjpg
fi
for f in morva.exe avicap32.dll morvamjpg.dll; do
  [ -f "$from/bin/$f" ] || { echo "package: $from/bin/$f is missing; build it first" >&2; exit 1; }
done

mkdir -p "$out"
out="$(cd "$out" && pwd)"
stage="$(mktemp -d "$out/stage.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
# The date of the packaged commit, so that a package is the same whenever it
# is built.
date_rfc="$(git -C "$root" log -1 --format=%cD 2>/dev/null || date -R)"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(date -d "$date_rfc" +%s)}"
subst() { sed -e "s/@VERSION@/$version/g" "$1"; }

# --- Debian package ----------------------------------------------------------
deb="$stage/deb"
install -d "$deb/DEBIAN" "$deb/usr/bin" "$deb/usr/lib/morva" "$deb/usr/share/applications" \
  "$deb/usr/share/doc/morva" "$deb/usr/share/man/man1"
for f in morva.exe avicap32.dll morvamjpg.dll; do
  i686-w64-mingw32-strip --strip-debug -o "$deb/usr/lib/morva/$f" "$from/bin/$f"
done
install -m 644 "$root/scripts/wine-prefix.sh" "$deb/usr/lib/morva/wine-prefix.sh"
install -m 755 "$packaging/morva-launcher" "$deb/usr/bin/morva"
install -m 644 "$packaging/morva.desktop" "$deb/usr/share/applications/morva.desktop"
for size in 32 48; do
  dir="$deb/usr/share/icons/hicolor/${size}x${size}/apps"
  install -d "$dir"
  convert "$root/resources/images/morva.ico" -resize "${size}x${size}" -strip "png32:$dir/morva.png"
done
install -m 644 "$packaging/copyright" "$deb/usr/share/doc/morva/copyright"
maintainer="$(sed -n 's/^Maintainer: //p' "$packaging/control.in")"
printf 'morva (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
  "$version" "$version" "$maintainer" "$date_rfc" | gzip -9n >"$deb/usr/share/doc/morva/changelog.gz"
subst "$packaging/morva.1" | gzip -9n >"$deb/usr/share/man/man1/morva.1.gz"
size_kib="$(du -sk --apparent-size --exclude=DEBIAN "$deb" | cut -f1)"
subst "$packaging/control.in" | sed -e "s/@INSTALLED_SIZE@/$size_kib/" >"$deb/DEBIAN/control"
(cd "$deb" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$deb/DEBIAN/md5sums"
find "$deb" -type d -exec chmod 755 {} +
find "$deb" -type f ! -path "$deb/usr/bin/morva" -exec chmod 644 {} +
find "$deb" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
debfile="$out/morva_${version}_all.deb"
dpkg-deb --root-owner-group -Zxz --build "$deb" "$debfile" >/dev/null
echo "package: $debfile"

# --- Windows: zip and installer ------------------------------------------------
win="$stage/morva-$version-win32"
install -d "$win"
install -m 644 "$deb/usr/lib/morva/morva.exe" "$deb/usr/lib/morva/avicap32.dll" "$deb/usr/lib/morva/morvamjpg.dll" "$win/"
subst "$packaging/README-win32.txt" | sed -e 's/$/\r/' >"$win/README.txt"
find "$win" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
zipfile="$out/morva-$version-win32.zip"
rm -f "$zipfile"
(cd "$stage" && zip -q -X "$zipfile" "morva-$version-win32/morva.exe" "morva-$version-win32/morvamjpg.dll" \
  "morva-$version-win32/README.txt")
echo "package: $zipfile"
setup="$out/morva-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$win" -DOUTFILE="$setup" "$packaging/morva.nsi" >"$stage/makensis.log" 2>&1 ||
  { cat "$stage/makensis.log" >&2; exit 1; }
echo "package: $setup"
