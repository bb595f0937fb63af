#!/usr/bin/env bash
# Without a display the program explains why on standard error and ends with exit code 0.
# Usage: no_display_test.sh PATH/TO/bodo-zamel
set -uo pipefail
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 30 "$1" 2> "$errors"
status=$?
cat "$errors"
[ "$status" -eq 0 ] || { echo "FAIL: exit code $status" >&2; exit 1; }
grep -q '^Error: could not create the main window$' "$errors" || { echo "FAIL: no error message" >&2; exit 1; }
echo "exit code 0 with the error on standard error"
