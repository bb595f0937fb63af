#!/usr/bin/env bash
# The getting-started program (docs/getting_started.md), built against the installed package, run
# as its reader runs it: in a directory holding its frame sheet, sound and tune, in a real X server
# with SDL's disk audio driver writing what it plays to a file. Screenshots of its window show the
# ball over dark blue with its key colour left out, rolling right and turning through its frames;
# the tune is heard; the space bar is taken; SIGTERM (a close request) ends it with 0. Without a
# SoundFont or an audio output it says why once and runs silent. Started in a directory without
# its files it says why, naming the file, and ends with 1.
# Usage: getting_started_test.sh PATH/TO/hello RUN_DIR   (runs itself under xvfb-run)
set -euo pipefail
program=$(realpath "$1")
run=$(realpath "$2")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program" "$run"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"

# The share of the screenshot's pixels of exactly one colour, and the bounding box (WxH+X+Y) of
# that colour's pixels.
share_of() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean]' info:; }
box_of() { convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%@' info:; }
shot() { import -window "$window" "$work/$1.png" && echo "$work/$1.png"; }
loud_frames() { od -An -v -t d2 -w4 "$1" | awk '{ if ($1 > 1000 || $1 < -1000 || $2 > 1000 || $2 < -1000) n++ } END { print n + 0 }'; }

# One frame on screen as it should be; the ball's left edge and where its red spot lies inside it
# (the frame of the sheet) are added to the files of positions and frames seen (poll runs its
# check in a subshell).
ball_frame() {
  local s ball spot bx by sx sy
  s=$(shot "frame$1") || return 1
  [ "$(identify -format '%wx%h' "$s")" = "640x480" ] || { echo "window is $(identify -format '%wx%h' "$s")"; return 1; }
  awk -v b="$(share_of "$s" '#204080')" 'BEGIN { exit !(b > 0.98) }' || { echo "dark blue covers $(share_of "$s" '#204080')"; return 1; }
  [ "$(share_of "$s" '#FF00FF')" = "0" ] || { echo "the sheet's key colour shows"; return 1; }
  ball=$(box_of "$s" '#FAC828')
  spot=$(box_of "$s" '#C8281E')
  [[ $ball =~ ^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] || { echo "no ball ($ball)"; return 1; }
  bx=${BASH_REMATCH[1]} by=${BASH_REMATCH[2]}
  [[ $spot =~ ^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] || { echo "no spot on the ball ($spot)"; return 1; }
  sx=${BASH_REMATCH[1]} sy=${BASH_REMATCH[2]}
  [ "$by" -ge 224 ] && [ "$by" -le 228 ] || { echo "ball at y $by, not on its line 224"; return 1; }
  echo "$bx" >>"$work/positions"
  echo "$((sx - bx)),$((sy - by))" >>"$work/frames"
  echo "ball at x $bx, spot at $((sx - bx)),$((sy - by)) of it"
}
distinct() { sort -u "$1" 2>/dev/null | wc -l; }
moving_and_turning() {
  ball_frame "$(date +%s%N)" || return 1
  echo "$(distinct "$work/positions") positions, $(distinct "$work/frames") frames of the sheet seen"
  [ "$(distinct "$work/positions")" -ge 3 ] && [ "$(distinct "$work/frames")" -ge 3 ]
}
music_heard() {
  local loud
  loud=$(loud_frames "$work/audio.raw")
  echo "$loud loud frames in $(stat -c %s "$work/audio.raw" 2>/dev/null || echo 0) bytes of audio"
  [ "$loud" -gt 4410 ]
}

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/audio.raw MEDIA_NO_MESSAGE_BOX=1
cd "$run"
"$program" >"$work/out.log" 2>&1 &
pid=$!
window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --name '^hello$' | head -n 1) || fail "no window titled hello"
poll "the ball rolling and turning over dark blue" moving_and_turning
echo "seen: $seen"
poll "the tune in the audio output" music_heard
xdotool key --window "$window" space
kill -0 "$pid" 2>/dev/null || fail "the program ended after the space bar: $(cat "$work/out.log")"
kill -TERM "$pid"
poll "the program ending on SIGTERM" ended "$pid" "$work/out.log"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" = 0 ] || fail "SIGTERM ended the program with $status, not 0: $(cat "$work/out.log")"

# Sound is not needed to run: without a SoundFont, or without any audio output SDL can open, the
# program says why in one line of its own and goes on drawing, silent, until SIGTERM ends it with 0.
for setting in MEDIA_SOUNDFONT=/nonexistent/none.sf2 SDL_AUDIODRIVER=no-such-driver; do
  : >"$work/positions"
  : >"$work/frames"
  env "$setting" "$program" >"$work/silent.log" 2>&1 &
  pid=$!
  window=$(timeout "$E2E_DEADLINE_S" xdotool search --sync --name '^hello$' | head -n 1) \
    || fail "with $setting: no window ($(cat "$work/silent.log"))"
  poll "with $setting: the ball rolling and turning" moving_and_turning
  kill -TERM "$pid"
  poll "with $setting: the program ending on SIGTERM" ended "$pid" "$work/silent.log"
  status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" = 0 ] || fail "with $setting: ended with $status, not 0: $(cat "$work/silent.log")"
  [ "$(grep -c '^hello: ' "$work/silent.log")" = 1 ] || fail "with $setting, the program said: $(cat "$work/silent.log")"
  echo "with $setting: ran silent after saying $(grep '^hello: ' "$work/silent.log")"
done

# Without its files: the reason in words, and 1.
mkdir "$work/empty"
cd "$work/empty"
status=0
timeout "$E2E_DEADLINE_S" "$program" >"$work/refused.log" 2>&1 || status=$?
[ "$status" = 1 ] || fail "without its files the program gave $status, not 1"
grep -qx "hello: cannot load picture 'ball.png': no such file" "$work/refused.log" \
  || fail "without its files the program said: $(cat "$work/refused.log")"
echo "getting_started_test: the program drew, moved, animated, played and ended as its page says"
