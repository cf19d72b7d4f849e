#!/usr/bin/env bash
# Runs a Windows program under wine64 in a prefix of its own (made on first use), quietly.
# WINEPREFIX may be given; the default lives in the Windows build folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
# Tests run side by side: the first makes the prefix while the others wait for it.
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u DISPLAY "$wine" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
fi
flock -u 9
exec "$wine" "$@"
