# Sourced by the package checks: counting checks, and the start menu seen on a window.
# The sourcing script sets suite (its name in the summary) and work (a scratch folder).

passed=0
failed=0
# check WHAT COMMAND...: runs the command, counts it, shows its output when it fails.
check() {
    local what="$1"
    shift
    if "$@" >"$work/out" 2>&1; then
        passed=$((passed + 1))
        echo "ok   $what"
    else
        failed=$((failed + 1))
        echo "FAIL $what"
        sed 's/^/     /' "$work/out"
    fi
}
# The same, for a step the later ones need: a failure ends the run.
require() {
    local before=$failed
    check "$@"
    if ((failed > before)); then
        summary
        exit 1
    fi
}
summary() {
    echo "$suite: $passed passed, $failed failed"
}

# menu_labels WINDOW: the red pixels of the start menu's three labels, in the band the back
# buffer's y 600 to 650 maps to; waits up to 15 s for them.
menu_labels() {
    local shot="$work/shot.ppm"
    for _ in $(seq 30); do
        import -window "$1" -depth 8 "ppm:$shot" 2>/dev/null &&
            python3 - "$shot" <<'PY' && return 0
import re, sys
data = open(sys.argv[1], "rb").read()
header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
width, height = int(header[1]), int(header[2])
pixels = data[header.end():]
def red(left, right):
    count = 0
    for y in range(600 * height // 768, 650 * height // 768):
        for x in range(left, min(right, width)):
            r, g, b = pixels[3 * (y * width + x):3 * (y * width + x) + 3]
            count += r > 150 and g < 90 and b < 90
    return count
labels = [red(300, 550), red(550, 950), red(950, 1280)]
print("red pixels per label:", labels)
sys.exit(0 if min(labels) > 200 else 1)
PY
        sleep 0.5
    done
    return 1
}
