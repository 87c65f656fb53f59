# Sourced by the scripts: which Wine runs the project's Windows programs here.
# win32 where the kernel runs 32-bit programs itself; win64 where it does not
# (IA-32 emulation off): 32-bit Wine cannot start there at all, so the tests
# and scripts/run.sh use build/win64, a 64-bit build of the same sources under
# 64-bit Wine, while build/win32 still holds the shipped 32-bit programs. A
# 32-bit Wine under a user-mode emulator (a qemu-i386 binfmt handler) hangs
# in wineboot, so that counts as "does not run".
morva_wine_arch() {
  local f
  for f in /proc/sys/fs/binfmt_misc/*; do
    # an enabled handler whose magic is a 32-bit x86 ELF header: an emulator
    if [ -f "$f" ] && head -1 "$f" 2>/dev/null | grep -qx enabled &&
       grep -Eq '^magic 7f454c4601.*0300$' "$f"; then
      echo win64
      return
    fi
  done
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}
MORVA_WINE_ARCH="${MORVA_WINE_ARCH:-$(morva_wine_arch)}"
export MORVA_WINE_ARCH
