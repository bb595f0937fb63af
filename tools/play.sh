#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DMEDIA_BUILD_TESTS=OFF -DMEDIA_BUILD_BENCH=OFF
cmake --build build --target bodo-zamel
exec ./build/bodo-zamel
