#!/usr/bin/env bash
# Sets up, builds and runs every test: the release build, then again under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake --preset release
cmake --build --preset release
ctest --preset release

cmake --preset asan
cmake --build --preset asan
ctest --preset asan
