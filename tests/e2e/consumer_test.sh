#!/usr/bin/env bash
# The installed package from a user's side: installs the build into a temporary prefix, then
# builds tests/consumer/ (copied out of the source tree) with find_package and runs it on the
# headless backend, builds the same program with only pkg-config's flags, and checks that the
# prefix holds the public headers and none of the private ones.
# Usage: consumer_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "consumer_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install failed"; }
include=$prefix/include/zamelmedia
for header in media/display/screen.h media/display/pixel_surface.h media/image/image.h media/input/input.h \
              media/audio/sound_effect.h media/audio/music_player.h platform/window/window.h; do
  [ -f "$include/$header" ] || fail "public header $header is not installed"
done
for header in media/core/byte_reader.h media/image/bmp_decoder.h media/image/jpeg_decoder.h media/audio/wave_file.h \
              platform/pixels/pixel_access.h platform/bitmaps/dib_transfer.h platform/backends/sdl/sdl_backend.h; do
  [ ! -e "$include/$header" ] || fail "private header $header is installed"
done
[ -f "$prefix/lib/cmake/ZamelMedia/ZamelMediaConfigVersion.cmake" ] || fail "no package version file"
# The package is plain libraries: the backends are chosen when a program starts, so nothing needs
# to be linked whole.
! grep -q 'WHOLE_ARCHIVE' "$prefix"/lib/cmake/ZamelMedia/*.cmake || fail "the CMake package still links something whole"
for pc in "$prefix"/lib/pkgconfig/zamelmedia*.pc; do
  ! grep -q -- 'whole-archive' "$pc" || fail "$pc still links something whole"
done

# CMake: the program and every installed header compiled alone, from a copy outside the tree.
cp -r "$source/tests/consumer" "$work/src"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DHEADER_ROOT="$include" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "find_package configure failed"; }
cmake --build "$work/build" -j2 >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build against the package failed"; }
output=$("$work/build/consumer") || fail "consumer built with CMake failed: $output"
[ "$output" = "consumer: frame presented" ] || fail "unexpected output: $output"

# pkg-config: the same program with the flags of zamelmedia-headless.pc alone.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
[ "$(pkg-config --modversion zamelmedia-headless)" = "0.1.0" ] || fail "pkg-config version is not 0.1.0"
# shellcheck disable=SC2046
c++ -std=c++20 -o "$work/consumer_pc" "$work/src/main.cpp" $(pkg-config --cflags --libs zamelmedia-headless) \
  || fail "build with pkg-config failed"
output=$("$work/consumer_pc") || fail "consumer built with pkg-config failed: $output"
[ "$output" = "consumer: frame presented" ] || fail "unexpected output: $output"
if pkg-config --exists zamelmedia; then
  # shellcheck disable=SC2046
  c++ -std=c++20 -DCONSUMER_REAL_BACKEND -o "$work/consumer_sdl_pc" "$work/src/main.cpp" \
    $(pkg-config --cflags --libs zamelmedia) || fail "build with pkg-config (SDL2) failed"
fi

# The program of docs/getting_started.md, exactly as written there, on the real backend: it builds,
# and in an X server it keeps its window open until it is ended (SIGTERM, a close request, once
# its window is there: exit code 0), and refuses a file that is not a picture with 1.
if pkg-config --exists zamelmedia; then
  mkdir -p "$work/hello"
  for file in CMakeLists.txt main.cpp; do
    awk -v marker="<!-- file: $file -->" '$0 == marker {f=1; next} f && /^```[a-z]/ {next} f && /^```/ {exit} f' \
      "$source/docs/getting_started.md" >"$work/hello/$file"
    [ -s "$work/hello/$file" ] || fail "no $file in docs/getting_started.md"
  done
  cmake -S "$work/hello" -B "$work/hello/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/hello.log" 2>&1 \
    && cmake --build "$work/hello/build" >>"$work/hello.log" 2>&1 || { cat "$work/hello.log"; fail "the getting-started program does not build"; }
  if command -v xvfb-run >/dev/null; then
    # One X server for both runs; the exit codes go through files, since xvfb-run's own status
    # also reports trouble cleaning up after itself. The window is waited for (30 s at most);
    # a program that never shows one is killed (137).
    SDL_AUDIODRIVER=dummy MEDIA_NO_MESSAGE_BOX=1 xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
      '$work/hello/build/hello' '$source/assets/bodo.bmp' & p=\$!
      if timeout 30 xdotool search --sync --name '^hello\$' >/dev/null; then kill -TERM \$p; else kill -KILL \$p; fi
      s=0; wait \$p || s=\$?; echo \$s >'$work/ran'
      timeout 30 '$work/hello/build/hello' '$source/README.md' 2>/dev/null; echo \$? >'$work/refused'" || true
    ran=$(cat "$work/ran" 2>/dev/null || echo none)
    refused=$(cat "$work/refused" 2>/dev/null || echo none)
    [ "$ran" = 0 ] || fail "the getting-started program gave $ran instead of showing its window until ended (0)"
    [ "$refused" = 1 ] || fail "the getting-started program gave $refused for a file that is not a picture, not 1"
  fi
fi
echo "consumer_test: package installed, found, built and run"
