#!/usr/bin/env bash
# The installed package from a user's side: builds and installs the library as a user with only
# the play dependencies would (tests off, GoogleTest and Google Benchmark hidden from CMake) into
# a temporary prefix, checks that the prefix holds the public headers under include/zamelmedia/
# alone and none of the private ones, then builds tests/consumer/ (copied out of the source tree)
# with find_package and with pkg-config's flags and runs it on the headless backend, builds
# examples/ on its own against the prefix, and builds the programs written out in
# docs/getting_started.md and docs/testing.md (running the latter's test with ctest).
# Every find_package(ZamelMedia X.Y) written in the tree's docs and projects asks for the
# project's version, which the package and its pkg-config files carry.
# Usage: consumer_test.sh SOURCE_DIR VERSION
set -euo pipefail
source=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "consumer_test: $*" >&2; exit 1; }
# Writes the files a docs page marks with <!-- file: NAME --> (the code block after the marker)
# into a folder: extract PAGE FOLDER NAME...
extract() {
  local page=$1 folder=$2 file
  shift 2
  mkdir -p "$folder"
  for file in "$@"; do
    awk -v marker="<!-- file: $file -->" '$0 == marker {f=1; next} f && /^```[a-z]/ {next} f && /^```/ {exit} f' \
      "$page" >"$folder/$file"
    [ -s "$folder/$file" ] || fail "no $file in $page"
  done
}
# The package accepts its own minor version only (before 1.0 a minor version may change the
# interface), so every request written down must follow the project's version.
wanted="find_package(ZamelMedia ${version%.*} REQUIRED)"
while IFS= read -r request; do
  [ "${request#*:}" = "$wanted" ] || fail "${request%%:*} asks for ${request#*:}, not $wanted"
done < <(cd "$source" && grep -rHoE 'find_package\(ZamelMedia [0-9.]+[^)]*\)' README.md docs examples tests/consumer)
grep -q "version $version;" "$source/README.md" || fail "the README does not give the version $version"
while IFS= read -r named; do
  [ "${named##*[-_]}" = "$version" ] || fail "the README's install section names $named, not version $version"
done < <(grep -oE '(bodo-zamel|libzamelmedia-dev|zamelmedia-tools|bodo-zamel-web)[-_][0-9]+\.[0-9]+\.[0-9]+' "$source/README.md")

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# The library with tests off, on a machine without GoogleTest (find_package(GTest) would fail the
# configure): only the installed targets are built.
cmake -S "$source" -B "$work/lib" -G Ninja -DMEDIA_BUILD_TESTS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${launcher[@]}" >"$work/lib.log" 2>&1 \
  || { cat "$work/lib.log"; fail "configure with tests off and no GoogleTest failed"; }
cmake --build "$work/lib" -j2 --target media platform >>"$work/lib.log" 2>&1 || { cat "$work/lib.log"; fail "the library does not build with tests off"; }
cmake --install "$work/lib" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install failed"; }

# Only zamelmedia/ in the include folder: no generic media/ or platform/ beside a program's own.
[ "$(ls "$prefix/include")" = "zamelmedia" ] || fail "include/ holds $(ls "$prefix/include" | tr '\n' ' ')"
include=$prefix/include/zamelmedia
for header in zamelmedia.h media/app/zamelmedia.h media/app/window.h media/display/screen.h media/display/pixel_surface.h \
              media/image/image.h media/input/input.h media/audio/sound_effect.h media/audio/music_player.h \
              media/sprite/frame_sheet.h platform/window/window.h platform/backends/headless/headless_backend.h; do
  [ -f "$include/$header" ] || fail "public header $header is not installed"
done
for header in media/core/byte_reader.h media/image/bmp_decoder.h media/image/png_decoder.h media/audio/wave_file.h \
              media/blit/blit_loops.h platform/pixels/pixel_access.h platform/bitmaps/dib_transfer.h platform/core/system.h \
              platform/core/frame_pacer.h platform/video/font8x16.h platform/backends/sdl/sdl_backend.h; do
  [ ! -e "$include/$header" ] || fail "private header $header is installed"
