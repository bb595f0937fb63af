#!/usr/bin/env bash
# Builds the browser version of the game into build-web/site/: our page, its scripts, the game
# and the moving-sprite, drawing-tour and tune-player examples as WebAssembly, the game's packed data, FluidSynth for the web
# and the SoundFont, the app's manifest and icons, and the service worker that keeps the site
# for offline play. A static folder: any web server can host it as it is.
#   bash tools/web.sh            install what is missing, then build
#   bash tools/web.sh --serve    the same, then serve the site on 127.0.0.1 and print its address
# Installs (as root, or through sudo) Debian's emscripten, node-acorn and node-terser, and the page's npm
# packages from web/package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
case "${1:-}" in
  "") ;;
  --serve) serve=1 ;;
  -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--serve]" >&2; exit 2 ;;
esac

bash tools/install-deps.sh web
# Emscripten's JavaScript optimiser finds Debian's acorn here.
export NODE_PATH=/usr/share/nodejs
[ -d web/node_modules/js-synthesizer ] && [ web/node_modules/.package-lock.json -nt web/package-lock.json ] ||
  npm ci --prefix web --no-audit --no-fund --loglevel=error

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Compiled for size (-Os): a page downloads every byte of its program. The pixel loops and
# decoders are compiled for speed whatever the build's level (their files ask for -O3).
emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-Os -DNDEBUG" -DMEDIA_WERROR=ON \
  -DMEDIA_BUILD_SDL=OFF -DMEDIA_BUILD_TESTS=OFF -DMEDIA_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-web -j "${MEDIA_WEB_JOBS:-2}"
echo "site: $PWD/build-web/site"

if [ "$serve" = 1 ]; then
  port=${MEDIA_WEB_PORT:-8080}
  echo "serving on http://127.0.0.1:$port/ (the game) and http://127.0.0.1:$port/moving-sprite.html (the example); Ctrl-C stops"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
