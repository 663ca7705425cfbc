#!/bin/sh
# Starts the desktop application with Qt's OpenGL integration switched off,
# as on a machine without OpenGL, lets it open, score and graph the example
# plate without a person, and checks what it said and what the window showed.
# Usage: start-without-opengl.sh LOCIVIEW PEAK-FILE
set -u
app=$1
plate=$2

# Run under a virtual display of its own when there is none.
if [ -z "${DISPLAY:-}" ]; then
  exec "$(dirname "$0")/../../scripts/with-xvfb" sh "$0" "$@"
fi

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
out=$(QT_QPA_PLATFORM=xcb QT_XCB_GL_INTEGRATION=none "$app" --open "$plate" --p1 150 --p2 156 --graph-rows 0,1 \
  2>"$errors")
status=$?

failed=0
expect() {  # expect WHAT TEXT PATTERN
  if ! printf '%s\n' "$2" | grep -q -- "$3"; then
    echo "missing from $1: $3" >&2
    failed=1
  fi
}
if [ "$status" -ne 0 ]; then
  echo "lociview exited with status $status" >&2
  failed=1
fi
expect "standard error" "$(cat "$errors")" '^lociview: The chart is empty: OpenGL is not available'
expect "the report" "$out" '^title: Lociview: di-locus-plate.txt$'
expect "the report" "$out" '^lanes: 1 empty, 6 with one allele, 5 with two or more$'
expect "the report" "$out" '^table: 5 rows; Allele Size'
expect "the report" "$out" '^selected rows: 0 1$'
expect "the report" "$out" '^chart: The chart is empty: OpenGL is not available'
if [ "$failed" -ne 0 ]; then
  printf '%s\n' "$out" >&2
  tail -n 20 "$errors" >&2
fi
exit "$failed"
