#!/usr/bin/env bash
# morvamjpg.dll, the Motion JPEG codec, is a 32-bit PE DLL that exports
# DriverProc by that name and imports system DLLs only (libjpeg-turbo and
# the language runtimes are linked in statically).
# Usage: codec_imports.sh BIN_DIR
set -euo pipefail
dll="${1:?folder of morvamjpg.dll}/morvamjpg.dll"
headers="$(i686-w64-mingw32-objdump -p "$dll")"
fail=0
check() {
  if ! grep -Eq "$1" <<<"$headers"; then echo "codec_imports: $dll lacks: $2"; fail=1; fi
}
check 'file format pei-i386' 'the i386 PE format'
check '^Characteristics .*DLL|^[[:space:]]+DLL$' 'the DLL flag'
check '\[ *[0-9]+\] DriverProc$' 'the export DriverProc'

allowed=" kernel32.dll msvcrt.dll winmm.dll user32.dll advapi32.dll "
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
for dll_name in $dlls; do
  case "$allowed" in
    *" $dll_name "*) ;;
    *) echo "codec_imports: imports $dll_name, which is not a system DLL"; fail=1 ;;
  esac
done
[ $fail -eq 0 ] && echo "codec_imports: PE32 DLL exporting DriverProc, imports: $(echo $dlls)"
exit $fail
