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

cmake --preset web
cmake --build --preset web
ctest --preset web
# The census on a one-node Slurm cluster runs too, never skipped.
export TAVORIN_REQUIRE_CLUSTER=1

# The release suite plays the Windows build under Wine and the page in Chromium and Firefox:
# asked for, so that anything they need that is missing stops the run at configure time.
cmake --preset release -DTAVORIN_WINDOWS_TESTS=ON -DTAVORIN_BROWSER_TESTS=ON
cmake --build --preset release
ctest --preset release

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset fuzz
cmake --build --preset fuzz --target game_fuzzer shard_fuzzer bmp_fuzzer command_line_fuzzer
ctest --preset fuzz

tests/package/check_package.sh
