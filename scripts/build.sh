#!/usr/bin/env bash
# Configures and builds Pictavo with the MinGW-w64 cross compiler.
# Usage: build.sh [build-dir] ; PICTAVO_ARCH=i686 (the program as shipped, the
# default) or x86_64 (the same source as a 64-bit program, for machines that
# cannot run 32-bit programs); PICTAVO_TESTS=OFF builds no tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build}"
arch="${PICTAVO_ARCH:-i686}"
launcher=()
if command -v ccache >/dev/null; then
  # Several checkouts of the tree share one cache: paths are taken relative to each.
  export CCACHE_BASEDIR="$root"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS="${PICTAVO_TESTS:-ON}" "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
