#!/usr/bin/env bash
# The front door's window events in a real X server (SDL2, no window manager), printed by
# window-events: a resizable window given 800x500 reports Resized 800x500; a window destroyed by
# another client (xdotool windowclose) is a close box: Closed, then exit code 0; the game's
# window too ends the game with exit code 0. Every step waits (up to a deadline) for what it checks.
# Usage: window_events_test.sh PATH/TO/window-events PATH/TO/bodo-zamel   (runs itself under xvfb-run)
set -euo pipefail
program=$(realpath "$1")
game=$(realpath "$2")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$program" "$game"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"
export SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1

start() {
  "$program" "$@" >"$work/out.log" 2>"$work/err.log" &
  pid=$!
  window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --onlyvisible --name '^window events$' | head -n 1) || fail "no window for $*"
}
printed() { tail -n 3 "$work/out.log"; grep -qx "$1" "$work/out.log"; }
# Waits for the end and checks exit code 0; $1 names the case.
stopped() {
  poll "$1: the program's end" ended "$pid" "$work/err.log"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" = 0 ] || fail "$1: exit code $status; stderr: $(cat "$work/err.log")"
}

start --resizable
xdotool windowsize "$window" 800 500
poll "Resized 800x500 after the window was made 800x500" printed "Resized 800x500"
xdotool windowclose "$window"
poll "Closed after another client destroyed the window" printed "Closed"
stopped "resizable window destroyed"

# A plain window destroyed by another client while its frames run.
start
xdotool windowclose "$window"
poll "Closed after another client destroyed the plain window" printed "Closed"
stopped "plain window destroyed"

# The game's window destroyed while the title screen runs (no assets here: the screens are black).
(cd "$work" && exec "$game" >"$work/out.log" 2>"$work/err.log") &
pid=$!
window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --onlyvisible --name '^bodo & zamel$' | head -n 1) || fail "no game window"
xdotool windowclose "$window"
stopped "the game's window destroyed"
echo "window_events_test: Resized 800x500 reported; a destroyed window closes with exit code 0, the game's too"
