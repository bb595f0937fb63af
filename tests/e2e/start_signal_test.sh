#!/usr/bin/env bash
# SIGTERM while the game starts ends it with exit code 0, as the close box does. Two ways:
# - right after launch: as soon as the process shows a handler for SIGTERM (the first thing its
#   main does, long before the window), SIGTERM is sent; repeated, since where start-up stands
#   at that moment varies from run to run;
# - before it runs at all: the program is started with SIGTERM blocked and already pending (as a
#   parent that blocked it would leave it), so the signal is there from the first instruction;
# - on the headless backend, whose event pump has no OS events of its own.
# Each run must end within the deadline with exit code 0.
# Usage: start_signal_test.sh PATH/TO/bodo-zamel   (runs itself under xvfb-run)
set -uo pipefail
program=$(realpath "$1")
if [ -z "${E2E_INSIDE_XVFB:-}" ]; then
  E2E_INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$program"
fi

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$(dirname "$0")/poll.sh"
cd "$work"  # no assets here: start-up is quick and the screens are black
export MEDIA_NO_MESSAGE_BOX=1 SDL_AUDIODRIVER=dummy

# True once the process runs the program (not the shell that forked it, whose own handlers a
# fresh exec drops) and catches SIGTERM (bit 15 of SigCgt in /proc/PID/status).
catches_sigterm() {
  local mask
  [ "$(readlink "/proc/$1/exe" 2>/dev/null)" = "$program" ] || return 1
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (( (16#$mask >> 14) & 1 ))
}

# Waits for $pid to end within the deadline and checks its exit code; $1 names the case.
expect_exit_zero() {
  local what=$1 start status=0
  start=$(date +%s%N)
  poll "$what: the program's end after SIGTERM" ended "$pid" err.txt
  wait "$pid" || status=$?
  pid=""
  [ "$status" -eq 0 ] || fail "$what: exit code $status, not 0; stderr: $(cat err.txt)"
  echo "$what: exit code 0 after $(elapsed_ms "$start") ms"
}

for run in 1 2 3 4 5; do
  "$program" 2>err.txt &
  pid=$!
  # Checked without a pause between looks, so that the signal follows the handler closely.
  start=$(date +%s%N)
  until catches_sigterm "$pid"; do
    kill -0 "$pid" 2>/dev/null || fail "run $run: the program ended before catching SIGTERM; stderr: $(cat err.txt)"
    [ "$(elapsed_ms "$start")" -lt $((E2E_DEADLINE_S * 1000)) ] || fail "run $run: no SIGTERM handler within ${E2E_DEADLINE_S} s"
  done
  kill -TERM "$pid"
  window=$(xdotool search --name '^bodo & zamel$' 2>/dev/null | head -n 1)
  expect_exit_zero "run $run (window seen just after the signal: ${window:-none})"
done

# On the headless backend, which has no OS events of its own, while its frames run.
MEDIA_BACKEND=headless "$program" 2>err.txt &
pid=$!
poll "the headless game catching SIGTERM" catches_sigterm "$pid"
kill -TERM "$pid"
expect_exit_zero "headless backend"

# Blocked and pending from the start; perl's POSIX module blocks it, raises it and execs.
perl -MPOSIX -e 'sigprocmask(SIG_BLOCK, POSIX::SigSet->new(SIGTERM)) or die; kill "TERM", $$; exec @ARGV or die' \
  "$program" 2>err.txt &
pid=$!
expect_exit_zero "pending before start"
