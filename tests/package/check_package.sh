#!/usr/bin/env bash
# Makes the packages with scripts/package.sh and checks them as a player meets them: the .deb
# installed with apt, validated, played from PATH under Xvfb and removed again; the Windows
# zip by its contents; the Windows installer under Wine (check_installer.sh); the web zip by
# its contents and size. Needs root (or
# sudo) for apt.
set -euo pipefail
started=$SECONDS
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
apt_get() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"
}

work="$(mktemp -d)"
# version_text NAME OUTPUT: --version's three lines, the version, copyright and licence.
version_text() {
    local lines
    mapfile -t lines < <(printf '%s\n' "$2" | tr -d '\r')
    [ "${#lines[@]}" -eq 3 ] && [ "${lines[0]}" = "$1 $version" ] &&
        [ "${lines[1]}" = "Copyright (c) 2026 The Tavorin developers" ] &&
        [[ "${lines[2]}" == "Licence: MIT"* ]] || { echo "$1: $2"; return 1; }
}
. scripts/x_display.sh
clean_up_on_exit "$work"

suite=package
. tests/package/checks.sh

scripts/package.sh
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)"
deb="dist/tavorin_${version}_amd64.deb"
zip="dist/tavorin-${version}-windows-x64.zip"

# --- The Debian package -------------------------------------------------------------------

require "the .deb is made" test -s "$deb"
lintian_clean() {
    lintian --fail-on error "$deb" || return 1
}
check "lintian finds no errors" lintian_clean
deb_fields() {
    [ "$(dpkg-deb -f "$deb" Section)" = games ] &&
        [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] &&
        dpkg-deb -f "$deb" Depends | grep -q 'fonts-dejavu-core' &&
        dpkg-deb -f "$deb" Depends | grep -q 'libsdl2'
}
check "section games, version $version, font and shared-library dependencies" deb_fields
no_test_binaries() {
    ! dpkg-deb -c "$deb" | grep -E '_test|bench|fuzz'
}
check "no test or benchmark binaries in the .deb" no_test_binaries

# A leftover of an earlier run would hide a broken install.
if dpkg-query -W -f='${Status}' tavorin 2>/dev/null | grep -q "install ok installed"; then
    apt_get purge tavorin >/dev/null
fi
require "apt installs the .deb" apt_get install "./$deb"
dpkg-query -L tavorin >"$work/files"

export PATH="$PATH:/usr/games"  # as a player's PATH has it
metainfo="$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' "$work/files" || true)"
desktop_entry() {
    desktop-file-validate /usr/share/applications/tavorin.desktop &&
        grep -qx 'Categories=.*\bGame;.*' /usr/share/applications/tavorin.desktop
}
check "desktop entry valid, in the Game category" desktop_entry
check "metainfo valid" appstreamcli validate --no-net "$metainfo"
icons_in_place() {
    local size
    for size in 16 32 48 64 128 256; do
        file "/usr/share/icons/hicolor/${size}x${size}/apps/tavorin.png" |
            grep "PNG image data, $size x $size" || return 1
    done
    file /usr/share/icons/hicolor/scalable/apps/tavorin.svg | grep SVG
}
check "icon at every hicolor size and as SVG" icons_in_place

# Every command in games/ has its man page, which renders without a warning.
man_pages() {
    local command page
    for command in /usr/games/tavorin*; do
        page="$(man -w 6 "$(basename "$command")")" || return 1
        [ -n "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)" ] &&
            { echo "$page: warnings"; return 1; }
    done
    man 6 tavorin | grep -q 'EXIT STATUS' && man 6 tavorin | grep -q 'KEYS' &&
        man 6 tavorin | grep -q 'FILES' && man 6 tavorin | grep -qw 27
}
check "man pages in section 6 for the game and every tool" man_pages
versions() {
    local command
    for command in /usr/games/tavorin*; do
        version_text "$(basename "$command")" "$("$command" --version)" || return 1
    done
}
check "tavorin and every tool answer --version with $version and the licence" versions
check "tavorin-replay plays from PATH" bash -c "tavorin-replay --time 0 --text S C | grep -q ."
check "tavorin-census decides and reports from PATH" bash -c \
    "tavorin-census run --from 1700000000 --count 4 --dir '$work/census' &&
     tavorin-census report '$work/census' --json | grep -q '\"deals\":4,'"
