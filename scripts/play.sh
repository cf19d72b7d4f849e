#!/usr/bin/env bash
# Sets up, builds the game alone (the play preset: no tests or tools, warnings not fatal) and
# starts it from the folder that holds arrow.bmp.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh play
cmake --preset play >/dev/null
cmake --build --preset play
cd assets
exec ../build/play/tavorin
