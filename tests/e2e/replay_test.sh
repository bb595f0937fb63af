#!/usr/bin/env bash
# bodo-zamel-replay end to end: a game started, walked and given up, traced frame by frame (after
# a '#' header naming the columns) and
# photographed as PNG and BMP; E closing the game ends the replay early; its exit codes, also for
# a directory, an endless line and an overlong line as the key script.
# Usage: replay_test.sh PATH/TO/bodo-zamel-replay PATH/TO/assets
set -euo pipefail
program=$(realpath "$1")
assets=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"

cat >game.keys <<'KEYS'
# start, walk left for ten frames, give up, back to the title, quit
5 P down
6 p UP
10 LEFT ARROW down
20 left arrow up
40 ESC down
41 ESC up
50 M down
51 M up
60 E down
KEYS
"$program" game.keys --assets "$assets" --trace --shot 2:"$work/title.png" --shot 30:"$work/play.bmp" \
  --shot 45:"$work/lose.png" >traced.txt || fail "exit code $? for a good script"
# The first line names the columns as a comment; readers that skip '#' lines see only frames.
header="# frame gameState score level lives beeSpeed levelTarget heroX redPotX redPotY bluePotX bluePotY beeX beeY"
[ "$(head -n 1 traced.txt)" = "$header" ] || fail "the trace's first line is '$(head -n 1 traced.txt)', not the column header"
[ "$(grep -c '^#' traced.txt)" -eq 1 ] || fail "$(grep -c '^#' traced.txt) comment lines in the trace, not 1"
grep -v '^#' traced.txt >trace.txt
[ "$(wc -l <trace.txt)" -eq 60 ] || fail "$(wc -l <trace.txt) trace lines, not 60 (frame 60 closes the game)"
awk 'NF != 14 || $1 != NR - 1 { exit 1 } { for (i = 1; i <= NF; i++) if ($i !~ /^-?[0-9]+$/) exit 1 }' trace.txt \
  || fail "trace lines are not 14 integers numbered from 0"
# frame gameState score level lives beeSpeed levelTarget heroX ...
read -r -a f4 <<<"$(sed -n 5p trace.txt)"
read -r -a f5 <<<"$(sed -n 6p trace.txt)"
read -r -a f20 <<<"$(sed -n 21p trace.txt)"
read -r -a f40 <<<"$(sed -n 41p trace.txt)"
read -r -a f50 <<<"$(sed -n 51p trace.txt)"
[ "${f4[1]} ${f4[4]}" = "1 0" ] || fail "frame 4: ${f4[*]}"
[ "${f5[1]} ${f5[2]} ${f5[3]} ${f5[4]} ${f5[5]} ${f5[6]} ${f5[7]}" = "2 0 0 6 2 10 390" ] || fail "frame 5: ${f5[*]}"
[ "${f20[7]}" -eq $((390 - 7 * 11)) ] || fail "frame 20: hero at ${f20[7]}, not 313 (ten frames down, one released)"
[ "${f40[1]}" -eq 4 ] || fail "frame 40: state ${f40[1]}, not the lose screen"
[ "${f50[1]}" -eq 1 ] || fail "frame 50: state ${f50[1]}, not the title"
echo "trace: 60 frames, game at 5, hero walked to ${f20[7]}, lose at 40, title at 50"

[ "$(identify -format '%m %wx%h' title.png)" = "PNG 640x480" ] || fail "title.png: $(identify title.png)"
[ "$(identify -format '%m %wx%h' play.bmp)" = "BMP3 640x480" ] || fail "play.bmp: $(identify play.bmp)"
differ=$({ compare -metric AE title.png "$assets/title.bmp" null: 2>&1 || true; } | awk '{ print int($1) }')
[ "$differ" -eq 0 ] || fail "the title shot differs from title.bmp in $differ pixels"
convert play.bmp -crop 250x90+0+385 +repage panel.png
convert "$assets/bg1.bmp" -crop 250x90+0+385 +repage panel-expected.png
differ=$({ compare -metric AE panel.png panel-expected.png null: 2>&1 || true; } | awk '{ print int($1) }')
[ "$differ" -eq 0 ] || fail "the play shot's status panel differs from bg1.bmp in $differ pixels"
[ "$(identify -format '%m %wx%h' lose.png)" = "PNG 640x480" ] || fail "lose.png: $(identify lose.png)"
echo "shots: title.png equals title.bmp, play.bmp shows the play field's panel, lose.png written"

expect() {
  local code=$1 pattern=$2 status=0
  shift 2
  "$@" >out.txt 2>err.txt || status=$?
  [ "$status" -eq "$code" ] || fail "'$*': exit code $status, not $code ($(cat err.txt))"
  grep -q -- "$pattern" err.txt || fail "'$*': message '$(cat err.txt)' has no '$pattern'"
  echo "exit $code: $(head -n 1 err.txt)"
}
printf '1 P down\n2 SPACE down\n' >unknown.keys
printf '# fine\n1 P down\n\n4 P sideways\n' >bad.keys
expect 2 "line 2" "$program" unknown.keys --assets "$assets"
expect 2 "line 4" "$program" bad.keys --assets "$assets"
expect 2 "usage" "$program"
expect 2 "usage" "$program" game.keys --frames many
expect 2 "usage" "$program" game.keys --shot nocolon.png
expect 2 "cannot read" "$program" missing.keys
expect 2 "is a directory" "$program" "$work" --frames 20
# An endless line is malformed at the cap, without reading on (timeout: a reader without a cap
# never ends here).
expect 2 "line 1: longer than" timeout 30 "$program" /dev/zero --frames 20
{ printf '1 P down\n#'; head -c 1100 /dev/zero | tr '\0' x; printf '\n'; } >long.keys
expect 2 "line 2: longer than" "$program" long.keys --frames 20
if [ "$(id -u)" -ne 0 ]; then
  cp game.keys locked.keys && chmod 000 locked.keys
  expect 2 "cannot read" "$program" locked.keys --frames 20
fi
expect 1 "cannot enter" "$program" game.keys --assets "$work/nowhere"
expect 1 "cannot write" "$program" game.keys --assets "$assets" --frames 5 --shot 3:"$work/no/such/dir.png"
# A shot of a frame after the game closed is not taken, and the user is told.
"$program" game.keys --assets "$assets" --shot 70:"$work/late.png" >/dev/null 2>late.err || fail "exit code $? with a late shot"
[ ! -e late.png ] && grep -q "frame 70 did not run" late.err || fail "late shot: $(cat late.err)"
echo "late shot: $(cat late.err)"
# Frames 0 to 2 only: no trace line after the last one asked for.
"$program" game.keys --assets "$assets" --frames 3 --trace >short.txt
[ "$(grep -vc '^#' short.txt)" -eq 3 ] || fail "--frames 3 printed $(grep -vc '^#' short.txt) frame lines"
echo "--frames 3: 3 lines"
# No header without --trace, and none for a replay that does not run.
"$program" game.keys --assets "$assets" --frames 3 >quiet.txt
[ ! -s quiet.txt ] || fail "without --trace: '$(head -n 1 quiet.txt)' on standard output"
"$program" bad.keys --assets "$assets" --trace >refused.txt 2>/dev/null && fail "a bad script ran"
[ ! -s refused.txt ] || fail "a refused script printed '$(head -n 1 refused.txt)'"
echo "header only with --trace on a replay that runs"
