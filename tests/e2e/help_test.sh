#!/usr/bin/env bash
# Every tool answers --help and -h, wherever they stand on the command line, with its manual on
# standard output and exit code 0: the usage line first, then what it does, its options, its exit
# codes and the environment it reads, in lines that fit a terminal. Asking for the manual opens
# nothing: no window (no display is reachable here), no audio output (the disk driver would
# leave its file) and no file of its own (the folder it runs in stays empty).
# The packaged tools also answer --version with "NAME VERSION" (MEDIA_EXPECTED_VERSION, the
# project's), which their manual pages are made from.
# Usage: MEDIA_EXPECTED_VERSION=X.Y.Z help_test.sh NAME=PATH/TO/PROGRAM...
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
declare -A programs covered
for entry in "$@"; do programs[${entry%%=*}]=$(realpath "${entry#*=}"); done
mkdir "$work/cwd"
cd "$work/cwd"

# The first fault of one run, or nothing.
fault() {
  local name=$1 status=$2 lines
  [ "$status" -eq 0 ] || { echo "exit code $status ($(head -n 2 "$work/err"))"; return; }
  [ ! -s "$work/err" ] || { echo "wrote on standard error: $(head -n 2 "$work/err")"; return; }
  [[ "$(head -n 1 "$work/out")" == "usage: $name "* ]] || { echo "first line '$(head -n 1 "$work/out")' is not the usage line"; return; }
  for part in "options:" "exit codes:" "environment" "-h, --help"; do
    grep -q -- "$part" "$work/out" || { echo "the manual has no '$part'"; return; }
  done
  grep -Eq '^  0  ' "$work/out" || { echo "the manual does not say what exit code 0 means"; return; }
  lines=$(wc -l <"$work/out")
  [ "$lines" -ge 10 ] && [ "$lines" -le 40 ] || { echo "$lines lines, not a short manual"; return; }
  [ -z "$(awk 'length > 100' "$work/out")" ] || { echo "a line wider than 100 columns"; return; }
  [ ! -e "$work/audio.raw" ] || { echo "opened the audio output"; return; }
  [ -z "$(ls -A)" ] || { echo "left $(ls -A | tr '\n' ' ')behind"; return; }
}

# program | arguments before the flag | arguments after it
while IFS='|' read -r name before after; do
  program=${programs[$name]:-}
  [ -n "$program" ] || continue
  covered[$name]=1
  for flag in --help -h; do
    # shellcheck disable=SC2206 # the arguments are words
    args=($before $flag $after)
    env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" \
      timeout 30 "$program" "${args[@]}" >"$work/out" 2>"$work/err" </dev/null
    problem=$(fault "$name" $?)
    if [ -z "$problem" ] && [ "$flag" = -h ] && ! cmp -s "$work/out" "$work/long"; then problem="-h prints something else than --help"; fi
    if [ -n "$problem" ]; then
      echo "FAIL: $name ${args[*]}: $problem" >&2
      failures=$((failures + 1))
    fi
    cp "$work/out" "$work/long"
    rm -f "$work/audio.raw"
    find . -mindepth 1 -delete
  done
  echo "$name ${before:+$before }--help|-h${after:+ $after}: $(wc -l <"$work/out") lines"
done <<'CASES'
bodo-zamel-replay||
bodo-zamel-replay|game.keys --trace|
bodo-zamel-replay||--frames many
picture-to-ppm||
picture-to-ppm|--depth 16 in.bmp|out.ppm
play-sound||
play-sound|missing.wav|--seconds soon
input-probe||
input-probe|--keys|
make-assets||
make-assets||some-folder
make-icon||
make-icon|16|out.png
CASES

# program | arguments around --version (it wins over everything but --help)
while IFS='|' read -r name args; do
  program=${programs[$name]:-}
  [ -n "$program" ] || continue
  # shellcheck disable=SC2086 # the arguments are words
  env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" $args >"$work/out" 2>"$work/err" </dev/null
  status=$?
  expected="$name ${MEDIA_EXPECTED_VERSION:?the project version}"
  if [ "$status" -ne 0 ] || [ "$(cat "$work/out")" != "$expected" ] || [ -s "$work/err" ] || [ -n "$(ls -A)" ]; then
    echo "FAIL: $name $args: exit code $status, printed '$(head -c 200 "$work/out")', expected '$expected'" >&2
    failures=$((failures + 1))
  fi
  find . -mindepth 1 -delete
done <<'CASES'
bodo-zamel-replay|--version
bodo-zamel-replay|game.keys --version --frames many
picture-to-ppm|--version
picture-to-ppm|in.bmp out.ppm --version
play-sound|--version
input-probe|--version
CASES

for name in "${!programs[@]}"; do
  [ -n "${covered[$name]:-}" ] || { echo "FAIL: no cases for $name" >&2; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] && echo "every tool's --help and -h: a short manual on standard output, exit code 0"
exit $((failures > 0))