done
[ -f "$prefix/lib/cmake/ZamelMedia/ZamelMediaConfigVersion.cmake" ] || fail "no package version file"
# The package is plain libraries: the backends are chosen when a program starts, so nothing needs
# to be linked whole.
! grep -q 'WHOLE_ARCHIVE' "$prefix"/lib/cmake/ZamelMedia/*.cmake || fail "the CMake package still links something whole"
for pc in "$prefix"/lib/pkgconfig/zamelmedia*.pc; do
  ! grep -q -- 'whole-archive' "$pc" || fail "$pc still links something whole"
done

expected="consumer: frame, key, sound and error checked"
# CMake: the program and every installed header compiled alone, from a copy outside the tree.
cp -r "$source/tests/consumer" "$work/src"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DHEADER_ROOT="$prefix/include" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "find_package configure failed"; }
cmake --build "$work/build" -j2 >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "build against the package failed"; }
output=$("$work/build/consumer") || fail "consumer built with CMake failed: $output"
[ "$output" = "$expected" ] || fail "unexpected output: $output"

# pkg-config: the same program with the flags of zamelmedia-headless.pc alone.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
[ "$(pkg-config --modversion zamelmedia-headless)" = "$version" ] || fail "pkg-config version is not $version"
# shellcheck disable=SC2046
c++ -std=c++20 -o "$work/consumer_pc" "$work/src/main.cpp" $(pkg-config --cflags --libs zamelmedia-headless) \
  || fail "build with pkg-config failed"
output=$("$work/consumer_pc") || fail "consumer built with pkg-config failed: $output"
[ "$output" = "$expected" ] || fail "unexpected output: $output"
if pkg-config --exists zamelmedia; then
  # shellcheck disable=SC2046
  c++ -std=c++20 -DCONSUMER_REAL_BACKEND -o "$work/consumer_sdl_pc" "$work/src/main.cpp" \
    $(pkg-config --cflags --libs zamelmedia) || fail "build with pkg-config (SDL2) failed"
fi

# examples/ on its own, as a project of its own against the prefix; one example runs headless.
cmake -S "$source/examples" -B "$work/examples" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/examples.log" 2>&1 \
  && cmake --build "$work/examples" -j2 >>"$work/examples.log" 2>&1 || { cat "$work/examples.log"; fail "examples/ does not build against the package"; }
MEDIA_BACKEND=headless "$work/examples/moving-sprite" --frames 3 || fail "moving-sprite built against the package failed"

# The program of docs/getting_started.md, exactly as written there: at most 25 lines with one
# header, built against the package; in an X server it draws, moves, animates and plays as the page
# says (getting_started_test.sh).
if pkg-config --exists zamelmedia; then
  mkdir -p "$work/hello/run"
  extract "$source/docs/getting_started.md" "$work/hello" CMakeLists.txt main.cpp
  lines=$(wc -l <"$work/hello/main.cpp")
  [ "$lines" -le 25 ] || fail "the getting-started program has $lines lines, more than 25"
  [ "$(grep -c '^#include' "$work/hello/main.cpp")" = 1 ] || fail "the getting-started program includes more than one header"
  cmake -S "$work/hello" -B "$work/hello/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >"$work/hello.log" 2>&1 \
    && cmake --build "$work/hello/build" >>"$work/hello.log" 2>&1 || { cat "$work/hello.log"; fail "the getting-started program does not build"; }
  cp "$source/docs/getting_started/ball.png" "$source/assets/item.wav" "$source/assets/Sound_menu.mid" "$work/hello/run/"
  if command -v xvfb-run >/dev/null; then
    bash "$source/tests/e2e/getting_started_test.sh" "$work/hello/build/hello" "$work/hello/run" || fail "the getting-started program misbehaved"
  fi
fi

# The worked example of docs/testing.md, exactly as written there: a small game and its test on
# the package's testing controls, built against the package and run by its own ctest.
extract "$source/docs/testing.md" "$work/paddle" CMakeLists.txt paddle.h main.cpp paddle_test.cpp
cp "$source/assets/item.wav" "$work/paddle/"
cmake -S "$work/paddle" -B "$work/paddle/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "${launcher[@]}" >"$work/paddle.log" 2>&1 \
  && cmake --build "$work/paddle/build" -j2 >>"$work/paddle.log" 2>&1 || { cat "$work/paddle.log"; fail "the example of docs/testing.md does not build"; }
ctest --test-dir "$work/paddle/build" --output-on-failure --timeout 60 >>"$work/paddle.log" 2>&1 \
  || { cat "$work/paddle.log"; fail "the test of docs/testing.md failed"; }
echo "consumer_test: package installed, found, built and run"
