#!/usr/bin/env bash
# play-sound on SDL's disk audio driver: a WAV file (with a LIST chunk before its samples) and a
# MIDI file, both made here, must each leave sound in the driver's output file (signed 16-bit
# stereo at 44,100 Hz); bad arguments, unreadable files, anything but a regular file (a FIFO, a
# directory, a device) and a missing audio output give their exit codes. The seconds played show
# on a terminal (script(1) gives one) and nowhere else.
# Usage: play_sound_test.sh PATH/TO/play-sound
set -uo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cd "$work"

le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
be32() { printf "\\x$(printf %02x $((($1 >> 24) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $(($1 & 255)))"; }

# Half a second of an 8-bit mono square wave at 8 kHz (200 Hz: 20 samples high, 20 low), with a
# LIST chunk of text between the format and the samples, as common encoders write it.
{
  for _ in $(seq 100); do printf '\xe0%.0s' $(seq 20); printf '\x20%.0s' $(seq 20); done
} > samples.raw
samples=$(stat -c %s samples.raw)
{
  printf 'RIFF'; le32 $((4 + 24 + 20 + 8 + samples)); printf 'WAVE'
  printf 'fmt '; le32 16; le16 1; le16 1; le32 8000; le32 8000; le16 1; le16 8
  printf 'LIST'; le32 12; printf 'INFOISFT'; le32 0
  printf 'data'; le32 "$samples"; cat samples.raw
} > effect.wav

# Two seconds of music: an organ chord held for one second and a snare hit on the drum channel,
# 480 ticks per beat at 120 beats per minute.
{
  printf '\x00\xc0\x13'
  printf '\x00\x90\x3c\x64\x00\x90\x40\x64\x00\x90\x43\x64\x00\x99\x26\x6e'
  printf '\x87\x40\x80\x3c\x00\x00\x80\x40\x00\x00\x80\x43\x00\x00\x89\x26\x00'
  printf '\x00\xff\x2f\x00'
} > track.raw
{
  printf 'MThd'; be32 6; printf '\x00\x00\x00\x01\x01\xe0'
  printf 'MTrk'; be32 "$(stat -c %s track.raw)"; cat track.raw
} > tune.mid

# Frames of the driver's output louder than 1000 on either side.
loud_frames() { od -An -v -t d2 -w4 "$1" | awk '{ if ($1 > 1000 || $1 < -1000 || $2 > 1000 || $2 < -1000) n++ } END { print n + 0 }'; }

play() { SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/$1" timeout 30 "$program" "${@:2}"; }

start=$(date +%s%N)
play wave.raw effect.wav 2> wave.err || fail "WAV: exit code $? ($(cat wave.err))"
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
loud=$(loud_frames wave.raw)
echo "WAV: $loud loud frames in $(stat -c %s wave.raw) bytes, ${elapsed_ms} ms"
# 0.5 s is 22,050 frames: the square wave is loud for nearly all of them.
[ "$loud" -gt 18000 ] || fail "WAV: only $loud loud frames"
[ "$loud" -lt 26000 ] || fail "WAV: $loud loud frames, more than the sound holds"
# Playing ends by itself (the timeout of 30 s is the deadline); the time is printed above.

play tune.raw "$work/tune.mid" --seconds 2 2> tune.err || fail "MIDI: exit code $? ($(cat tune.err))"
loud=$(loud_frames tune.raw)
echo "MIDI: $loud loud frames in $(stat -c %s tune.raw) bytes"
[ "$loud" -gt 15000 ] || fail "MIDI: only $loud loud frames"

# Progress: never into a file or a pipe, on a terminal rewritten in place up to the total.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$program" effect.wav --seconds 0.3 2>&1 >/dev/null | cat >piped.err
for err in wave.err tune.err piped.err; do
  if grep -q $'\r' "$err" || grep -q ' s *$' "$err"; then fail "progress in $err, which is no terminal: '$(cat -v "$err")'"; fi
done
if command -v script >/dev/null; then
  # arguments | the last progress shown
  while IFS='|' read -r args last; do
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null timeout 30 script -qec "'$program' $args" /dev/null </dev/null >tty.out \
      || fail "$args on a terminal: exit code $?"
    shown=$(grep -o $'\rplay-sound: [0-9.]* / [0-9.]* s' tty.out | tr -d '\r')
    [ "$(wc -l <<<"$shown")" -ge 2 ] || fail "$args: progress shown $(wc -l <<<"$shown") times: '$(cat -v tty.out)'"
    [ "$(tail -n 1 <<<"$shown")" = "play-sound: $last" ] || fail "$args: last progress '$(tail -n 1 <<<"$shown")', not '$last'"
    echo "$args on a terminal: $(wc -l <<<"$shown") updates, last '$last'"
  done <<'CASES'
effect.wav|0.5 / 0.5 s
effect.wav --seconds 0.7|0.7 / 0.7 s
tune.mid --seconds 1|1.0 / 1.0 s
CASES
else
  echo "script(1) not found: progress on a terminal is not checked" >&2
fi

# Exit codes.
expect() {
  local code=$1 what=$2; shift 2
  "$@" > /dev/null 2> out.err
  local status=$?
  [ "$status" -eq "$code" ] || fail "$what: exit code $status, not $code"
  [ -s out.err ] || fail "$what: no message on standard error"
  echo "$what: exit code $code, $(head -n 1 out.err)"
}
echo 'not a sound' > text.wav
expect 2 "no arguments" "$program"
expect 2 "bad seconds" "$program" effect.wav --seconds soon
expect 2 "two files" "$program" effect.wav tune.mid
expect 1 "missing file" env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$program" missing.wav
expect 1 "not a sound file" env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$program" text.wav
expect 1 "no SoundFont" env MEDIA_SOUNDFONT=/nonexistent.sf2 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$program" tune.mid
# Anything but a regular file is refused at once: a FIFO nobody writes to would block the
# reading for ever (timeout: the old sniffing never returned), a directory or a device reads as
# nothing or endlessly.
mkfifo silent.fifo
for what in silent.fifo "$work" /dev/zero; do
  expect 1 "not a file ($what)" env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null timeout 30 "$program" "$what"
  grep -q "is not a regular file" out.err || fail "not a file ($what): message '$(cat out.err)'"
done
expect 3 "no audio output (WAV)" env SDL_AUDIODRIVER=none_such "$program" effect.wav
expect 3 "no audio output (MIDI)" env SDL_AUDIODRIVER=none_such "$program" tune.mid
echo "play-sound: sound heard through the disk driver, exit codes as documented"
