#!/usr/bin/env bash
# Builds the Debian packages bodo-zamel, libzamelmedia-dev and zamelmedia-tools into
# build-packages/ (packaging/Packaging.cmake says what each holds): a build of its own for /usr,
# tests off, with Debian's hardening flags, then CPack's DEB generator. Prints the packages'
# paths and sizes.
# Usage: tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$PWD
fi
# Debian's flags for packages (stack protector, fortified calls, read-only relocations, immediate
# binding), without -g: the programs are stripped and the static libraries ship without debug
# sections. The optimisation stays the release build's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP="-g -O2" DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build-packages -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DMEDIA_PACKAGE=ON -DMEDIA_BUILD_SDL=ON -DMEDIA_BUILD_TESTS=OFF -DMEDIA_BUILD_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "${launcher[@]}" >/dev/null
# What the packages install, and nothing else of the tree (the examples go in as sources).
cmake --build build-packages -j "$(nproc)" --target media platform bodo-zamel picture-to-ppm play-sound \
  input-probe bodo-zamel-replay manual_pages menu_icons debian_changelog
rm -rf build-packages/debs
(cd build-packages && cpack -G DEB >/dev/null)
for deb in build-packages/debs/*.deb; do
  echo "$deb $(stat -c %s "$deb") bytes, installed $(dpkg-deb -f "$deb" Installed-Size) KiB"
done
