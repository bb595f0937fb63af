#!/usr/bin/env bash
# Fullscreen and resizable windows on SDL2 in a real X server (1280x720), with moving-sprite and
# its 320x240 drawing area: fullscreen, given the whole display, the picture covers the display's height (960x720)
# between black bars 160 pixels wide; resizable, a window made 800x300 shows it 400x300 between black bars
# 200 pixels wide; the window's icon is the ball's 32x32 frame. Every step waits (up to a
# deadline) for what it checks.
# Usage: window_modes_test.sh PATH/TO/moving-sprite   (runs itself under xvfb-run)
set -euo pipefail
program=$(realpath "$1")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x720x24" bash "$0" "$program"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"
export SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1

# The brightest value (0..1) of a crop of a screenshot, and its mean.
brightest() { convert "$1" -crop "$2" +repage -format '%[fx:maxima]' info:; }
mean() { convert "$1" -crop "$2" +repage -format '%[fx:mean]' info:; }
# A picture between bars: SHOT, the two bar crops, the picture's crop.
letterboxed() {
  local shot=$1 left=$2 right=$3 inside=$4 size=$5
  [ "$(identify -format '%wx%h' "$shot")" = "$size" ] || { echo "screenshot is $(identify -format '%wx%h' "$shot"), not $size"; return 1; }
  echo "bars $(brightest "$shot" "$left") and $(brightest "$shot" "$right"), picture mean $(mean "$shot" "$inside")"
  [ "$(brightest "$shot" "$left")" = 0 ] && [ "$(brightest "$shot" "$right")" = 0 ] &&
    awk -v m="$(mean "$shot" "$inside")" 'BEGIN { exit !(m > 0.2) }'
}
start() {
  "$program" "$@" >"$work/out.log" 2>&1 &
  pid=$!
  window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --name '^moving sprite$' | head -n 1) || fail "no window for $*"
}
stop() {
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" = 0 ] || fail "moving-sprite $1 ended with $status: $(cat "$work/out.log")"
}

fullscreen_shot() {
  import -window root "$work/full.png" || return 1
  letterboxed "$work/full.png" 155x720+0+0 155x720+1125+0 950x710+165+5 1280x720
}
start --fullscreen
# Xvfb has no window manager to act on SDL's request for the whole display: the test gives the
# window the display, as a window manager would.
xdotool windowmove "$window" 0 0 windowsize "$window" 1280 720
poll "the fullscreen picture between bars" fullscreen_shot
stop --fullscreen

resized_shot() {
  import -window "$window" "$work/resized.png" || return 1
  letterboxed "$work/resized.png" 195x300+0+0 195x300+605+0 390x290+205+5 800x300
}
icon_shown() {
  local icon
  icon=$(xprop -id "$window" _NET_WM_ICON | head -n 1)
  echo "icon: $icon"
  [[ $icon == *"Icon (32 x 32)"* ]]
}
start --resizable
poll "the window's icon" icon_shown
xdotool windowsize "$window" 800 300
poll "the resized window's picture between bars" resized_shot
stop --resizable
echo "window_modes_test: fullscreen and resizable windows letterboxed, icon shown"
