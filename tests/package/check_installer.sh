#!/usr/bin/env bash
# Checks the Windows installer that scripts/package.sh made, as a player meets it, under Wine
# in a fresh prefix and on an X display of its own: the silent install, its files, shortcuts
# and Add/Remove Programs entry, the game started through the Start-menu shortcut, the silent
# uninstall leaving the prefix as it found it; then the same over an older version.
# check_package.sh runs it after making the packages.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$root"
suite=installer
work="$(mktemp -d)"
. tests/package/checks.sh
. scripts/package.sh # the installer's version, stage folder and windows_installer
. scripts/x_display.sh

wine=/usr/lib/wine/wine64
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
# No .NET or HTML engines; no menu entries for the host's desktop from the shortcuts.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
extra_cleanup() {
    [ -d "$WINEPREFIX" ] && /usr/lib/wine/wineserver -k 2>/dev/null || true
}
clean_up_on_exit "$work"

setup="dist/$windows_name-setup.exe"
require "the installer is made" test -s "$setup"
check "it is a Windows program" bash -c "file '$setup' | grep -q 'PE32+ executable.*x86-64'"

scripts/wine-prefix.sh "$WINEPREFIX"
start_xvfb "$work"
drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/Tavorin"
menu_link="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavorin.lnk"
desktop_link="$drive/users/Public/Desktop/Tavorin.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavorin'
# What the prefix holds before any install, less what Wine itself changes as it runs.
prefix_files() {
    (cd "$drive" && find . -path ./windows -prune -o -path '*/Temp' -prune -o -print | sort)
}
prefix_files >"$work/before"

