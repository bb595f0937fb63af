#!/usr/bin/env bash
# Frames the real game presents on its title screen in a virtual X server: runs it for S seconds,
# optionally beside B busy loops that load the processors, closes it and prints the backend's
# frame statistics (MEDIA_FRAME_STATS=1): frames, rate, CPU per presented frame.
# Usage: tools/frame_rate.sh [PATH/TO/bodo-zamel] [S] [B]   (default build/bodo-zamel, 20 s, 0 loops)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/bodo-zamel}")
seconds=${2:-20}
loops=${3:-0}
if [ -z "${FRAME_RATE_INSIDE_XVFB:-}" ]; then
  FRAME_RATE_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$seconds" "$loops"
fi

work=$(mktemp -d)
pid=""
busy=()
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  for b in "${busy[@]}"; do kill "$b" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$root/assets"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} MEDIA_FRAME_STATS=1 MEDIA_NO_MESSAGE_BOX=1

for _ in $(seq "$loops"); do
  timeout $((seconds + 30)) sh -c 'while :; do :; done' &
  busy+=($!)
done
"$program" 2>"$work/stderr" &
pid=$!
sleep "$seconds"
kill "$pid"
status=0
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || status=$?
pid=""
grep "frame stats:" "$work/stderr" || { echo "no frame statistics; exit $status; stderr:" >&2; cat "$work/stderr" >&2; exit 1; }
