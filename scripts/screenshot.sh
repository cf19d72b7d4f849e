#!/usr/bin/env bash
# Starts the game on a private Xvfb display, presses the given keys one after another and
# saves a PNG of the window.
#   scripts/screenshot.sh out.png [key ...]      e.g. scripts/screenshot.sh board.png S D
# The game is build/release/tavorin (built when missing) or $TAVORIN_EXE.
set -euo pipefail
if (($# < 1)); then
    echo "usage: $0 out.png [key ...]" >&2
    exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$1")"
shift
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

exe="$(realpath -m "${TAVORIN_EXE:-$root/build/release/tavorin}")"
if [ ! -x "$exe" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target tavorin
fi

work="$(mktemp -d)"
. "$root/scripts/x_display.sh"
clean_up_on_exit "$work"
start_xvfb "$work" || { echo "$0: Xvfb did not start" >&2; exit 1; }

# The game reads arrow.bmp from its working directory.
cp "$root/assets/arrow.bmp" "$work/"
(cd "$work" && exec "$exe") >"$work/game.log" 2>&1 &
game=$!
window="$(game_window 100)"
[ -n "$window" ] || { echo "$0: the game window did not appear" >&2; cat "$work/game.log" >&2; exit 1; }
xdotool windowfocus --sync "$window"
sleep 1

for key in "$@"; do
    # A single letter is the letter key itself, without Shift.
    [ "${#key}" -eq 1 ] && key="${key,,}"
    xdotool key --clearmodifiers "$key"
    sleep 0.5
done
import -window "$window" "png:$out"
echo "$out"
