# shellcheck shell=bash disable=SC2154 # source_dir, packages, fail and step: tools/package-check.sh's
# The checks tools/package-check.sh runs in the fresh Debian root (sourced; mmdebstrap's
# customize hook calls in_root with the root, where /proc, /sys and /dev are mounted). The X
# server and the screenshots are this machine's: the game in the root reaches the server through
# its abstract socket, which a chroot shares, so the root holds only what the packages bring.

# A command in the root, with a clean environment.
in_chroot() {
  chroot "$root" env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games \
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

# Every path of the root outside the places that change on their own (apt's and dpkg's records,
# caches, logs, /tmp where the checks work): what the packages may not leave behind.
root_files() {
  (cd "$root" && find . -xdev \( -path ./tmp -o -path ./var/cache -o -path ./var/lib/apt -o -path ./var/lib/dpkg \
    -o -path ./var/log -o -path ./run -o -path ./root \) -prune -o -print | sort)
}

# Pixels of the 640x480 window that differ from the replay's title shot by more than the fuzz.
title_differs() {
  local shot=$check/window.png
  import -display "$display" -window "$window" "$shot" 2>/dev/null || { echo "no screenshot"; return 1; }
  [ "$(identify -format '%wx%h' "$shot")" = 640x480 ] || { echo "screenshot $(identify -format '%wx%h' "$shot")"; return 1; }
  local differ
  differ=$({ compare -metric AE -fuzz 7% "$shot" "$root/tmp/check/title.png" null: 2>&1 || true; } | awk '{ print int($1) }')
  echo "$differ pixels differ from the replay's title shot"
  [ "$differ" -lt 3000 ]
}

# The game from its menu entry: the title as the replay draws it, then SIGTERM ends it with code 0.
check_game() {
  local exec_line status
  exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/bodo-zamel.desktop")
  [ -n "$exec_line" ] || fail "the desktop entry has no Exec line"
  # The command answers --version with the packages' version and --help with its manual.
  local version
  version=$(dpkg-deb -f "$check"/debs/bodo-zamel_*.deb Version)
  [ "$(in_chroot bodo-zamel --version)" = "bodo-zamel $version" ] || fail "bodo-zamel --version does not say $version"
  local manual
  manual=$(in_chroot bodo-zamel --help) || fail "bodo-zamel --help failed"
  [[ "$manual" == "usage: bodo-zamel "* ]] || fail "bodo-zamel --help gives no manual"
  : >"$root/tmp/check/none.keys"
  in_chroot bodo-zamel-replay /tmp/check/none.keys --assets /usr/share/games/bodo-zamel --frames 30 \
    --shot 20:/tmp/check/title.png >/dev/null || fail "the installed replay did not run"
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp 2>"$check/xvfb.log" &
  xvfb=$!
  E2E_DEADLINE_S=30
  # shellcheck source=tests/e2e/poll.sh
  source "$source_dir/tests/e2e/poll.sh"
  poll "the X server $display" xdpyinfo_ok
  # The menu's command, from / as a menu starts it; MEDIA_NO_MESSAGE_BOX keeps a failure on stderr.
  chroot "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/games HOME=/root DISPLAY="$display" \
    MEDIA_NO_MESSAGE_BOX=1 sh -c "cd / && exec $exec_line" 2>"$check/game.log" &
  game=$!
  window=$(DISPLAY=$display timeout 30 xdotool search --sync --name '^bodo & zamel$' | head -n 1) \
    || fail "no window titled 'bodo & zamel' within 30 s; the game said: $(cat "$check/game.log")"
  poll "the title screen" title_differs
  echo "package-check: the installed game shows the title: $seen"
  kill -TERM "$game"
  poll "the game ending on SIGTERM" ended "$game" "$check/game.log"
  wait "$game" && status=0 || status=$?
  game=""
  [ "$status" -eq 0 ] || fail "the game ended with code $status on SIGTERM; it said: $(cat "$check/game.log")"
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  xvfb=""
}
xdpyinfo_ok() { DISPLAY=$display xdpyinfo >/dev/null 2>&1 && echo up; }

# The getting-started program and the moving-sprite example, built against the installed
# libzamelmedia-dev from its own docs: CMake with plain find_package, then pkg-config's flags.
check_build() {
  local docs=/usr/share/doc/libzamelmedia-dev
  mkdir -p "$root/tmp/check/hello"
  for file in CMakeLists.txt main.cpp; do
    awk -v marker="<!-- file: $file -->" '$0 == marker {f=1; next} f && /^```[a-z]/ {next} f && /^```/ {exit} f' \
      "$root$docs/getting_started.md" >"$root/tmp/check/hello/$file"
    [ -s "$root/tmp/check/hello/$file" ] || fail "no $file in the installed getting_started.md"
  done
  in_chroot sh -ec "cmake -S /tmp/check/hello -B /tmp/check/hello/build
    cmake --build /tmp/check/hello/build
    g++ -std=c++20 -o /tmp/check/hello/hello-pc /tmp/check/hello/main.cpp \$(pkg-config --cflags --libs zamelmedia)" \
    >"$check/hello.log" 2>&1 || { tail -n 30 "$check/hello.log"; fail "the getting-started program does not build against the installed package"; }
  in_chroot sh -ec "cmake -S $docs/examples -B /tmp/check/examples
    cmake --build /tmp/check/examples --target moving-sprite
    MEDIA_BACKEND=headless /tmp/check/examples/moving-sprite --frames 3
    g++ -std=c++20 -I$docs/examples -o /tmp/check/moving-sprite-pc $docs/examples/moving_sprite/main.cpp \
      \$(pkg-config --cflags --libs zamelmedia)
    MEDIA_BACKEND=headless /tmp/check/moving-sprite-pc --frames 3" >"$check/example.log" 2>&1 \
    || { tail -n 30 "$check/example.log"; fail "the moving-sprite example does not build or run against the installed package"; }
}

in_root() {
  root=$1
  local debs=$2 before
  check=$root/tmp/check
  xvfb=""
  game=""
  trap '[ -n "$game" ] && kill -KILL "$game" 2>/dev/null; [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; true' EXIT
  mkdir -p "$check/debs"
  cp "$debs"/*.deb "$check/debs/"
  local files=()
  for deb in "$check"/debs/*.deb; do files+=("/tmp/check/debs/${deb##*/}"); done
  before=$(root_files)
  in_chroot apt-get install -y -q --no-install-recommends -o DPkg::Options::=--force-unsafe-io \
    "${files[@]}" >"$check/install.log" 2>&1 || { cat "$check/install.log"; fail "apt-get install of the packages"; }
  # Kept for the next run: the packages downloaded for this one (apt checks their hashes).
  rm -f "$PACKAGE_CHECK_CACHE"/*.deb
  cp -a "$root"/var/cache/apt/archives/*.deb "$PACKAGE_CHECK_CACHE/"
  step "installed in a fresh Debian 12 root: $(grep -c '^Setting up' "$check/install.log") packages set up"

  check_game
  step "the game from its menu entry showed the title and ended with code 0 on SIGTERM"
  check_build
  step "the getting-started program and moving-sprite built with find_package and pkg-config"

  in_chroot apt-get purge -y -q --autoremove "${packages[@]}" >"$check/purge.log" 2>&1 \
    || { cat "$check/purge.log"; fail "apt-get purge"; }
  local left
  left=$(comm -13 <(echo "$before") <(root_files))
  [ -z "$left" ] || fail "left behind after the purge: $(echo "$left" | head -n 20 | tr '\n' ' ')"
  step "purged, no file left behind"
}
