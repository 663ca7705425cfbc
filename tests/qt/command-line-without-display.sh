#!/bin/sh
# The desktop application's --help, --version and a refused option with no
# display at all: they are answered before Qt looks for one.
# Usage: command-line-without-display.sh LOCIVIEW VERSION
set -u
app=$1
version=$2
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
failed=0

# matches FILE PATTERN: an empty pattern wants the file empty.
matches() {
  if [ -z "$2" ]; then [ ! -s "$1" ]; else grep -q -- "$2" "$1"; fi
}
# expect STATUS STDOUT-PATTERN STDERR-PATTERN ARGUMENT...
expect() {
  want=$1 outPattern=$2 errPattern=$3
  shift 3
  "$app" "$@" >"$out" 2>"$err"
  status=$?
  if [ "$status" -ne "$want" ] || ! matches "$out" "$outPattern" || ! matches "$err" "$errPattern"; then
    echo "lociview $*: status $status (wanted $want)" >&2
    sed 's/^/  out: /' "$out" >&2
    sed 's/^/  err: /' "$err" >&2
    failed=1
  fi
}

expect 0 '^Usage: lociview \[options\] \[FILE\.\.\.\]$' '' --help
expect 0 "^lociview $version\$" '' --version
expect 2 '' "^lociview: Unknown option 'no-such-option'\.\$" --no-such-option peaks.txt
expect 2 '' '^Usage: lociview \[options\] \[FILE\.\.\.\]$' --no-such-option
exit "$failed"
