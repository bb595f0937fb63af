#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. The game reads its pictures, tunes and
# sound from the current directory, so it is started from assets/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DMEDIA_BUILD_TESTS=OFF -DMEDIA_BUILD_BENCH=OFF
cmake --build build --target bodo-zamel
cd assets
exec ../build/bodo-zamel
