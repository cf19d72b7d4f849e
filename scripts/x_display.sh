# Sourced by scripts that run the game on a private X display.

# clean_up_on_exit WORK: when the script ends, however it ends, stops the game (pid in
# $game), runs extra_cleanup where the script defines one, stops Xvfb (pid in $xvfb) and
# removes WORK.
clean_up_on_exit() {
    x_work="$1"
    game="${game:-}"
    xvfb="${xvfb:-}"
    trap x_cleanup EXIT
}
x_cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    if declare -F extra_cleanup >/dev/null; then extra_cleanup; fi
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$x_work"
}

# start_xvfb WORK: starts Xvfb on a free display number (written to WORK/display once it is
# ready), exports DISPLAY and sets xvfb to its pid; fails when it does not come up.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1600x1000x24 +extension GLX -nolisten tcp 3>"$1/display" \
        >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    [ -s "$1/display" ] || return 1
    export DISPLAY=":$(head -n1 "$1/display")"
}

# game_window TENTHS: prints the game window's id, waiting up to TENTHS tenths of a second;
# prints nothing when none appeared.
game_window() {
    local window=""
    for _ in $(seq "$1"); do
        window="$(xdotool search --onlyvisible --name '^Tavorin$' 2>/dev/null | head -n1 || true)"
        [ -n "$window" ] && break
        sleep 0.1
    done
    echo "$window"
}
