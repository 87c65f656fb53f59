# Checks of recorded files shared by the end-to-end scripts: expect (a
# value against the wanted one), probe (ffprobe's entries of one stream) and
# decodes_clean (ffmpeg decodes the whole file without an error). A failed
# check prints FAIL and sets fail=1. Sourced, not run.
fail=0
expect() {  # what got wanted
  if [ "$2" != "$3" ]; then echo "FAIL $1: got '$2', expected '$3'"; fail=1; else echo "ok   $1: $2"; fi
}
probe() {  # file stream-index entries
  ffprobe -v error -select_streams "$2" -show_entries "stream=$3" -of csv=p=0 "$1" 2>&1 || true
}
decodes_clean() {
  local errors
  errors="$(ffmpeg -nostdin -v error -i "$1" -f null - 2>&1)" || errors="exit status $? $errors"
  expect "$(basename "$1") decodes without errors" "${errors:-none}" none
}
