#!/usr/bin/env bash
# The Debian package as a user meets it: lintian finds no error in it; apt
# installs it; without Wine's 32-bit part the launcher says in one sentence
# how to get it; `morva` on the virtual display creates the user's own prefix,
# shows the main window with the moving picture of the default camera, and
# leaves Morva.ini and the Motion JPEG codec (system32, vidc.MJPG) in that
# prefix when closed; removing the package leaves
# nothing of it under /usr. A screenshot lands in the build folder.
# Usage: package_deb.sh BUILD_DIR   (DISPLAY names a running X server; root or sudo)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ -z "${DISPLAY:-}" ]; then echo "package_deb: no DISPLAY; run through scripts/test.sh"; exit 1; fi
debs=("$build"/dist/morva_*_all.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package_deb: expected one package in $build/dist"; exit 1; }
deb="${debs[0]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
title="Capture Application"

out="$(mktemp -d /tmp/morva_package_deb.XXXXXX)"
export HOME="$out/home"
unset XDG_DATA_HOME MORVA_CAMERAS
mkdir -p "$HOME"
prefix="$HOME/.local/share/morva/prefix"
fail=0
note() { echo "package_deb: $*"; fail=1; }

# Another checkout's test run on this machine must not install or remove the
# package in between.
exec 9>/tmp/morva-package-test.lock
flock -w 900 9

apt_get() { "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q -y -o DPkg::Lock::Timeout=300 "$@"; }
app=""
clean_up() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  apt_get purge morva >/dev/null 2>&1 || true
  rm -rf "$out"
}
trap clean_up EXIT

# --- the package itself --------------------------------------------------------
if ! lintian --fail-on error "$deb" >"$out/lintian.txt" 2>&1; then
  note "lintian reports errors:"; grep -v 'root privileges' "$out/lintian.txt" || true
fi
apt_get install "$deb" >"$out/apt.txt" 2>&1 || { cat "$out/apt.txt"; echo "package_deb: apt-get install failed"; exit 1; }
[ -x /usr/bin/morva ] || note "no /usr/bin/morva after installing"

# --- without Wine's 32-bit part: one sentence saying how to get it -------------
mkdir -p "$out/empty"
rc=0
"${as_root[@]}" env HOME="$HOME" unshare -m sh -c 'mount --bind "$1" /usr/lib/wine && exec morva' sh "$out/empty" \
  >"$out/no_wine32.txt" 2>&1 || rc=$?
if [ "$rc" -eq 0 ] || [ "$(wc -l <"$out/no_wine32.txt")" -ne 1 ] ||
   ! grep -q 'dpkg --add-architecture i386' "$out/no_wine32.txt"; then
  note "without wine32 the launcher gave exit code $rc and:"; cat "$out/no_wine32.txt"
fi
[ ! -e "$prefix" ] || note "the launcher made a prefix although it could not start Wine"

# --- where the kernel runs no 32-bit programs: one sentence saying so ----------
# shellcheck source=../../scripts/wine-arch.sh
. "$root/scripts/wine-arch.sh"
if [ "$MORVA_WINE_ARCH" = win64 ]; then
  rc=0
  morva >"$out/no_ia32.txt" 2>&1 </dev/null || rc=$?
  if [ "$rc" -eq 0 ] || [ "$(wc -l <"$out/no_ia32.txt")" -ne 1 ] || ! grep -q '32-bit programs' "$out/no_ia32.txt"; then
    note "on a kernel without 32-bit programs the launcher gave exit code $rc and:"; cat "$out/no_ia32.txt"
  fi
  skipped=1
else
  skipped=0
# --- a first start as a user: prefix, main window, live picture, Morva.ini -----
morva >"$out/morva.txt" 2>&1 </dev/null &
app=$!
# The Wine programs of this test run in the user's prefix, once it is made.
export WINEPREFIX="$prefix"
# shellcheck source=../../scripts/wine-prefix.sh
. "$root/scripts/wine-prefix.sh"
for _ in $(seq 1 360); do
  [ -f "$prefix/.morva-ready" ] || ! kill -0 "$app" 2>/dev/null && break
  sleep 0.5
done
bin="$build/bin"
if ! [ -f "$prefix/.morva-ready" ] || ! wine "$bin/winctl.exe" wait "$title" 60000 >/dev/null 2>&1; then
  echo "package_deb: the main window did not come up; the launcher said:"; cat "$out/morva.txt"
  exit 1
fi

# The capture window must show a picture (many colours) that moves; both are
# waited for within generous bounds.
check_picture() {
  local rect l t r b geometry colours=0 changed=0
  rect="$(wine "$bin/connection_probe.exe" "$title" 2>/dev/null | tr -d '\r' | sed -n 's/^capture //p' || true)"
  [ -n "$rect" ] || { note "no capture window in the main window"; return 0; }
  read -r l t r b <<<"$rect"
  geometry="$((r - l))x$((b - t))+$l+$t"
  shot() { xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$out/$1.png"; }
  for _ in $(seq 1 30); do
    shot a
    colours="$(identify -format '%k' "$out/a.png")"
    [ "$colours" -ge 6 ] && break
    sleep 0.5
  done
  [ "$colours" -ge 6 ] || { note "the capture window shows $colours colours: no camera picture"; return 0; }
  for _ in $(seq 1 20); do
    sleep 0.4
    shot b
    changed="$(compare -metric AE "$out/a.png" "$out/b.png" null: 2>&1 || true)"
    changed="${changed%% *}"
    [ "${changed%.*}" -gt 0 ] 2>/dev/null && return 0
  done
  note "the picture did not move"
}
check_picture
xwd -root -silent | convert xwd:- -crop 420x420+90+90 +repage "$build/package_deb.png"

wine "$bin/winctl.exe" close "$title" 10000 >/dev/null 2>&1 || note "the main window did not close"
for _ in $(seq 1 60); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$app" 2>/dev/null; then note "morva still running 15 s after its window closed"; fi
app=""
ini="$prefix/drive_c/windows/Morva.ini"
if [ ! -f "$ini" ]; then
  note "no Morva.ini in the user's prefix"
else
  tr -d '\r' <"$ini" | grep -qx 'DriverID=0' || note "Morva.ini does not name the default camera, driver 0"
fi
wineserver -k 2>/dev/null || true
[ -f "$prefix/drive_c/windows/system32/morvamjpg.dll" ] || note "no Motion JPEG codec in the user's prefix"
grep -q '^"vidc.MJPG"="morvamjpg.dll"' "$prefix/system.reg" || note "the codec is not listed as vidc.MJPG in the user's prefix"

fi

# --- removal: nothing of the package left under /usr ---------------------------
apt_get purge morva >"$out/apt.txt" 2>&1 || { cat "$out/apt.txt"; note "apt-get purge failed"; }
! dpkg-query -W -f='${Status}' morva 2>/dev/null | grep -q 'ok installed' || note "morva still installed"
left="$(find /usr -path '*morva*' 2>/dev/null | head -5)"
[ -z "$left" ] || note "left under /usr after removal: $left"

if [ $fail -eq 0 ] && [ $skipped -eq 1 ]; then
  echo "package_deb: lintian clean, installed, wine32 hint, the no-32-bit sentence, removed without trace; not run: this machine runs no 32-bit programs"
  exit 77
fi
[ $fail -eq 0 ] && echo "package_deb: lintian clean, installed, wine32 hint, live picture, Morva.ini and the codec in the user's prefix, removed without trace"
exit $fail
