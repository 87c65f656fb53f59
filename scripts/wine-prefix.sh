# The Wine settings Morva runs with and the one-time creation of its prefix,
# shared by scripts/wine-env.sh (the build's own prefix) and the installed
# launcher /usr/bin/morva (the user's prefix; installed beside the .exe as
# /usr/lib/morva/wine-prefix.sh). Sourced, POSIX sh. Callers set WINEPREFIX.

export WINEARCH=win32
export WINEDEBUG=-all
# Prefer the capture service beside the .exe (the project's avicap32.dll) to
# Wine's own; no Mono or Gecko offers and no desktop menu entries for the
# programs of the prefix.
export WINEDLLOVERRIDES="avicap32=n,b;mscoree=;mshtml=;winemenubuilder.exe="

# Wine's own fonts (Debian's fonts-wine: Marlett draws the caption buttons,
# Tahoma the dialogs) are not always found in Wine's data folder, for instance
# when the 64-bit loader is started directly; linked into the prefix's Fonts
# folder they always are. Fonts the prefix has already are left alone.
morva_link_wine_fonts() {
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
  for f in /usr/share/wine/fonts/*; do
    [ -e "$fonts/${f##*/}" ] || ln -s "$f" "$fonts/${f##*/}"
  done
}

# Creates the prefix in $WINEPREFIX once, without prompts, with the X11 driver
# told not to manage or decorate windows (without a window manager Wine waits
# about 2 s in every DestroyWindow of a visible top-level window). A marker
# file says it is done. Returns non-zero when Wine cannot create it.
morva_prepare_prefix() {
  if [ -f "$WINEPREFIX/.morva-ready" ]; then return 0; fi
  mkdir -p "$WINEPREFIX" || return 1
  wineboot -i >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || return 1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || return 1
  morva_link_wine_fonts
  # The registry reaches the disk when the wineserver ends.
  wineserver -w
  touch "$WINEPREFIX/.morva-ready"
}

# Installs Morva's Motion JPEG codec ($1, morvamjpg.dll) as a system codec of
# the prefix: copied into its system folder (system32, or syswow64 for a
# 32-bit DLL in a 64-bit prefix) when it differs, and listed under Drivers32
# as vidc.MJPG, which the video compression manager reads. $2 is the DLL's
# word size, 32 (the default) or 64. Quick when both are done already.
morva_install_codec() {
  bits="${2:-32}"
  dir="$WINEPREFIX/drive_c/windows/system32" view=""
  if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    view="/reg:$bits"
    [ "$bits" = 64 ] || dir="$WINEPREFIX/drive_c/windows/syswow64"
  fi
  [ -f "$1" ] && [ -d "$dir" ] || return 1
  cmp -s "$1" "$dir/morvamjpg.dll" || cp "$1" "$dir/morvamjpg.dll" || return 1
  grep -qs '^"vidc.MJPG"="morvamjpg.dll"' "$WINEPREFIX/system.reg" && return 0
  # shellcheck disable=SC2086  # $view is one word or none
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32' /v vidc.MJPG \
    /d morvamjpg.dll /f $view >/dev/null 2>&1
}
