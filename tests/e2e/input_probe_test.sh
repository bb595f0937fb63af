#!/usr/bin/env bash
# input-probe end to end. Without a display, --keys prints the key tables. Under Xvfb, each of
# the game's nine keys is held on the real window until the probe reports it held, then
# released until the probe reports it released,
# and must show up in the probe's output under its code with the statuses pressed, held...,
# released in consecutive frames; five taps of 12 ms, shorter than a frame, are each reported
# pressed and then released; SIGTERM then ends it with code 0. Every wait has a deadline.
# Usage: input_probe_test.sh PATH/TO/input-probe   (runs itself again under xvfb-run when needed)
set -euo pipefail
program=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"

if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  tables=$(env -u DISPLAY "$program" --keys)
  [ "$(wc -l <<<"$tables")" -eq 526 ] || fail "--keys printed $(wc -l <<<"$tables") lines, not 270 + 256"
  for line in "0 0 0 NULL" "1 0 0 " "27 1 0 ESC" "45 12 95 UNDERSCORE" "95 147 0 UNDERSCORE" "97 30 65 A" \
              "65 30 0 A" "175 0 0 PRINT SCRN" "255 0 0 " "256 -1 0 MOUSE LEFT" "269 -1 0 JOY BUTN 9" \
              "scan 0 0" "scan 183 175" "scan 203 134" "scan 219 0" "scan 255 0"; do
    grep -qxF -- "$line" <<<"$tables" || fail "--keys has no line '$line'"
  done
  awk 'NR <= 270 && $1 != NR - 1 { exit 1 } NR > 270 && ($1 != "scan" || $2 != NR - 271) { exit 1 }' <<<"$tables" \
    || fail "--keys lines are not in code order"
  echo "--keys: 526 lines in order"
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
MEDIA_NO_MESSAGE_BOX=1 "$program" >probe.out 2>probe.err &
pid=$!
window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --name '^input-probe$' | head -n 1) || fail "no window titled 'input-probe'"
xdotool windowfocus --sync "$window"

# The probe printed status S for code C (its last line for the code).
reported() {
  local last
  last=$(awk -F'[ =]' -v c="$1" '$2 == c { line = $0 } END { print line }' probe.out)
  echo "last line for code $1: '${last:-none}'"
  [[ "$last" == *" $1=$2" ]]
}

keys=(Escape a e m o p x Left Right)
codes=(27 97 101 109 111 112 120 134 135)
for i in "${!keys[@]}"; do
  xdotool keydown "${keys[$i]}"
  poll "${keys[$i]} held" reported "${codes[$i]}" 3
  xdotool keyup "${keys[$i]}"
  poll "${keys[$i]} released" reported "${codes[$i]}" 1
done
held=$(wc -l <probe.out)

# Taps shorter than a frame are not lost: each 12 ms tap of X is reported pressed, then released.
released_x() {
  local n
  n=$(tail -n +$((held + 1)) probe.out | awk -F'[ =]' '$2 == 120 && $3 == 1' | wc -l)
  echo "X released $n times after the holds"
  [ "$n" -ge "$1" ]
}
for tap in 1 2 3 4 5; do
  xdotool keydown --delay 0 x sleep 0.012 keyup --delay 0 x  # one process: the key is down for 12 ms
  poll "tap $tap of X" released_x "$tap"
done
kill -TERM "$pid"
poll "the probe's end after SIGTERM" ended "$pid" probe.err
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM; stderr: $(cat probe.err)"

# The taps: five presses, each released in the frame after its last frame down (a tap that
# spans a read is also held for a frame).
taps=$(tail -n +$((held + 1)) probe.out)
[[ "$(awk -F'[ =]' '$2 == 120 { printf "%s", $3 }' <<<"$taps")" =~ ^(23*1){5}$ ]] || fail "taps of X: $(tr '\n' ' ' <<<"$taps")"
awk -F'[ =]' '$3 != 2 && $1 != last + 1 { exit 1 } { last = $1 }' <<<"$taps" || fail "a tap's frames are not consecutive: $(tr '\n' ' ' <<<"$taps")"
echo "5 taps of 12 ms: each pressed, then released in the next frame"
head -n "$held" probe.out >holds.out
mv holds.out probe.out

# Frames ascend; one key at a time, so every line holds exactly one code; nothing was reported
# before the first key went down.
awk 'NF != 2 || $1 <= last { exit 1 } { last = $1 }' probe.out || fail "unexpected lines: $(head -n 5 probe.out)"
[[ "$(head -n 1 probe.out)" == *" 27=2" ]] || fail "the first report is not ESC pressed: $(head -n 3 probe.out)"
for code in "${codes[@]}"; do
  statuses=$(awk -F'[ =]' -v c="$code" '$2 == c { printf "%s", $3 }' probe.out)
  [[ "$statuses" =~ ^23+1$ ]] || fail "code $code: statuses '$statuses', expected 2, 3..., 1"
  awk -F'[ =]' -v c="$code" '$2 == c { if (seen && $1 != last + 1) exit 1; seen = 1; last = $1 }' probe.out \
    || fail "code $code: its statuses are not in consecutive frames"
  echo "code $code: $statuses"
done
seen=$(awk -F'[ =]' '{ print $2 }' probe.out | sort -nu | tr '\n' ' ')
[ "$seen" = "27 97 101 109 111 112 120 134 135 " ] || fail "codes seen: $seen"
echo "exit code 0 after SIGTERM"
