#!/usr/bin/env bash
# Start-up time of the real game: launches it N times in a virtual X server and prints each time
# from exec to the first presented frame, then the median (milliseconds). The game reports its
# first presentation on standard error with MEDIA_FRAME_STATS=1; audio goes to SDL's dummy
# driver unless SDL_AUDIODRIVER says otherwise.
# Usage: tools/startup.sh [PATH/TO/bodo-zamel] [N]   (default build/bodo-zamel, 10 launches)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/bodo-zamel}")
count=${2:-10}
if [ -z "${STARTUP_INSIDE_XVFB:-}" ]; then
  STARTUP_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$count"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$root/assets"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} MEDIA_FRAME_STATS=1 MEDIA_NO_MESSAGE_BOX=1

times=()
for run in $(seq "$count"); do
  log="$work/stderr.$run"
  : >"$log"
  launched=$EPOCHREALTIME
  "$program" 2>"$log" &
  pid=$!
  presented=""
  for _ in $(seq 1000); do
    presented=$(awk '/first frame presented at/ { print $NF; exit }' "$log")
    [ -n "$presented" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  if [ -z "$presented" ]; then
    echo "launch $run: no frame presented within 10 s; stderr:" >&2
    cat "$log" >&2
    exit 1
  fi
  ms=$(awk -v a="$launched" -v b="$presented" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
  echo "launch $run: $ms ms"
  times+=("$ms")
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "median exec to first presented frame: %.1f ms (%d launches)\n", m, NR }'