passes_arguments() {
    local out status=0
    out="$(env -u DISPLAY -u WAYLAND_DISPLAY tavorin --time soon 2>&1)" || status=$?
    [ "$status" -eq 2 ] && grep -q "not 'soon'" <<<"$out"
}
check "tavorin hands --time to the game, which names a bad value with status 2" passes_arguments

# The game from PATH, started in a folder without arrow.bmp, on a private display.
start_xvfb "$work" || true
mkdir "$work/home"
(cd "$work/home" && exec tavorin) >"$work/game.log" 2>&1 &
game=$!
window="$(game_window 200)"
[ -n "$window" ] || cat "$work/game.log"
require "tavorin from PATH opens its window" test -n "$window"
check "it runs the installed game" test "$(readlink "/proc/$game/exe")" = /usr/lib/games/tavorin/tavorin
check "its working folder is the data folder" \
    test "$(readlink "/proc/$game/cwd")" = /usr/share/games/tavorin
check "it shows the start menu's three red labels" menu_labels "$window"
xdotool windowfocus --sync "$window" key Escape
status=0
wait "$game" || status=$?
game=""
check "Esc ends it with status 27" test "$status" -eq 27
kill "$xvfb"
wait "$xvfb" 2>/dev/null || true
xvfb=""
unset DISPLAY

require "apt removes it" apt_get purge tavorin
gone() {
    ! dpkg-query -W -f='${Status}' tavorin 2>/dev/null | grep -q installed || return 1
    ! command -v tavorin || return 1
    local path
    while read -r path; do
        if [ -f "$path" ] || [ -L "$path" ]; then
            echo "left behind: $path"
            return 1
        fi
    done <"$work/files"
}
check "nothing of it is left" gone

# --- The Windows zip ----------------------------------------------------------------------

if ! grep -q '"name": "windows"' CMakePresets.json; then
    echo "skip the Windows zip: there is no windows preset yet"
