#!/usr/bin/env bash
# input-probe end to end. Without a display, --keys prints the key tables. Under Xvfb, each of
# the game's nine keys is held on the real window (keydown, a pause, keyup: a quick tap can fall
# between two keyboard snapshots) and must show up in the probe's output under its code with the
# statuses pressed, held..., released in consecutive frames; SIGTERM then ends it with code 0.
# Usage: input_probe_test.sh PATH/TO/input-probe   (runs itself again under xvfb-run when needed)
set -euo pipefail
program=$(realpath "$1")
fail() { echo "FAIL: $*" >&2; exit 1; }

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
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"
MEDIA_NO_MESSAGE_BOX=1 "$program" >probe.out 2>probe.err &
pid=$!
window=$(timeout 10 xdotool search --sync --name '^input-probe$' | head -n 1) || fail "no window titled 'input-probe'"
xdotool windowfocus --sync "$window"
sleep 0.5
[ ! -s probe.out ] || fail "keys reported before any was pressed: $(head -n 3 probe.out)"

keys=(Escape a e m o p x Left Right)
codes=(27 97 101 109 111 112 120 134 135)
for key in "${keys[@]}"; do
  xdotool keydown "$key"
  sleep 0.25
  xdotool keyup "$key"
  sleep 0.15
done
sleep 0.2
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM; stderr: $(cat probe.err)"

# Frames ascend; one key at a time, so every line holds exactly one code.
awk 'NF != 2 || $1 <= last { exit 1 } { last = $1 }' probe.out || fail "unexpected lines: $(head -n 5 probe.out)"
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
