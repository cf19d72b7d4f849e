#!/usr/bin/env bash
# Makes the packages in dist/, one function each:
#   tavorin_VERSION_amd64.deb                (CPack, from the package preset)
#   tavorin-VERSION-windows-x64.zip          (the windows preset, cross-built with mingw-w64)
#   tavorin-VERSION-windows-x64-setup.exe    (NSIS, from the same files as the zip)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

deb() {
    cmake --preset package >/dev/null
    cmake --build --preset package
    rm -rf build/package/cpack
    (cd build/package && cpack -B "$root/build/package/cpack")
    mv "build/package/cpack/tavorin_${version}_amd64.deb" dist/
}

# The Windows build, and its files for a player (listed by it in zip_contents.txt) in
# build/windows/stage/NAME, the programs stripped.
windows_stage() {
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target zip_files
    stage="build/windows/stage/$windows_name"
    rm -rf build/windows/stage
    mkdir -p "$stage"
    while read -r file; do
        cp "$file" "$stage/"
    done <build/windows/zip_contents.txt
    x86_64-w64-mingw32-strip "$stage"/*.exe
}

windows_zip() {
    (cd "$(dirname "$stage")" && zip -q -X -r "$root/dist/$windows_name.zip" "$windows_name")
}

# installer_file_list DIR OUT: the NSIS macros that install and remove exactly DIR's files.
installer_file_list() {
    local file name
    {
        echo "!define LICENSE_TXT \"$1/LICENSE.txt\""
        echo "!macro InstallFiles"
        for file in "$1"/*; do echo "    File \"$file\""; done
        echo "!macroend"
        echo "!macro UninstallFiles"
        for file in "$1"/*; do
            name="$(basename "$file")"
            echo "    Delete \"\$INSTDIR\\$name\""
        done
        echo "!macroend"
    } >"$2"
}

# windows_installer VERSION OUT: the installer of the staged files, calling itself VERSION
# (the upgrade check makes one with a lower version).
windows_installer() {
    local list="$root/build/windows/installer-files.nsh"
    installer_file_list "$root/$stage" "$list"
    makensis -V2 -DVERSION="$1" -DFILE_LIST="$list" -DOUTFILE="$2" \
        packaging/windows/tavorin.nsi
}

main() {
    scripts/setup.sh
    rm -rf dist
    mkdir -p dist
    deb
    windows_stage
    windows_zip
    windows_installer "$version" "$root/dist/$windows_name-setup.exe"
    ls -l dist
}

version="$(sed -n 's/^project(Tavorin VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)"
windows_name="tavorin-${version}-windows-x64"
stage="build/windows/stage/$windows_name"
# Sourced (by the package checks), it only defines the functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main
fi
