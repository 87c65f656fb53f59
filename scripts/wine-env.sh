# Sourced by the other scripts: the project's own Wine prefix inside the build
# folder, with the settings of wine-prefix.sh (created once without prompts,
# Wine's debug output off, the X11 driver told not to manage windows), and the
# virtual X display the tests and benchmarks run on.
# Callers set MORVA_BUILD to the build folder first: build/win32, or
# build/win64 where the machine runs no 32-bit programs (MORVA_WINE_ARCH).

# shellcheck source=wine-arch.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"

# 64-bit Wine answers to the usual command names through scripts/wine64.
if [ "$MORVA_WINE_ARCH" = win64 ]; then
  _morva_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  case ":$PATH:" in *":$_morva_scripts/wine64:"*) ;; *) export PATH="$_morva_scripts/wine64:$PATH" ;; esac
fi

: "${MORVA_BUILD:?MORVA_BUILD must name the build folder}"
export WINEPREFIX="$MORVA_BUILD/wineprefix"
# shellcheck source=wine-prefix.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
export WINEARCH="$MORVA_WINE_ARCH"

# The prefix, with the build's Motion JPEG codec installed in it as a system
# codec (again whenever the build changed it).
morva_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.morva-ready" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    morva_prepare_prefix || return 1
  fi
  local codec="$MORVA_BUILD/bin/morvamjpg.dll" bits=32
  [ "$MORVA_WINE_ARCH" = win64 ] && bits=64
  if [ -f "$codec" ] && ! morva_install_codec "$codec" "$bits"; then
    echo "wine: could not install $codec in $WINEPREFIX" >&2
  fi
  return 0
}

# Starts a virtual X display and sets DISPLAY; MORVA_XVFB_PID names its process.
morva_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  MORVA_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  echo "wine: Xvfb did not start on $DISPLAY" >&2
  return 1
}

# A whole headless session: the prefix, a virtual display and one warm
# wineserver (a cold start costs about a second per program), all ended when
# the calling script exits.
morva_headless_session() {
  morva_wine_prefix
  morva_start_xvfb
  # A wineserver that setting up the prefix started (installing the codec)
  # ends first: a persistent one cannot start beside it.
  wineserver -w
  wineserver -p
  trap morva_end_headless_session EXIT
}

morva_end_headless_session() {
  wineserver -k 2>/dev/null || true
  kill "$MORVA_XVFB_PID" 2>/dev/null || true
}
