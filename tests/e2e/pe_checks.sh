# Shared by shell_imports.sh and codec_imports.sh: checks of a 32-bit PE's
# headers and of the DLLs it imports, read with mingw-w64's objdump.
# Sourced; the caller sets name (its own, for the messages) and file first.
headers="$(i686-w64-mingw32-objdump -p "$file")"
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
fail=0

# check PATTERN WHAT: the headers match PATTERN, else the file lacks WHAT.
check() {
  if ! grep -Eq "$1" <<<"$headers"; then echo "$name: $file lacks: $2"; fail=1; fi
}

# imports_only " a.dll b.dll ": every DLL the file imports is one of these.
imports_only() {
  local dll
  if [ -z "$dlls" ]; then echo "$name: no imports found"; fail=1; fi
  for dll in $dlls; do
    case "$1" in
      *" $dll "*) ;;
      *) echo "$name: imports $dll, which is not a system DLL"; fail=1 ;;
    esac
  done
}
