#!/usr/bin/env bash
# The examples: each, on the headless backend (MEDIA_BACKEND=headless), renders frames and saves its last one, which is checked (size,
# a pixel of each blit family, the sprite moving and its key colour transparent, the picture scaled into the window between
# grey borders); the picture viewer's failures give their exit codes; the real builds run for a
# few frames in an X server under xvfb-run when it is there, on the backend they choose themselves.
# Usage: examples_test.sh EXAMPLES_BUILD_DIR SOURCE_DIR [PNG_DIR]
#   PNG_DIR: also write the screenshots there as PNG (the README's pictures: docs/images/).
set -euo pipefail
bin=$(realpath "$1")
source=$(realpath "$2")
pngs=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "examples_test: $*" >&2; exit 1; }

size_of() { identify -format '%wx%h' "$1"; }
pixel_of() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
# The fraction of pixels of exactly colour $2.
share_of() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean]' info:; }

# A moving, animated sprite over a background.
MEDIA_BACKEND=headless "$bin/moving-sprite" --frames 10 --screenshot "$work/sprite10.ppm" || fail "moving-sprite failed"
MEDIA_BACKEND=headless "$bin/moving-sprite" --frames 60 --screenshot "$work/sprite.ppm" || fail "moving-sprite failed"
[ "$(size_of "$work/sprite.ppm")" = "320x240" ] || fail "moving-sprite frame is $(size_of "$work/sprite.ppm")"
[ "$(share_of "$work/sprite.ppm" '#FF00FF')" = "0" ] || fail "the sprite's key colour shows"
ball=$(share_of "$work/sprite.ppm" '#FAC828')
awk -v b="$ball" 'BEGIN { exit !(b > 0.005) }' || fail "no sprite in the frame (ball share $ball)"
cmp -s "$work/sprite10.ppm" "$work/sprite.ppm" && fail "the sprite did not move between frame 10 and 60"

# The pad-and-pointer example without a pad: the ship waits in the middle for the arrow keys.
MEDIA_BACKEND=headless "$bin/pad-and-pointer" --frames 5 --screenshot "$work/pad.ppm" || fail "pad-and-pointer failed"
[ "$(size_of "$work/pad.ppm")" = "320x240" ] || fail "pad-and-pointer frame is $(size_of "$work/pad.ppm")"
[ "$(pixel_of "$work/pad.ppm" 160 120)" = "srgb(255,0,0)" ] || fail "no ship in the middle: $(pixel_of "$work/pad.ppm" 160 120)"

# The blit gallery: one cell per blit family; a pixel of each proves its family drew (values of
# the sprite's orange disc (250,200,40) with a blue bar on its left, on a (30,90,110) background).
MEDIA_BACKEND=headless "$bin/blit-gallery" --frames 3 --screenshot "$work/gallery.ppm" || fail "blit-gallery failed"
[ "$(size_of "$work/gallery.ppm")" = "480x280" ] || fail "blit-gallery frame is $(size_of "$work/gallery.ppm")"
while read -r family x y expected; do
  [ "$(pixel_of "$work/gallery.ppm" "$x" "$y")" = "$expected" ] || fail "$family: $(pixel_of "$work/gallery.ppm" "$x" "$y") at $x,$y, not $expected"
done <<'PIXELS'
opaque-key-shows 37 57 srgb(255,0,255)
keyed-key-hidden 157 57 srgb(30,90,110)
keyed-disc 184 80 srgb(250,200,40)
half-blend 304 80 srgb(140,145,75)
blend-192 424 80 srgb(85,117,92)
shade-96 60 220 srgb(11,33,41)
mirror-bar-right 192 220 srgb(40,60,220)
mirror-disc-left 168 220 srgb(250,200,40)
stretch-bar-widened 276 220 srgb(40,60,220)
rotation-bar-below 420 238 srgb(40,60,220)
rotation-disc-above 420 202 srgb(250,200,40)
rotation-scaled 450 220 srgb(250,200,40)
PIXELS
# Only the opaque cell shows the key colour.
[ "$(convert "$work/gallery.ppm" -crop 360x280+120+0 +repage -fill black +opaque '#FF00FF' -fill white -opaque '#FF00FF' -format '%[fx:mean]' info:)" = "0" ] \
  || fail "the key colour shows outside the opaque cell"

