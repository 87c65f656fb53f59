#!/usr/bin/env bash
# morva.exe is a 32-bit GUI-subsystem PE that imports system DLLs only (the
# language runtimes are linked in statically).
# Usage: shell_imports.sh BIN_DIR
set -euo pipefail
exe="${1:?folder of morva.exe}/morva.exe"
headers="$(i686-w64-mingw32-objdump -p "$exe")"
fail=0
check() {
  if ! grep -Eq "$1" <<<"$headers"; then echo "shell_imports: $exe lacks: $2"; fail=1; fi
}
check 'file format pei-i386' 'the i386 PE format'
check '^Magic[[:space:]]+010b' 'the PE32 optional header'
check '^Subsystem[[:space:]]+00000002' 'the Windows GUI subsystem'

allowed=" advapi32.dll avicap32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msacm32.dll msvcrt.dll ole32.dll shell32.dll user32.dll winmm.dll "
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
if [ -z "$dlls" ]; then echo "shell_imports: no imports found"; fail=1; fi
for dll in $dlls; do
  case "$allowed" in
    *" $dll "*) ;;
    *) echo "shell_imports: imports $dll, which is not a system DLL"; fail=1 ;;
  esac
done
# The program really uses the capture service, the window system and the
# common controls.
for needed in avicap32.dll user32.dll comctl32.dll; do
  grep -qx "$needed" <<<"$dlls" || { echo "shell_imports: does not import $needed"; fail=1; }
done
[ $fail -eq 0 ] && echo "shell_imports: PE32, GUI subsystem, imports: $(echo $dlls)"
exit $fail
