#!/usr/bin/env bash
# Fails when a C++ file is off .clang-format or a CMake file off .cmake-format.py. Each
# formatter sees only its own kind of file: clang-format would bend a CMake file as if it
# were C++. `check_format.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t cpp < <(git ls-files '*.cpp' '*.h')
mapfile -t cmake < <(git ls-files 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake')

if [ "${1:-}" = --fix ]; then
    clang-format -i "${cpp[@]}"
    cmake-format -i "${cmake[@]}"
    exit 0
fi

status=0
clang-format --dry-run -Werror "${cpp[@]}" || status=1
for f in "${cmake[@]}"; do
    if ! cmake-format --check "$f" 2>/dev/null; then
        echo "$f: not formatted as .cmake-format.py says (scripts/check_format.sh --fix)" >&2
        status=1
    fi
done
exit "$status"
