#!/usr/bin/env bash
# morva.exe is a 32-bit GUI-subsystem PE that imports system DLLs only (the
# language runtimes are linked in statically).
# Usage: shell_imports.sh BIN_DIR
set -euo pipefail
name=shell_imports
file="${1:?folder of morva.exe}/morva.exe"
# shellcheck source=pe_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/pe_checks.sh"
check 'file format pei-i386' 'the i386 PE format'
check '^Magic[[:space:]]+010b' 'the PE32 optional header'
check '^Subsystem[[:space:]]+00000002' 'the Windows GUI subsystem'
imports_only " advapi32.dll avicap32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msacm32.dll msvcrt.dll ole32.dll shell32.dll user32.dll winmm.dll "
# The program really uses the capture service, the window system and the
# common controls.
for needed in avicap32.dll user32.dll comctl32.dll; do
  grep -qx "$needed" <<<"$dlls" || { echo "shell_imports: does not import $needed"; fail=1; }
done
[ $fail -eq 0 ] && echo "shell_imports: PE32, GUI subsystem, imports: $(echo $dlls)"
exit $fail
