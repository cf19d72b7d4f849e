#!/usr/bin/env bash
# Sets up, builds and starts the game from the folder that holds arrow.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release
cd assets
exec ../build/release/tavorin
