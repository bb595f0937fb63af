#!/usr/bin/env bash
# The real game in a real X server, played with keys as a person would, from its real assets:
# a window titled "bodo & zamel" with a 640x480 client area shows the title picture (also after
# the window is moved), the menu tune sounds (SDL's disk audio driver writes it to a file), P
# starts a game on the play field, the held left arrow walks the hero to the left edge, ESC shows
# the lose screen over black, M returns to the title and E ends the program with exit code 0.
# A screenshot is checked at each screen against the picture the game draws there. Every step
# waits (up to a deadline) for what it checks, and keys are held until their effect shows, so a
# slow machine only makes the test slower.
# Usage: window_test.sh PATH/TO/bodo-zamel PATH/TO/assets   (runs itself under xvfb-run)
set -euo pipefail
program=$(realpath "$1")
assets=$(realpath "$2")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$assets"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"

# Pixels of a crop (WxH+X+Y) of the screenshot that differ from the same crop of a picture by
# more than the fuzz (16-bit desktops round every channel).
differing() {
  local shot=$1 picture=$2 crop=$3
  convert "$shot" -crop "$crop" +repage "$work/a.png"
  convert "$picture" -crop "$crop" +repage "$work/b.png"
  { compare -metric AE -fuzz 7% "$work/a.png" "$work/b.png" null: 2>&1 || true; } | awk '{ print int($1) }'
}
brightest() { convert "$1" -crop "$2" +repage -format '%[fx:maxima]' info:; }
shot() { import -window "$window" "$work/$1.png" && echo "$work/$1.png"; }
loud_frames() { od -An -v -t d2 -w4 "$1" | awk '{ if ($1 > 1000 || $1 < -1000 || $2 > 1000 || $2 < -1000) n++ } END { print n + 0 }'; }

# The checks the steps wait for: each takes a screenshot, prints what it found and succeeds when
# the screen shows what it should.
whole_title() {  # NAME
  local s d
  s=$(shot "$1") || return 1
  [ "$(identify -format '%wx%h' "$s")" = "640x480" ] || { echo "screenshot $(identify -format '%wx%h' "$s")"; return 1; }
  d=$(differing "$s" title.bmp 640x480+0+0)
  echo "$d pixels differ from title.bmp"
  [ "$d" -lt 3000 ]
}
play_field() {
  local s d hero
  s=$(shot play) || return 1
  d=$(differing "$s" bg1.bmp 250x90+0+385)
  hero=$(differing "$s" bg1.bmp 90x90+390+270)
  echo "status panel: $d pixels differ from bg1.bmp; at x 390: $hero pixels differ (the hero)"
  [ "$d" -lt 500 ] && [ "$hero" -gt 2000 ]
}
hero_at_left_edge() {
  local s left
  s=$(shot walked) || return 1
  left=$(differing "$s" bg1.bmp 88x90+0+270)
  echo "at the left edge: $left pixels differ from bg1.bmp"
  [ "$left" -gt 2000 ]
}
lose_screen() {
  local s d below
  s=$(shot lose) || return 1
  d=$(differing "$s" main_lose.bmp 380x120+130+60)
  below=$(brightest "$s" 640x150+0+330)
  echo "banner: $d pixels differ from main_lose.bmp; brightness below it $below"
  [ "$d" -lt 200 ] && awk -v b="$below" 'BEGIN { exit !(b < 0.01) }'
}
menu_tune() {
  local loud
  loud=$(loud_frames "$work/audio.raw")
  echo "$loud loud frames in $(stat -c %s "$work/audio.raw") bytes of audio"
  [ "$loud" -gt 4410 ]
}

# KEY held down until CHECK holds (a key tapped for a fixed time can fall between two keyboard
# snapshots of a slow program), then released.
hold_until() {
  local key=$1 what=$2
  shift 2
  xdotool keydown "$key"
  poll "$what" "$@"
  xdotool keyup "$key" 2>/dev/null || true
}

cd "$assets"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" MEDIA_NO_MESSAGE_BOX=1 "$program" 2>"$work/stderr" &
pid=$!
window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --name '^bodo & zamel$' | head -n 1) || fail "no window titled 'bodo & zamel'"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "640x480" ] || fail "client area is $geometry, not 640x480"
xdotool windowfocus --sync "$window"
echo "window $window: $geometry"

poll "title screen" whole_title title
echo "title screen: $seen"

# The menu tune started with the game: the disk driver's file (signed 16-bit stereo) has sound.
poll "menu tune" menu_tune
echo "menu tune: $seen"

# Moved away from the desktop's origin, the window still shows the whole title in place.
xdotool windowmove --sync "$window" 200 150 || fail "could not move the window"
poll "after moving" whole_title moved
echo "moved to (200, 150): $seen"
xdotool windowfocus --sync "$window"

# P: the play field. The status panel's left part holds no sprite; the hero stands at x 390.
hold_until p "play screen" play_field
echo "play screen: $seen"

# The left arrow held walks the hero to the left edge (7 pixels a frame).
hold_until Left "after the left arrow: no hero at the left edge" hero_at_left_edge
echo "left arrow held: $seen"

# ESC: the lose picture over black (the play field shows only in a frame that ended play).
hold_until Escape "lose screen" lose_screen
echo "lose screen: $seen"

# M: back to the title.
hold_until m "back on the title" whole_title title-again
echo "M: title again: $seen"

# E: the game closes itself.
start=$(date +%s%N)
hold_until e "the program's end after E" ended "$pid" "$work/stderr"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit code $status after E; stderr: $(cat "$work/stderr")"
echo "E: exit code 0 after $(elapsed_ms "$start") ms"
