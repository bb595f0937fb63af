#!/usr/bin/env bash
# Installs what is missing on a Debian 12 machine: `play` for building and running the game,
# `test` for that and everything the tests and benchmarks need (the browser test's and the
# packages' too), `web` for the browser build alone, `package` and `package-check` for the Debian
# packages and their checks. Runs apt-get as root, or through sudo.
set -euo pipefail

play=(build-essential cmake ninja-build pkg-config libsdl2-dev libfluidsynth-dev timgm6mb-soundfont
      libjpeg62-turbo-dev libspng-dev libdeflate-dev libpng-dev libx11-dev libstb-dev)
test=("${play[@]}" libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev clang libclang-rt-14-dev xvfb xauth xdotool xclip x11-utils
      imagemagick libvorbis-dev libsdl2-mixer-dev doxygen fonts-dejavu-core libsdl2-gfx-dev libsdl2-ttf-dev)

# The Debian packages (tools/package.sh) and their checks (tools/package-check.sh): CPack's DEB
# generator runs dpkg-shlibdeps (dpkg-dev), help2man makes the tools' manual pages; lintian,
# desktop-file-validate and appstreamcli check them, and mmdebstrap makes the clean Debian root
# they are installed in.
package=("${play[@]}" dpkg-dev help2man)
package_check=(lintian desktop-file-utils appstream mmdebstrap xvfb xauth imagemagick x11-utils)

# The browser build and its test: Debian's emscripten (its JS optimiser needs node-acorn), the
# SoundFont and FluidSynth's headers, the font and the Ogg encoder (with a host compiler) that
# make the examples' page data, and chromium, which the test drives headless. npm comes
# with Node; Debian's npm is installed only where there is none.
web=(cmake ninja-build g++ emscripten node-acorn node-terser timgm6mb-soundfont libfluidsynth-dev libstb-dev libvorbis-dev fonts-dejavu-core chromium)

case "${1:-play}" in
  play) wanted=("${play[@]}") ;;
  test) wanted=("${test[@]}" "${web[@]}" "${package[@]}" "${package_check[@]}") ;;
  package) wanted=("${package[@]}") ;;
  package-check) wanted=("${package[@]}" "${package_check[@]}") ;;
  web) wanted=("${web[@]}") ;;
  *) echo "usage: $0 [play|test|web|package|package-check]" >&2; exit 2 ;;
esac

missing=()
case "${1:-play}" in test|web) command -v npm >/dev/null || missing+=(npm) ;; esac
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
