#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests on the headless
# backend, the end-to-end test of the real window under Xvfb, and the browser build (tools/web.sh)
# in headless chromium (tests/web/browser_test.js), then the Debian packages (tools/package.sh)
# and their checks in a fresh Debian root (tools/package-check.sh).
# With --sanitize: everything built with AddressSanitizer and UndefinedBehaviorSanitizer, the SDL
# programs too, and every test run on it (the unit tests and the end-to-end tests of the game,
# input-probe, play-sound and the examples in a real window), except the installed package's,
# whose outside consumer builds against the package as users get it (in the plain build).
# With --thread: ThreadSanitizer over the tests where the game's thread meets another (sounds,
# music with the SoundFont loading in the background, the front door's audio, frame pacing, music
# rendered on SDL's audio thread); only their programs are built.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test
jobs=$(nproc)
# Where ccache is installed, the builds go through it, with paths taken relative to the tree so a
# fresh clone finds what an earlier one compiled (as tools/web.sh does for the browser build).
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$PWD
fi

if [ "${1:-}" = "--thread" ]; then
  started=$(date +%s)
  cmake -S . -B build-thread -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEDIA_TSAN=ON -DMEDIA_WERROR=ON \
    -DMEDIA_BUILD_SDL=ON -DMEDIA_BUILD_BENCH=OFF "${launcher[@]}"
  cmake --build build-thread -j "$jobs" --target thread_tests sdl_audio_tests
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
  ctest --test-dir build-thread --output-on-failure -j "$jobs" -L thread
  echo "ThreadSanitizer run: $(( $(date +%s) - started )) s"
elif [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMEDIA_SANITIZE=ON -DMEDIA_WERROR=ON \
    -DMEDIA_BUILD_SDL=ON -DMEDIA_BUILD_BENCH=OFF "${launcher[@]}"
  cmake --build build-sanitize -j "$jobs"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp"
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
else
  cmake -S . -B build -G Ninja -DMEDIA_WERROR=ON -DMEDIA_BUILD_SDL=ON -DMEDIA_BUILD_BENCH=ON "${launcher[@]}"
  cmake --build build -j "$jobs"
  ctest --test-dir build --output-on-failure
  # The game in a browser: the site is built, then served to chromium, which the test drives;
  # the native replay program gives the pictures and traces it must match.
  MEDIA_WEB_JOBS=$jobs bash tools/web.sh
  echo "browser test:"
  timeout 600 node tests/web/browser_test.js build-web/site build/bodo-zamel-replay assets
  # The Debian packages, built and checked as Debian does, then installed, run, built against
  # and purged in a fresh Debian 12 root (tools/package-check.sh, as root or through sudo, as
  # the dependencies are installed).
  started=$(date +%s)
  bash tools/package.sh
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  timeout 900 "${as_root[@]}" bash tools/package-check.sh
  echo "package build and check: $(( $(date +%s) - started )) s"
fi
