#!/usr/bin/env bash
# The X server goes away under the running program: the program takes it as a close request,
# shuts the game down and ends with exit code 0 (within the deadline; the time it took is
# printed), never hanging; the same when SIGTERM arrives at the same moment. That case is a race
# (the close can start before the loss is noticed, and the server can die while a window is being
# destroyed), so it runs several times.
# Usage: display_loss_test.sh PATH/TO/bodo-zamel
set -uo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
xvfb_pid=""
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -KILL "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"

# A display number nobody uses.
free_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return; }
  done
  return 1
}

run_case() {
  local also_sigterm=$1 n
  n=$(free_display) || fail "no free display number"
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  poll "Xvfb :$n listening" test -e "/tmp/.X11-unix/X$n"
  (cd "$work" && DISPLAY=":$n" MEDIA_NO_MESSAGE_BOX=1 exec "$program" > "$work/out.log" 2>&1) &
  pid=$!
  DISPLAY=":$n" timeout "$E2E_DEADLINE_S" xdotool search --sync --onlyvisible --name '^bodo & zamel$' > /dev/null \
    || fail "no window"
  kill -KILL "$xvfb_pid"
  [ "$also_sigterm" = yes ] && kill -TERM "$pid"
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  local start
  start=$(date +%s%N)
  poll "the program's end after the display went away (sigterm: $also_sigterm)" ended "$pid" "$work/out.log"
  local waited
  waited=$(elapsed_ms "$start")
  local status=0
  wait "$pid" || status=$?
  pid=""
  cat "$work/out.log"
  [ "$status" -eq 0 ] || fail "exit code $status after the display went away (sigterm: $also_sigterm)"
  echo "display lost (sigterm: $also_sigterm): exit code 0 after $waited ms"
  rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
}

run_case no
for round in 1 2 3 4 5; do run_case yes; done
