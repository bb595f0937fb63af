#!/usr/bin/env bash
# Environment values the program cannot use are said on standard error, and the program goes on:
# a MEDIA_DESKTOP_DEPTH the desktop cannot run in (8, abc) gives 32 bits, a MEDIA_BACKEND that
# names no backend of the program gives the first that runs. Each run still ends with exit code 0
# on SIGTERM. Runs on SDL's dummy video driver, so no X server is needed.
# Usage: environment_test.sh PATH/TO/bodo-zamel
set -uo pipefail
program=$1
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

refused() {  # SETTING MESSAGE: runs the program with SETTING until MESSAGE shows, then ends it
  local setting=$1 message=$2
  : > "$errors"
  env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1 "$setting" "$program" 2> "$errors" &
  local pid=$!
  local deadline=$((SECONDS + 30))
  until grep -qF "$message" "$errors" || [ $SECONDS -ge $deadline ]; do
    sleep 0.1
  done
  kill -TERM "$pid"
  wait "$pid"
  local status=$?
  cat "$errors"
  grep -qF "$message" "$errors" || { echo "FAIL: $setting was not refused within 30 s" >&2; exit 1; }
  [ "$status" -eq 0 ] || { echo "FAIL: $setting: exit code $status" >&2; exit 1; }
}

for value in 8 abc; do
  refused "MEDIA_DESKTOP_DEPTH=$value" "MEDIA_DESKTOP_DEPTH=$value is not used: the desktop runs in 15, 16, 24 or 32 bits"
done
refused MEDIA_BACKEND=nonesuch "MEDIA_BACKEND=nonesuch is not a backend of this program (it has: sdl, headless)"
echo "refused 8, abc and an unknown backend with a message, exit code 0"
