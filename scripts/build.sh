#!/usr/bin/env bash
# Configures and builds Pictavo with the MinGW-w64 cross compiler.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS="${PICTAVO_TESTS:-ON}" >/dev/null
cmake --build "$build" -j "$(nproc)"
