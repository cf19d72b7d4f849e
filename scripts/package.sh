#!/usr/bin/env bash
# Makes the packages in dist/: tavorin_VERSION_amd64.deb (CPack, from the package preset),
# tavorin-VERSION-windows-x64.zip (from the windows preset, cross-built with mingw-w64) and
# tavorin-VERSION-web.zip (the page's folder, from the web preset).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/setup.sh

# The page's folder as the web build leaves it, with the project's licence, in one folder.
make_web_zip() {
    local name="tavorin-${version}-web"
    local stage="build/web/zip/$name"
    cmake --preset web >/dev/null
    cmake --build --preset web --target tavorin tavorin_page
    rm -rf build/web/zip
    mkdir -p "$stage"
    cp build/web/web/{index.html,README.txt,tavorin.js,tavorin.wasm,arrow.bmp} "$stage/"
    cp build/web/web/{DejaVuSans.woff2,DejaVuSans-LICENSE.txt,tavorin.svg} "$stage/"
    if [ -f LICENSE ]; then
        cp LICENSE "$stage/"
    fi
    (cd build/web/zip && zip -q -X -r "$root/dist/$name.zip" "$name")
}

rm -rf dist
mkdir -p dist

cmake --preset package >/dev/null
cmake --build --preset package
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package/CMakeCache.txt)"
rm -rf build/package/cpack
(cd build/package && cpack -B "$root/build/package/cpack")
mv "build/package/cpack/tavorin_${version}_amd64.deb" dist/

# The Windows build lists the files that go in the zip, in zip_contents.txt.
cmake --preset windows >/dev/null
cmake --build --preset windows --target zip_files
name="tavorin-${version}-windows-x64"
stage="build/windows/zip/$name"
rm -rf build/windows/zip
mkdir -p "$stage"
while read -r file; do
    cp "$file" "$stage/"
done <build/windows/zip_contents.txt
x86_64-w64-mingw32-strip "$stage"/*.exe
(cd build/windows/zip && zip -q -X -r "$root/dist/$name.zip" "$name")
make_web_zip
ls -l dist