seconds_since() {
    awk "BEGIN { printf \"%.1f\", $EPOCHREALTIME - $1 }"
}
# silent_install SETUP ARGS...: runs the installer, its seconds kept in install_time.
silent_install() {
    local started=$EPOCHREALTIME
    "$wine" "$@" >/dev/null 2>&1 || return 1
    install_time=$(seconds_since "$started")
}
# The uninstaller copies itself away and returns at once: done when the last files it
# removes, itself and the Start-menu shortcut, are gone (the entry goes right after).
uninstall() {
    local started=$EPOCHREALTIME
    "$wine" "$folder/uninstall.exe" /S >/dev/null 2>&1 || return 1
    for _ in $(seq 1200); do
        if [ ! -e "$folder/uninstall.exe" ] && [ ! -e "$menu_link" ]; then
            uninstall_time=$(seconds_since "$started")
            /usr/lib/wine/wineserver -w
            return 0
        fi
        sleep 0.05
    done
    return 1
}
# registry_value NAME: a value of the Add/Remove Programs entry, as reg query shows it.
registry_value() {
    "$wine" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *REG_[A-Z]* *//p"
}
installed_files() {
    local expected
    expected="$( (cd "$stage" && ls; echo uninstall.exe) | sort)"
    [ "$(cd "$folder" && ls | sort)" = "$expected" ] ||
        { echo "installed: $(ls "$folder")"; return 1; }
    local file
    for file in "$stage"/*; do
        cmp "$file" "$folder/$(basename "$file")" || return 1
    done
}
registry_entry() {
    local want_version="$1"
    [ "$(registry_value DisplayName)" = Tavorin ] &&
        [ "$(registry_value DisplayVersion)" = "$want_version" ] &&
        [ "$(registry_value Publisher)" = "The Tavorin developers" ] &&
        [ "$(registry_value DisplayIcon)" = 'C:\Program Files\Tavorin\tavorin.exe,0' ] &&
        [ "$(registry_value UninstallString)" = '"C:\Program Files\Tavorin\uninstall.exe"' ] &&
        [ "$(registry_value NoModify)" = 0x1 ] && [ "$(registry_value NoRepair)" = 0x1 ] &&
        (($(registry_value EstimatedSize) > 100)) || { "$wine" reg query "$key"; return 1; }
}
# shortcut LINK: starts the game from the install folder.
shortcut() {
    python3 tests/package/lnk_info.py "$1" | tee "$work/link.json" &&
        python3 - "$work/link.json" <<'EOF'
import json, sys
link = json.load(open(sys.argv[1]))
folder = "C:\\Program Files\\Tavorin"
sys.exit(0 if link["target"].lower() == (folder + "\\tavorin.exe").lower()
         and link["working_dir"].lower() == folder.lower() else 1)
EOF
}
leaves_nothing() {
    [ ! -e "$menu_link" ] && [ ! -e "$desktop_link" ] || { echo "a shortcut is left"; return 1; }
    ! "$wine" reg query "$key" >/dev/null 2>&1 || { echo "the entry is left"; return 1; }
    diff "$work/before" <(prefix_files)
}

# --- A fresh install, with the desktop shortcut ---------------------------------------------

require "/S /DESKTOP installs it silently" silent_install "$setup" /S /DESKTOP
echo "     install took $install_time s"
check "the programs, arrow.bmp, README.txt and LICENSE.txt in Program Files\\Tavorin" \
    installed_files
check "the Start-menu shortcut starts tavorin.exe in its folder" shortcut "$menu_link"
check "the desktop shortcut, as asked, the same" shortcut "$desktop_link"
check "the Add/Remove Programs entry" registry_entry "$version"

# The Start-menu shortcut opened by Wine's shell, as Explorer opens it, from elsewhere.
(cd "$work" && "$wine" start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tavorin.lnk')
window="$(game_window 300)"
require "the shell opens the shortcut into the game's window" test -n "$window"
check "the game runs in its install folder" \
    test "$(readlink "/proc/$(xdotool getwindowpid "$window")/cwd")" = "$folder"
check "it shows the start menu's three red labels" menu_labels "$window"
xdotool windowfocus --sync "$window" key Escape
closed() {
    for _ in $(seq 100); do
        xdotool getwindowname "$window" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
check "Esc closes it" closed
# The shell keeps the exit status to itself: the same start, as the shortcut says, by hand.
target="$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["target"])' "$work/link.json")"
(cd "$folder" && exec "$wine" "$target") >"$work/game.log" 2>&1 &
game=$!
window="$(game_window 300)"
require "the shortcut's target opens the game's window" test -n "$window"
menu_labels "$window" >/dev/null || true # up and reading keys
xdotool windowfocus --sync "$window" key Escape
status=0
wait "$game" || status=$?
game=""
check "Esc ends it with status 27" test "$status" -eq 27
/usr/lib/wine/wineserver -w

require "the silent uninstall runs" uninstall
echo "     uninstall took $uninstall_time s"
check "it leaves nothing: files, folder, shortcuts, entry" leaves_nothing

# --- An older version, then this one over it --------------------------------------------------

old_version=0.9.0
windows_installer "$old_version" "$work/old-setup.exe" >/dev/null
require "the older version ($old_version) installs" silent_install "$work/old-setup.exe" /S
check "its entry says $old_version" registry_entry "$old_version"
echo "a player's note" >"$folder/notes.txt"
require "$version installs over it" silent_install "$setup" /S
echo "     install over it (the older one uninstalled first) took $install_time s"
check "one entry, of $version" registry_entry "$version"
only_one() {
    local entries
    entries="$("$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' |
        tr -d '\r' | grep -ci 'tavorin')"
    [ "$entries" -eq 1 ] && [ -e "$menu_link" ] && [ ! -e "$desktop_link" ]
}
check "one Start-menu shortcut and no desktop one (not asked for)" only_one
mv "$folder/notes.txt" "$work/"
check "one set of files, of $version" installed_files
mv "$work/notes.txt" "$folder/"
require "the silent uninstall runs" uninstall
check "the player's own file stays, in its folder" \
    test "$(ls "$folder")" = notes.txt
rm "$folder/notes.txt"
rmdir "$folder"
check "it leaves nothing else" leaves_nothing

echo "     installer: $(stat -c %s "$setup") bytes"
summary
((failed == 0))