# The picture viewer scales a 90x90 sprite of the game to 480x480, centred between grey borders.
MEDIA_BACKEND=headless "$bin/picture-viewer" "$source/assets/bodo.bmp" --frames 2 --screenshot "$work/viewer.ppm" >/dev/null \
  || fail "picture-viewer failed on bodo.bmp"
[ "$(size_of "$work/viewer.ppm")" = "640x480" ] || fail "picture-viewer frame is $(size_of "$work/viewer.ppm")"
for at in "0 0" "79 240" "560 240" "639 479"; do
  # shellcheck disable=SC2086
  [ "$(pixel_of "$work/viewer.ppm" $at)" = "srgb(48,48,48)" ] || fail "no grey border at $at"
done
for at in "80 240" "559 240" "320 0" "320 479"; do
  # shellcheck disable=SC2086
  [ "$(pixel_of "$work/viewer.ppm" $at)" != "srgb(48,48,48)" ] || fail "the picture does not reach $at"
done
set +e
MEDIA_BACKEND=headless "$bin/picture-viewer" >/dev/null 2>&1; usage=$?
MEDIA_BACKEND=headless "$bin/picture-viewer" "$source/README.md" --frames 1 >/dev/null 2>&1; notpicture=$?
set -e
[ "$usage" = 2 ] || fail "picture-viewer without a file gave $usage, not 2"
[ "$notpicture" = 1 ] || fail "picture-viewer on a text file gave $notpicture, not 1"

# The sound player shows what it plays.
MEDIA_BACKEND=headless "$bin/sound-player" --frames 70 --screenshot "$work/sound.ppm" || fail "sound-player failed"
[ "$(size_of "$work/sound.ppm")" = "320x80" ] || fail "sound-player frame is $(size_of "$work/sound.ppm")"
white=$(share_of "$work/sound.ppm" '#FFFFFF')
awk -v w="$white" 'BEGIN { exit !(w > 0.005) }' || fail "no text in the sound player's window"

# The drawing tour: the propeller's orange turned over the sky, the font's white text in its box.
MEDIA_BACKEND=headless "$bin/drawing-tour" --frames 8 --screenshot "$work/tour.ppm" || fail "drawing-tour failed"
[ "$(size_of "$work/tour.ppm")" = "320x240" ] || fail "drawing-tour frame is $(size_of "$work/tour.ppm")"
orange=$(share_of "$work/tour.ppm" '#E6781E')
awk -v o="$orange" 'BEGIN { exit !(o > 0.002) }' || fail "no propeller in the drawing tour (share $orange)"
white=$(share_of "$work/tour.ppm" '#FFFFFF')
awk -v w="$white" 'BEGIN { exit !(w > 0.002) }' || fail "no text in the drawing tour (share $white)"
# The tune player: the menu tune with its time, and the sweeping sound; the bar has moved on.
MEDIA_BACKEND=headless "$bin/tune-player" --frames 120 --screenshot "$work/tune.ppm" || fail "tune-player failed"
[ "$(size_of "$work/tune.ppm")" = "320x100" ] || fail "tune-player frame is $(size_of "$work/tune.ppm")"
bar=$(share_of "$work/tune.ppm" '#78C8FF')
awk -v b="$bar" 'BEGIN { exit !(b > 0.001) }' || fail "no position bar in the tune player's window (share $bar)"

if [ -n "$pngs" ]; then
  mkdir -p "$pngs"
  for shot in gallery sprite viewer sound tour; do convert "$work/$shot.ppm" "$pngs/example_$shot.png"; done
fi

# The real builds in a real window, a few frames each.
if command -v xvfb-run >/dev/null; then
  export SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    timeout 30 '$bin/moving-sprite' --frames 30 &&
    timeout 30 '$bin/pad-and-pointer' --frames 30 &&
    timeout 30 '$bin/blit-gallery' --frames 5 &&
    timeout 30 '$bin/drawing-tour' --frames 5 &&
    timeout 30 '$bin/picture-viewer' '$source/assets/title.bmp' --frames 5 >/dev/null &&
    timeout 30 '$bin/sound-player' --frames 30 &&
    timeout 30 '$bin/tune-player' --frames 30" || fail "an example failed in the real window"
fi
echo "examples_test: examples drawn and checked"
