#!/usr/bin/env bash
# Makes the packages in dist/, one function each:
#   tavorin_VERSION_amd64.deb                (CPack, from the package preset)
#   tavorin-VERSION-windows-x64.zip          (the windows preset, cross-built with mingw-w64)
#   tavorin-VERSION-windows-x64-setup.exe    (NSIS, from the same files as the zip)
#   tavorin-VERSION-web.zip                  (the page's folder, from the web preset)
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

# The page's folder as the web build leaves it, with the project's licence, in one folder.
web_zip() {
    local name="tavorin-${version}-web"
    local folder="build/web/zip/$name"
    cmake --preset web >/dev/null
    cmake --build --preset web --target tavorin tavorin_page
    rm -rf build/web/zip
    mkdir -p "$folder"
    cp build/web/web/{index.html,README.txt,tavorin.js,tavorin.wasm,arrow.bmp} "$folder/"
    cp build/web/web/{DejaVuSans.woff2,DejaVuSans-LICENSE.txt,tavorin.svg} LICENSE "$folder/"
    cp build/web/web/{manifest.webmanifest,sw.js,tavorin-180.png,tavorin-192.png,tavorin-512.png} \
        "$folder/"
    (cd build/web/zip && zip -q -X -r "$root/dist/$name.zip" "$name")
}

main() {
    scripts/setup.sh
    rm -rf dist
    mkdir -p dist
    deb
    windows_stage
    windows_zip
    windows_installer "$version" "$root/dist/$windows_name-setup.exe"
    web_zip
    ls -l dist
}

version="$(sed -n 's/^project(Tavorin VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)"
windows_name="tavorin-${version}-windows-x64"
stage="build/windows/stage/$windows_name"
# Sourced (by the package checks), it only defines the functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main
fi
