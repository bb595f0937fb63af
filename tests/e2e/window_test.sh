#!/usr/bin/env bash
# The real game in a real X server, played with keys as a person would, from its real assets:
# a window titled "bodo & zamel" with a 640x480 client area shows the title picture (also after
# the window is moved), the menu tune sounds (SDL's disk audio driver writes it to a file), P
# starts a game on the play field, the held left arrow walks the hero to the left edge, ESC shows
# the lose screen over black, M returns to the title and E ends the program with exit code 0.
# A screenshot is checked at each screen against the picture the game draws there.
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

# Pixels of a crop (WxH+X+Y) of the screenshot that differ from the same crop of a picture by
# more than the fuzz (16-bit desktops round every channel).
differing() {
  local shot=$1 picture=$2 crop=$3
  convert "$shot" -crop "$crop" +repage "$work/a.png"
  convert "$picture" -crop "$crop" +repage "$work/b.png"
  { compare -metric AE -fuzz 7% "$work/a.png" "$work/b.png" null: 2>&1 || true; } | awk '{ print int($1) }'
}
brightest() { convert "$1" -crop "$2" +repage -format '%[fx:maxima]' info:; }
shot() { sleep "${2:-0.6}"; import -window "$window" "$work/$1.png"; echo "$work/$1.png"; }
# Held long enough to be seen by at least one keyboard snapshot.
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; }
loud_frames() { od -An -v -t d2 -w4 "$1" | awk '{ if ($1 > 1000 || $1 < -1000 || $2 > 1000 || $2 < -1000) n++ } END { print n + 0 }'; }

cd "$assets"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" MEDIA_NO_MESSAGE_BOX=1 "$program" 2>"$work/stderr" &
pid=$!
window=$(timeout 10 xdotool search --sync --name '^bodo & zamel$' | head -n 1) || fail "no window titled 'bodo & zamel'"
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
[ "$geometry" = "640x480" ] || fail "client area is $geometry, not 640x480"
xdotool windowfocus --sync "$window"
echo "window $window: $geometry"

title=$(shot title 1.0)
[ "$(identify -format '%wx%h' "$title")" = "640x480" ] || fail "screenshot is not 640x480"
d=$(differing "$title" title.bmp 640x480+0+0)
[ "$d" -lt 3000 ] || fail "title screen: $d pixels differ from title.bmp"
echo "title screen: $d pixels differ from title.bmp"

# The menu tune started with the game, once the synth had loaded its SoundFont in the
# background: the disk driver's file (signed 16-bit stereo) has sound within a few seconds.
loud=0
for _ in $(seq 100); do
  loud=$(loud_frames "$work/audio.raw")
  [ "$loud" -gt 4410 ] && break
  sleep 0.1
done
[ "$loud" -gt 4410 ] || fail "menu tune: only $loud loud frames in $(stat -c %s "$work/audio.raw") bytes of audio"
echo "menu tune: $loud loud frames"

# Moved away from the desktop's origin, the window still shows the whole title in place.
xdotool windowmove --sync "$window" 200 150 || fail "could not move the window"
moved=$(shot moved)
d=$(differing "$moved" title.bmp 640x480+0+0)
[ "$d" -lt 3000 ] || fail "after moving: $d pixels differ from title.bmp"
echo "moved to (200, 150): $d pixels differ from title.bmp"
xdotool windowfocus --sync "$window"

# P: the play field. The status panel's left part holds no sprite; the hero stands at x 390.
press p
play=$(shot play)
d=$(differing "$play" bg1.bmp 250x90+0+385)
[ "$d" -lt 500 ] || fail "play screen: $d pixels of the status panel differ from bg1.bmp"
hero=$(differing "$play" bg1.bmp 90x90+390+270)
[ "$hero" -gt 2000 ] || fail "play screen: no hero at x 390 ($hero pixels differ from the background)"
echo "play screen: panel matches bg1.bmp ($d), hero at 390 ($hero)"

# The left arrow held for a second walks the hero to the left edge (7 pixels a frame).
xdotool keydown Left
sleep 1.2
xdotool keyup Left
walked=$(shot walked 0.3)
left=$(differing "$walked" bg1.bmp 88x90+0+270)
[ "$left" -gt 2000 ] || fail "after the left arrow: no hero at the left edge ($left pixels differ)"
echo "left arrow held: hero at the left edge ($left)"

# ESC: the lose picture over black (the play field shows only in a frame that ended play).
press Escape
lose=$(shot lose)
d=$(differing "$lose" main_lose.bmp 380x120+130+60)
[ "$d" -lt 200 ] || fail "lose screen: $d pixels of the banner differ from main_lose.bmp"
below=$(brightest "$lose" 640x150+0+330)
awk -v b="$below" 'BEGIN { exit !(b < 0.01) }' || fail "lose screen: brightness $below below the banner, not black"
echo "lose screen: banner matches ($d), black below ($below)"

# M: back to the title.
press m
again=$(shot title-again)
d=$(differing "$again" title.bmp 640x480+0+0)
[ "$d" -lt 3000 ] || fail "back on the title: $d pixels differ from title.bmp"
echo "M: title again ($d)"

# E: the game closes itself.
xdotool keydown e
status=0
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
xdotool keyup e 2>/dev/null || true
kill -0 "$pid" 2>/dev/null && fail "still running 5 s after E"
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit code $status after E; stderr: $(cat "$work/stderr")"
echo "E: exit code 0"
