#!/usr/bin/env bash
# Without a display the program explains why and what to do on standard error, and ends with exit
# code 0: once with DISPLAY unset, once with a DISPLAY no X server answers on.
# Usage: no_display_test.sh PATH/TO/bodo-zamel
set -uo pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

expect_line() {
  grep -q "$1" "$errors" || { echo "FAIL ($2): no line matching '$1'" >&2; exit 1; }
}

run_without_display() {  # CASE, then env arguments
  local case=$1
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$@" timeout 30 "$program" 2> "$errors"
  local status=$?
  cat "$errors"
  [ "$status" -eq 0 ] || { echo "FAIL ($case): exit code $status" >&2; exit 1; }
  expect_line '^Error: could not create the main window$' "$case"
  expect_line 'SDL_VIDEODRIVER' "$case"
}

program=$1
run_without_display "DISPLAY unset"
expect_line 'no X display (or Wayland) was found: DISPLAY is not set' "DISPLAY unset"
run_without_display "DISPLAY unreachable" DISPLAY=:917
expect_line 'the X display DISPLAY=:917 cannot be opened' "DISPLAY unreachable"
echo "exit code 0 with the reason and the remedy on standard error"
