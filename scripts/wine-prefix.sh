#!/usr/bin/env bash
# Makes a Wine prefix for the game's tests in DIR: a fresh wineboot, windows drawn without a
# window manager (else every DestroyWindow waits two seconds for one), and the menu's font
# face pinned to one Debian ships, so that text looks the same on every machine.
set -euo pipefail
dir="${1:?usage: wine-prefix.sh DIR}"
rm -rf "$dir"
mkdir -p "$dir"
export WINEPREFIX="$(cd "$dir" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
# wineboot needs no display; without one it also shows no dialogs.
env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
env -u DISPLAY "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
env -u DISPLAY "$wine" reg add \
    'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'copperplate gothic light' /d 'DejaVu Sans' /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
test -f "$WINEPREFIX/system.reg"
