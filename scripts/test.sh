#!/usr/bin/env bash
# Sets up, builds and runs every test: the release build (unit, model, end-to-end under
# Xvfb, soak, memcheck, benchmarks briefly), the whole suite again under ASan + UBSan, then
# a minute of fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

for preset in release asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

cmake --preset fuzz
cmake --build --preset fuzz --target game_fuzzer
ctest --preset fuzz
