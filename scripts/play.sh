#!/usr/bin/env bash
# Sets up, builds the game alone (the play preset: no tests or tools, warnings not fatal) and
# starts it from the folder that holds arrow.bmp.
# `play.sh --web` builds the page instead and serves it on 127.0.0.1 (PORT, default 8000).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --web ]; then
    scripts/setup.sh web
    cmake --preset web >/dev/null
    cmake --build --preset web --target tavorin tavorin_page
    port="${PORT:-8000}"
    echo "Tavorin is at http://127.0.0.1:$port/ (Ctrl+C stops the server)"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/web
fi
scripts/setup.sh play
cmake --preset play >/dev/null
cmake --build --preset play
cd assets
exec ../build/play/tavorin
