# Waiting for a condition with a deadline, for the end-to-end tests (sourced). A busy machine
# makes every step slower, never wrong: a step waits until what it checks holds, and fails only
# when it still does not hold after the deadline, saying what it last saw.
#
# poll WHAT CHECK [ARGS...]: runs CHECK until it succeeds, at most E2E_DEADLINE_S seconds (30);
# CHECK prints what it saw (kept in $seen for the caller); on timeout the test fails with WHAT
# and the last thing CHECK printed.
E2E_DEADLINE_S=${E2E_DEADLINE_S:-30}
seen=""

poll() {
  local what=$1 start
  shift
  start=$(date +%s%N)
  while :; do
    if seen=$("$@" 2>&1); then return 0; fi
    if (( ($(date +%s%N) - start) / 1000000000 >= E2E_DEADLINE_S )); then
      echo "FAIL: $what: not within ${E2E_DEADLINE_S} s; last seen: ${seen:-nothing}" >&2
      exit 1
    fi
    sleep 0.1
  done
}

# Milliseconds since $1 (a date +%s%N value).
elapsed_ms() { echo $((($(date +%s%N) - $1) / 1000000)); }

# A check: the process PID has ended (LOG, when given, is shown while it runs).
ended() {
  if kill -0 "$1" 2>/dev/null; then
    echo "still running${2:+; output: $(tail -n 3 "$2")}"
    return 1
  fi
  echo "ended"
}
