#!/usr/bin/env bash
# A MEDIA_DESKTOP_DEPTH the desktop cannot run in (8, abc) is refused on standard error, the
# program runs in 32 bits and still ends with exit code 0 on SIGTERM. Runs on SDL's dummy video
# driver, so no X server is needed.
# Usage: desktop_depth_test.sh PATH/TO/bodo-zamel
set -uo pipefail
program=$1
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

for value in 8 abc; do
  : > "$errors"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1 MEDIA_DESKTOP_DEPTH=$value \
    "$program" 2> "$errors" &
  pid=$!
  deadline=$((SECONDS + 30))
  until grep -q "MEDIA_DESKTOP_DEPTH=$value is not used" "$errors" || [ $SECONDS -ge $deadline ]; do
    sleep 0.1
  done
  kill -TERM "$pid"
  wait "$pid"
  status=$?
  cat "$errors"
  grep -q "MEDIA_DESKTOP_DEPTH=$value is not used: the desktop runs in 15, 16, 24 or 32 bits" "$errors" ||
    { echo "FAIL: MEDIA_DESKTOP_DEPTH=$value was not refused within 30 s" >&2; exit 1; }
  [ "$status" -eq 0 ] || { echo "FAIL: MEDIA_DESKTOP_DEPTH=$value: exit code $status" >&2; exit 1; }
done
echo "refused 8 and abc with a message, exit code 0"
