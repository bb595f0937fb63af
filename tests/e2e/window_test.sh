#!/usr/bin/env bash
# The real program in a real X server: a window titled "bodo & zamel" with a 640x480 client area
# appears, frames are drawn (the frame-rate text changes once a second has passed), and SIGTERM
# ends the program with exit code 0.
# Usage: window_test.sh PATH/TO/bodo-zamel   (runs itself again under xvfb-run when needed)
set -euo pipefail
program=$(realpath "$1")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program"
fi

work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$work"
MEDIA_NO_MESSAGE_BOX=1 "$program" &
pid=$!
window=$(timeout 10 xdotool search --sync --name '^bodo & zamel$' | head -n 1) || fail "no window titled 'bodo & zamel'"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "640x480" ] || fail "client area is $geometry, not 640x480"
echo "window $window: $geometry"

# The frame-rate text sits at (10, 20): it reads "FPS = 0" during the first second, then the rate.
sleep 0.3
import -window "$window" early.png
sleep 1.5
import -window "$window" later.png
size=$(identify -format '%wx%h' later.png)
[ "$size" = "640x480" ] || fail "screenshot is $size"
text_early=$(convert early.png -crop 80x16+10+20 +repage -format '%#' info:)
text_later=$(convert later.png -crop 80x16+10+20 +repage -format '%#' info:)
[ "$text_early" != "$text_later" ] || fail "the frame-rate text did not change: no frames drawn?"
# Yellow-green text on black: the text area has bright pixels, the rest of the frame is black.
text_max=$(convert later.png -crop 80x16+10+20 +repage -format '%[fx:maxima.g]' info:)
rest_max=$(convert later.png -crop 640x400+0+80 +repage -format '%[fx:maxima]' info:)
awk -v t="$text_max" -v r="$rest_max" 'BEGIN { exit !(t > 0.9 && r < 0.01) }' || fail "text max $text_max, rest max $rest_max"
echo "frames drawn: text brightness $text_max, rest $rest_max"

# Moved away from the desktop's origin, the window still shows the whole frame in place.
xdotool windowmove --sync "$window" 200 150 || fail "could not move the window"
sleep 0.5
import -window "$window" moved.png
moved_text=$(convert moved.png -crop 80x16+10+20 +repage -format '%[fx:maxima.g]' info:)
moved_rest=$(convert moved.png -crop 640x400+0+80 +repage -format '%[fx:maxima]' info:)
awk -v t="$moved_text" -v r="$moved_rest" 'BEGIN { exit !(t > 0.9 && r < 0.01) }' ||
  fail "after moving: text max $moved_text, rest max $moved_rest"
echo "moved to (200, 150): text brightness $moved_text, rest $moved_rest"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM"
echo "exit code 0 after SIGTERM"
