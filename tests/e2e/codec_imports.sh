#!/usr/bin/env bash
# morvamjpg.dll, the Motion JPEG codec, is a 32-bit PE DLL that exports
# DriverProc by that name and imports system DLLs only (libjpeg-turbo and
# the language runtimes are linked in statically).
# Usage: codec_imports.sh BIN_DIR
set -euo pipefail
name=codec_imports
file="${1:?folder of morvamjpg.dll}/morvamjpg.dll"
# shellcheck source=pe_checks.sh
. "$(dirname "${BASH_SOURCE[0]}")/pe_checks.sh"
check 'file format pei-i386' 'the i386 PE format'
check '^Characteristics .*DLL|^[[:space:]]+DLL$' 'the DLL flag'
check '\[ *[0-9]+\] DriverProc$' 'the export DriverProc'
imports_only " kernel32.dll msvcrt.dll winmm.dll user32.dll advapi32.dll "
[ $fail -eq 0 ] && echo "codec_imports: PE32 DLL exporting DriverProc, imports: $(echo $dlls)"
exit $fail
