#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when any is missing.
# `setup.sh play` installs only what building and playing the game needs; `setup.sh web`
# what building the game's web page needs.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    libsdl2-dev libfreetype-dev libepoxy-dev libfontconfig-dev fonts-dejavu-core
)
# The web page: Emscripten, and the font cut down with fonttools (brotli for WOFF2).
web_packages=(emscripten python3 python3-fonttools python3-brotli)
case "${1:-}" in
    play) ;;
    web) packages=(cmake ninja-build fonts-dejavu-core "${web_packages[@]}") ;;
    *) packages+=("${web_packages[@]}") ;;
esac
[[ "${1:-}" =~ ^(play|web)$ ]] || packages+=(
    clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
    # The format check: each kind of file has its own formatter
    clang-format cmake-format
    xvfb xauth xdotool x11-utils imagemagick valgrind libgl1-mesa-dri openbox python3
    # The OpenGL device's tests with no display: Mesa's EGL on its surfaceless platform
    libegl-dev libegl-mesa0
    # The Windows build and its tests under Wine (googletest's sources for the unit tests)
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest
    wine64 libwine fonts-wine libgl1 libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1
    libxfixes3 libxinerama1 libxxf86vm1
    # The page's tests in real browsers
    chromium firefox-esr
    # The packages, and the checks that install them
    desktop-file-utils appstream lintian dpkg-dev zip unzip icoutils man-db nsis file
    # The census on a one-node Slurm cluster
    slurm-wlm munge
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