else
    require "the zip is made" test -s "$zip"
    top="tavorin-${version}-windows-x64"
    unzip -Z1 "$zip" | sort >"$work/zip_list"
    cat "$work/zip_list"
    zip_list() {
        local entry
        for entry in "$top/" "$top/tavorin.exe" "$top/tavorin-replay.exe" "$top/arrow.bmp" \
            "$top/README.txt" "$top/LICENSE.txt"; do
            grep -qxF "$entry" "$work/zip_list" || { echo "missing: $entry"; return 1; }
        done
        # Anything else is a tool.
        ! grep -vxE "$top/(|tavorin\.exe|tavorin-[a-z]+\.exe|arrow\.bmp|README\.txt|LICENSE\.txt)" \
            "$work/zip_list"
    }
    check "the zip holds the game, the tools, arrow.bmp, README.txt and LICENSE.txt in one folder" \
        zip_list
    unzip -q "$zip" -d "$work/zip"
    folder="$work/zip/$top"
    check "its arrow.bmp is the game's" cmp "$folder/arrow.bmp" assets/arrow.bmp
    readme() {
        grep -q 'tavorin.exe' "$folder/README.txt" && grep -q 'setup.exe' "$folder/README.txt" &&
            ! grep -qi 'd3dx\|directx' "$folder/README.txt" && grep -q $'\r$' "$folder/README.txt"
    }
    check "README.txt tells how to install and start it, and sends nowhere for DirectX" readme
    licence_text() {
        tr -d '\r' <"$folder/LICENSE.txt" | head -n "$(wc -l <LICENSE)" | cmp - LICENSE &&
            grep -q 'winpthreads' "$folder/LICENSE.txt" && grep -q $'\r$' "$folder/LICENSE.txt"
    }
    check "LICENSE.txt is the licence, then the notices of the runtime inside" licence_text
    executables() {
        local exe
        for exe in "$folder"/*.exe; do
            file "$exe" | grep -q 'PE32+ executable.*x86-64' || { file "$exe"; return 1; }
        done
    }
    check "every .exe is a 64-bit Windows executable" executables
    # The executable carries our icon, every size of it.
    icon_resource() {
        wrestool -x -t14 -o "$work/icon.ico" "$folder/tavorin.exe" &&
            diff <(icotool -l "$work/icon.ico") <(icotool -l packaging/icons/tavorin.ico)
    }
    check "tavorin.exe has the icon as its icon resource" icon_resource
    manifest() {
        wrestool -x --raw -t24 -n1 "$folder/tavorin.exe" >"$work/manifest.xml" &&
            python3 - "$work/manifest.xml" <<'EOF'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
ids = {e.get("Id") for e in root.iter("{urn:schemas-microsoft-com:compatibility.v1}supportedOS")}
windows = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
controls = [e.get("version") for e in root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
            if e.get("name") == "Microsoft.Windows.Common-Controls"]
levels = [e.get("level") for e in root.iter() if e.tag.endswith("requestedExecutionLevel")]
dpi = [e.tag for e in root.iter() if "dpi" in e.tag.lower()]
print("supportedOS:", sorted(ids), "controls:", controls, "level:", levels, "DPI:", dpi)
sys.exit(0 if ids == windows and controls == ["6.0.0.0"] and levels == ["asInvoker"]
         and not dpi else 1)
EOF
    }
    check "tavorin.exe's manifest: Windows 7 to 11, common controls 6, as invoker, no DPI claim" \
        manifest
    # A DLL that is neither part of Windows nor in the zip would stop the game on a player's
    # machine; d3dx9_43.dll is not imported but looked for at start.
    imports() {
        local exe dll bad=0
        for exe in "$folder"/*.exe; do
            while read -r dll; do
                case "${dll,,}" in
                kernel32.dll | user32.dll | gdi32.dll | msvcrt.dll | advapi32.dll | shell32.dll | \
                    ole32.dll | oleaut32.dll | comctl32.dll | comdlg32.dll | winmm.dll | imm32.dll | \
                    version.dll | setupapi.dll | shlwapi.dll | ws2_32.dll | bcrypt.dll | ntdll.dll | \
                    ucrtbase.dll | api-ms-win-*.dll | d3d9.dll | dinput8.dll) ;;
                *)
                    [ -f "$folder/$dll" ] || { echo "$(basename "$exe") needs $dll"; bad=1; } ;;
                esac
            done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
        done
        return $bad
    }
    check "the executables need no DLL beyond Windows' own" imports
    wine_versions() {
        local exe
        for exe in "$folder"/tavorin-*.exe; do
            version_text "$(basename "$exe" .exe)" "$(scripts/wine-run.sh "$exe" --version)" ||
                return 1
        done
    }
    check "every tool from the zip answers --version under Wine" wine_versions

    # The installer, under Wine: its own counts, one line here.
    if tests/package/check_installer.sh; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL the installer's checks"
    fi
fi

# --- The web zip --------------------------------------------------------------------------

web_zip="dist/tavorin-${version}-web.zip"
require "the web zip is made" test -s "$web_zip"
web_list() {
    # Listed once: grep -q stops reading early, which would fail a pipe under pipefail.
    local entry name="tavorin-${version}-web" listing
    listing="$(unzip -Z1 "$web_zip")" || return 1
    for entry in index.html tavorin.js tavorin.wasm arrow.bmp DejaVuSans.woff2 \
        DejaVuSans-LICENSE.txt tavorin.svg LICENSE README.txt manifest.webmanifest sw.js \
        tavorin-180.png tavorin-192.png tavorin-512.png; do
        grep -qxF "$name/$entry" <<<"$listing" || { echo "missing: $entry"; return 1; }
    done
    ! grep -v "^$name/" <<<"$listing"
}
check "the web zip holds the page, its code, the font with its licence, the icons, the manifest, the offline keeper, arrow.bmp and the licence in one folder" \
    web_list
# What a browser fetches, each file gzipped as a server would send it.
web_gzipped_size() {
    unzip -q "$web_zip" -d "$work/web"
    local total=0 file
    for file in "$work/web"/*/*; do
        total=$((total + $(gzip -9 -c "$file" | wc -c)))
    done
    echo "the page's folder is $((total / 1024)) KB gzipped"
    ((total <= 400 * 1024))
}
check "the page's folder is at most 400 KB gzipped, the font included" web_gzipped_size
no_external_requests() {
    ! grep -E -o '(src|href)="https?://[^"]*"' "$work/web"/*/index.html
}
check "the page asks for nothing outside its folder" no_external_requests

echo "package checks took $((SECONDS - started)) s"
summary
((failed == 0))
