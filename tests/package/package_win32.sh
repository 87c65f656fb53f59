#!/usr/bin/env bash
# The Windows packages: the zip holds morva.exe, the codec and README.txt;
# the installer, run silently under Wine (/S), puts morva.exe, the README and
# an uninstaller into Program Files, a Start-menu shortcut and an entry in the
# list of installed programs, the Motion JPEG codec into the system folder
# and the Drivers32 list, without the optional capture service; the installed
# morva.exe starts and shows its main window; the silent uninstaller takes
# all of it away again. The build's own codec, which this prefix holds for
# the other tests, is taken out first and put back at the end.
# Usage: package_win32.sh BUILD_DIR   (DISPLAY names a running X server)
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
export MORVA_BUILD="$build"
# shellcheck source=../../scripts/wine-env.sh
. "$root/scripts/wine-env.sh"
morva_wine_prefix
if [ -z "${DISPLAY:-}" ]; then echo "package_win32: no DISPLAY; run through scripts/test.sh"; exit 1; fi
version="$(tr -d ' \n' <"$root/packaging/VERSION")"
zipfile="$build/dist/morva-$version-win32.zip"
setup="$build/dist/morva-$version-setup.exe"
title="Capture Application"
fail=0
note() { echo "package_win32: $*"; fail=1; }

names="$(unzip -Z1 "$zipfile" | sort | tr '\n' ' ')"
[ "$names" = "morva-$version-win32/README.txt morva-$version-win32/morva.exe morva-$version-win32/morvamjpg.dll " ] ||
  note "the zip holds $names"

# The installer and the program it installs are 32-bit Windows programs:
# where 64-bit Wine stands in for a missing 32-bit one, only the zip is checked.
if [ "$MORVA_WINE_ARCH" = win64 ]; then
  [ $fail -eq 0 ] && echo "package_win32: zip checked; installer not run: this machine runs no 32-bit programs"
  [ $fail -eq 0 ] && exit 77
  exit 1
fi

c="$WINEPREFIX/drive_c"
dir="$c/Program Files/Morva"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Morva"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Morva'
ini="$c/windows/Morva.ini"
codec="$c/windows/system32/morvamjpg.dll"
drivers='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32'
codec_listed() { wine reg query "$drivers" /v vidc.MJPG 2>/dev/null | tr -d '\r' | grep -q 'morvamjpg\.dll'; }
# What an earlier, interrupted run may have left in the prefix.
remove_installation() {
  rm -rf "$dir" "$menu"
  rm -f "$ini" "$codec"
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  wine reg delete "$drivers" /v vidc.MJPG /f >/dev/null 2>&1 || true
}
remove_installation
out="$(mktemp -d /tmp/morva_package_win32.XXXXXX)"
app=""
clean_up() {
  if [ -n "$app" ]; then kill "$app" 2>/dev/null || true; fi
  remove_installation
  cp "$build/bin/morvamjpg.dll" "$codec" 2>/dev/null || true
  wine reg add "$drivers" /v vidc.MJPG /d morvamjpg.dll /f >/dev/null 2>&1 || true
  rm -rf "$out"
}
trap clean_up EXIT

# --- silent install ------------------------------------------------------------
wine "$setup" /S >"$out/setup.txt" 2>&1 </dev/null || note "the installer failed: $(cat "$out/setup.txt")"
for f in morva.exe README.txt uninstall.exe; do
  [ -f "$dir/$f" ] || note "no $f in Program Files\\Morva"
done
[ ! -e "$dir/avicap32.dll" ] || note "the capture service was installed although it is off by default"
[ -f "$menu/Morva.lnk" ] || note "no Start-menu shortcut"
[ -f "$codec" ] || note "no morvamjpg.dll in the system folder"
codec_listed || note "the codec is not listed as vidc.MJPG under Drivers32"
entry="$(wine reg query "$key" 2>/dev/null | tr -d '\r')"
grep -q 'DisplayName.*Morva' <<<"$entry" || note "no uninstaller entry named Morva"
grep -q 'UninstallString.*uninstall\.exe' <<<"$entry" || note "the uninstaller entry names no uninstaller"

# --- the installed program starts and closes -----------------------------------
(cd "$dir" && exec wine morva.exe) >"$out/app.txt" 2>&1 </dev/null &
app=$!
if wine "$build/bin/winctl.exe" wait "$title" 30000 >/dev/null 2>&1; then
  wine "$build/bin/winctl.exe" close "$title" 10000 >/dev/null 2>&1 || note "the main window did not close"
else
  note "the installed morva.exe showed no main window"
fi
for _ in $(seq 1 60); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
kill -0 "$app" 2>/dev/null && note "the installed morva.exe still runs 15 s after its window closed"
app=""

# --- silent uninstall: the uninstaller runs a copy of itself and returns at once
wine "$dir/uninstall.exe" /S >"$out/uninstall.txt" 2>&1 </dev/null || note "the uninstaller failed"
for _ in $(seq 1 120); do [ -e "$dir" ] || [ -e "$menu" ] || break; sleep 0.25; done
[ ! -e "$dir" ] || note "Program Files\\Morva is still there after uninstalling: $(ls "$dir")"
[ ! -e "$menu" ] || note "the Start-menu folder is still there after uninstalling"
wine reg query "$key" >/dev/null 2>&1 && note "the uninstaller entry is still there"
[ ! -e "$codec" ] || note "morvamjpg.dll is still in the system folder after uninstalling"
codec_listed && note "vidc.MJPG is still listed after uninstalling"

[ $fail -eq 0 ] && echo "package_win32: zip, silent install with the codec, the installed program ran, silent uninstall left nothing"
exit $fail
