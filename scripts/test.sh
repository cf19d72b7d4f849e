#!/usr/bin/env bash
# Sets up, builds and runs every test: the Windows build and its unit tests under Wine, the
# release build (unit, model, end-to-end under Xvfb, the Windows game and tools under Wine,
# soak, memcheck, benchmarks briefly, the census on a one-node Slurm cluster), the whole
# suite again under ASan + UBSan, a few minutes of fuzzing, then the packages made, the .deb
# installed, checked and removed. The web page is built first; its own tests run under node,
# and the release suite plays it in browsers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check_format.sh

cmake --preset windows
cmake --build --preset windows
ctest --preset windows
# The release suite runs the Windows build under Wine, and must not skip it here.
export TAVORIN_REQUIRE_WINDOWS=1

cmake --preset web
cmake --build --preset web
ctest --preset web
# Nor the page in Chromium and Firefox, nor the census on a one-node Slurm cluster.
export TAVORIN_REQUIRE_WEB=1
export TAVORIN_REQUIRE_CLUSTER=1

for preset in release asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

cmake --preset fuzz
cmake --build --preset fuzz --target game_fuzzer shard_fuzzer bmp_fuzzer command_line_fuzzer
ctest --preset fuzz

tests/package/check_package.sh
